// The help source format: what it reads, and the line it blames for a fault.
#include <gtest/gtest.h>

#include "help_source.h"

TEST(HelpSource, ReadsTitleTopicsParagraphsAndPictures)
{
    HelpSource source = ParseHelpSource("# comment\r\n"
                                        "title \"Demo \\\"Help\\\"\"\n"
                                        "contents idh_second\n"
                                        "\n"
                                        "topic 0 \"First\"\n"
                                        "heading \"Head\"\n"
                                        "topic 4294967295 IDH_SECOND \"Second\"\n"
                                        "step 1. \"Click \" picture a.bmp \" then\"\n"
                                        "    \" go on.\" picture b.bmp picture a.bmp\n"
                                        "text \"one \" \"line\"\n");
    EXPECT_EQ("Demo \"Help\"", source.Title);
    EXPECT_EQ(1u, source.ContentsTopic);
    EXPECT_EQ((std::vector<std::string>{"a.bmp", "b.bmp"}), source.Pictures);
    ASSERT_EQ(2u, source.Topics.size());

    const Topic& first = source.Topics[0];
    EXPECT_EQ(0u, first.Number);
    EXPECT_EQ("", first.Name);
    EXPECT_EQ("First", first.Title);
    EXPECT_EQ(5, first.Line);
    ASSERT_EQ(1u, first.Paragraphs.size());
    EXPECT_EQ(ParagraphStyle::Heading, first.Paragraphs[0].Style);

    const Topic& second = source.Topics[1];
    EXPECT_EQ(0xFFFFFFFFu, second.Number);
    EXPECT_EQ("IDH_SECOND", second.Name);
    ASSERT_EQ(2u, second.Paragraphs.size());
    const Paragraph& step = second.Paragraphs[0];
    EXPECT_EQ(ParagraphStyle::Step, step.Style);
    EXPECT_EQ("1.", step.Label);
    EXPECT_EQ(8, step.Line);
    const struct {
        const char* Text;
        int Picture;
    } pieces[] = {{"Click ", -1}, {"", 0}, {" then go on.", -1}, {"", 1}, {"", 0}};
    ASSERT_EQ(std::size(pieces), step.Pieces.size());
    for (size_t i = 0; i < std::size(pieces); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(pieces[i].Text, step.Pieces[i].Text);
        EXPECT_EQ(pieces[i].Picture, step.Pieces[i].Picture);
    }
    EXPECT_EQ("one line", second.Paragraphs[1].Pieces.at(0).Text);
}

TEST(HelpSource, WithoutContentsTheFirstTopicIsTheContents)
{
    EXPECT_EQ(0u, ParseHelpSource("title \"T\"\ntopic 5 \"A\"\ntopic 6 \"B\"\n").ContentsTopic);
    EXPECT_EQ(
        1u,
        ParseHelpSource("title \"T\"\ncontents 6\ntopic 5 \"A\"\ntopic 6 \"B\"\n").ContentsTopic);
}

TEST(HelpSource, FaultsNameTheirLine)
{
    const std::string head = "title \"T\"\ntopic 1 A \"A\"\n"; // lines 1 and 2
    const struct {
        std::string Source;
        int Line;
        const char* Message;
    } cases[] = {
        {head + "contents B\n", 3, "unknown context 'B'"},
        {head + "contents 2\n", 3, "unknown context '2'"},
        {head + "text \"open\n", 3, "a quoted text is not closed"},
        {head + "text \"tab\there\"\n", 3, "a quoted text holds a control character"},
        {head + "para \"x\"\n", 3, "unknown directive 'para'"},
        {head + "text \"x\" bold\n", 3, "expected a quoted text or 'picture <file>', not 'bold'"},
        {head + "text \"x\"\n  picture\n", 4,
         "expected a quoted text or 'picture <file>', not 'picture'"},
        {head + "text\n", 3, "a paragraph without text"},
        {head + "step \"x\"\n", 3, "'step' takes a label such as 1. before its text"},
        {head + "topic 1 \"B\"\n", 3, "context number 1 is already the topic of line 2"},
        {head + "topic 2 a \"B\"\n", 3, "context name a is already the topic of line 2"},
        {head + "topic 4294967296 \"B\"\n", 3,
         "'4294967296' is not a context number from 0 to 4294967295"},
        {head + "topic -1 \"B\"\n", 3, "'-1' is not a context number from 0 to 4294967295"},
        {head + "topic 2 A-B \"B\"\n", 3,
         "'A-B' is not a context name: letters, digits, '.' and '_', not starting with a digit"},
        {head + "topic 2 B\n", 3,
         "'topic' takes a context number, an optional context name and a quoted title"},
        {head + "title \"U\"\n", 3, "the title is given twice"},
        {"  text \"x\"\n", 1, "an indented line continues nothing"},
        {"title \"T\"\ntext \"x\"\n", 2, "a paragraph before the first topic"},
        {"topic 1 \"A\"\n\n", 1, "the help source has no title"},
        {"title \"T\"\n", 1, "the help source has no topic"},
        {"title T\ntopic 1 \"A\"\n", 1, "'title' takes one quoted text"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Source);
        try {
            ParseHelpSource(c.Source);
            ADD_FAILURE() << "no error";
        } catch (const SourceError& error) {
            EXPECT_EQ(c.Line, error.Line());
            EXPECT_STREQ(c.Message, error.what());
        }
    }
}
