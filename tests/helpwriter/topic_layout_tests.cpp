// Topic records and their layout in blocks, against the format's layout.
#include <gtest/gtest.h>

#include "little_endian.h"
#include "topic_layout.h"

namespace {

const uint32_t None = 0xFFFFFFFF;

Paragraph TextParagraph(const std::string& text)
{
    return {ParagraphStyle::Text, "", {{text, -1}}, 1};
}

const char* const HiveListText =
    "This ListBox displays information about the registry hives on your computer. A check "
    "mark next to an item means that when you press Compact it will be compacted. If you do "
    "not wish to compact all the registry hives, click on the check boxes of the ones you do "
    "not want to compact.";

} // namespace

TEST(ParagraphRecord, APlainParagraphIsFontTextEndOfParagraph)
{
    TopicRecord record = ParagraphRecord(TextParagraph(HiveListText));
    EXPECT_EQ(RECORD_TEXT, record.Type);
    // TopicSize 11, TopicLength 283, paragraph info without options,
    // font 0, end of paragraph, end of record.
    EXPECT_EQ(Bytes("\x16\x80\x37\x02\x00\x80\x00\x00\x00\x00\x80\x00\x00\x82\xFF", 15),
              record.LinkData1);
    EXPECT_EQ(Bytes(1, '\0') + HiveListText + Bytes(2, '\0'), record.LinkData2);
}

TEST(ParagraphRecord, HeadingsAndStepsCarryTheirFormat)
{
    const struct {
        const char* Name;
        Paragraph Input;
        Bytes LinkData1;
        Bytes LinkData2;
    } cases[] = {
        {"heading: bold, space below 6",
         {ParagraphStyle::Heading, "", {{"Head", -1}}, 1},
         Bytes("\x18\x80\x0E\x00\x80\x00\x00\x04\x00\x8C\x80\x01\x00\x82\xFF", 15),
         Bytes("\0Head\0\0", 7)},
        {"step with a picture: hanging indent 24, tab stop 24, picture |bm0",
         {ParagraphStyle::Step, "2.", {{"click ", -1}, {"", 0}, {" then", -1}}, 1},
         Bytes("\x32\x80\x24\x00\x80\x00\x00\x54\x02\x86\xB0\x50\x82\x30"
               "\x80\x00\x00\x83\x86\x03\x08\x80\x00\x00\x00\x00\x82\xFF",
               28),
         Bytes("\0"
               "2.\0"
               "click \0"
               " then\0"
               "\0",
               18)},
        {"picture number 3",
         {ParagraphStyle::Text, "", {{"", 3}}, 1},
         Bytes("\x26\x80\x08\x00\x80\x00\x00\x00\x00\x80\x00\x00\x86\x03\x08\x80\x00\x00\x03\x00"
               "\x82\xFF",
               22),
         Bytes(4, '\0')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TopicRecord record = ParagraphRecord(c.Input);
        EXPECT_EQ(c.LinkData1, record.LinkData1);
        EXPECT_EQ(c.LinkData2, record.LinkData2);
    }
}

TEST(LayOutTopics, ChainsHeaderTextAndTrailerInTheFirstBlock)
{
    TopicLayout layout = LayOutTopics({{0, "", "T", {TextParagraph("Hi")}, 1}});
    Bytes expected = Dword(None) + Dword(12) + Dword(0); // block header
    // Topic header at 12: 21 + 28 + 1 bytes.
    expected += Dword(50) + Dword(1) + Dword(None) + Dword(62) + Dword(49) + "\x02";
    expected += Dword(90) + Dword(None) + Dword(None) + Dword(0) + Dword(None) + Dword(62) +
                Dword(102) + "T";
    // Text at 62: 21 + 14 + 5 bytes.
    expected += Dword(40) + Dword(5) + Dword(12) + Dword(102) + Dword(35) + "\x20";
    expected += Bytes("\x16\x80\x0A\x00\x80\x00\x00\x00\x00\x80\x00\x00\x82\xFF", 14);
    expected += Bytes("\0Hi\0\0", 5);
    // Trailer at 102: an empty topic, topic number 1.
    expected += Dword(49) + Dword(0) + Dword(62) + Dword(None) + Dword(49) + "\x02";
    expected +=
        Dword(0) + Dword(None) + Dword(None) + Dword(1) + Dword(None) + Dword(None) + Dword(None);

    ASSERT_EQ(TopicBlockSize, layout.TopicFile.size());
    EXPECT_EQ(expected, layout.TopicFile.substr(0, expected.size()));
    EXPECT_EQ(Bytes(TopicBlockSize - expected.size(), '\0'),
              layout.TopicFile.substr(expected.size()));
    EXPECT_EQ(std::vector<uint32_t>{0}, layout.TopicOffsets);
}

TEST(LayOutTopics, CountsCharactersPerBlockAndStartsATopicThatDoesNotFitInTheNext)
{
    // Each topic: header 21 + 28 + 1, text 21 + 15 + (1600 + 3) = 1689 bytes;
    // two fit in the 4084 bytes of a block, the third starts block 1.
    std::string text(1600, 'x');
    std::vector<Topic> topics;
    for (uint32_t i = 0; i < 3; ++i)
        topics.push_back({i, "", "T", {TextParagraph(text)}, int(i + 1)});
    TopicLayout layout = LayOutTopics(topics);
    const uint32_t topicBytes = 50 + 21 + 15 + 1603;
    EXPECT_EQ((std::vector<uint32_t>{0, 1603, 0x8000}), layout.TopicOffsets);
    ASSERT_EQ(2 * TopicBlockSize, layout.TopicFile.size());

    const Bytes& file = layout.TopicFile;
    // Topic 1's header points past the end of block 0's data to topic 2 in block 1.
    const uint32_t second = 12 + topicBytes, third = 0x4000 + 12;
    EXPECT_EQ(third, DwordAt(file, second + 21 + 24));
    EXPECT_EQ(third, DwordAt(file, second + 50 + 12)); // next of topic 1's text record
    EXPECT_EQ(Bytes(4084 - 2 * topicBytes, '\0'),
              file.substr(12 + 2 * topicBytes, 4084 - 2 * topicBytes));
    // Block 1: the last record before it, its first record, the last topic header before it.
    EXPECT_EQ(second + 50, DwordAt(file, TopicBlockSize));
    EXPECT_EQ(third, DwordAt(file, TopicBlockSize + 4));
    EXPECT_EQ(second, DwordAt(file, TopicBlockSize + 8));
    EXPECT_EQ(second + 50, DwordAt(file, TopicBlockSize + 12 + 8)); // previous record
    EXPECT_EQ(2u, DwordAt(file, TopicBlockSize + 12 + 21 + 12)); // topic number
}

TEST(LayOutTopics, RefusesATopicTooLongForABlock)
{
    // 50 + 21 + 15 + 4003 bytes: more than the 4084 of a block.
    try {
        LayOutTopics({{0, "", "T", {TextParagraph("a")}, 3},
                      {1000, "", "T", {TextParagraph(std::string(4000, 'x'))}, 7}});
        FAIL() << "no error";
    } catch (const SourceError& error) {
        EXPECT_EQ(7, error.Line());
        EXPECT_STREQ("topic \"T\" is too long for its block: 4089 bytes, a block holds 4084",
                     error.what());
    }
}
