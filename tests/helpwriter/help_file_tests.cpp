// The built Quillstone.hlp, read back by the tests' own reader; and the
// writer as make runs it: same bytes every time, errors with their line.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "help_reader.h"

namespace {

std::string Environment(const char* name)
{
    const char* value = getenv(name);
    if (!value)
        throw std::runtime_error(std::string("the test run does not set ") + name);
    return value;
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

const char* const Steps[] = {
    "1.\tRun Quillstone.",
    "2.\tFor Help on an item, click {bm0} at the top of the dialog box, and then click the item.",
};
const char* const HiveListText =
    "This ListBox displays information about the registry hives on your computer. A check "
    "mark next to an item means that when you press Compact it will be compacted. If you do "
    "not wish to compact all the registry hives, click on the check boxes of the ones you do "
    "not want to compact.";
const char* const CompactText = "When you click the Compact button Quillstone will compact the "
                                "selected registry hives and restart Windows.";

class BuiltHelpFile : public testing::Test {
protected:
    void SetUp() override
    {
        bytes_ = ReadBytes(Environment("QS_HELP_FILE"));
        help_ = ReadHelp(bytes_);
    }
    std::string bytes_;
    ReadHelpFile help_;
};

// Runs the writer; its exit code and what it printed.
int RunWriter(const std::string& arguments, std::string* output)
{
    std::string command = Environment("QS_HELPWRITER") + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[512];
    output->clear();
    while (fgets(buffer, sizeof buffer, pipe))
        *output += buffer;
    int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class ScratchDirectory {
public:
    ScratchDirectory()
    {
        char pattern[] = "/tmp/helpwriter-test.XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~ScratchDirectory() { std::filesystem::remove_all(path_); }
    std::string PathOf(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

} // namespace

TEST_F(BuiltHelpFile, HoldsOnlyTheInternalFilesAViewerNeeds)
{
    std::vector<std::string> names;
    for (const auto& file : help_.Directory)
        names.push_back(file.first);
    EXPECT_EQ(
        (std::vector<std::string>{"|CONTEXT", "|CTXOMAP", "|FONT", "|SYSTEM", "|TOPIC", "|bm0"}),
        names);
    EXPECT_EQ("Quillstone Help", help_.Title);
    EXPECT_LT(bytes_.size(), 9184u); // no bigger than the help file it replaces
}

TEST_F(BuiltHelpFile, MapsEachContextNumberToItsTopicsExactText)
{
    const struct {
        uint32_t Number;
        uint32_t NameHash;
        const char* Title;
        std::vector<std::string> Paragraphs;
    } cases[] = {
        {0,
         0x68310BEE,
         "Quillstone Help",
         {"To view the information in this Help file", Steps[0], Steps[1]}},
        {1000, 0xE2A3D063, "Registry hives list", {HiveListText}},
        {1001, 0x5B808F27, "Compact button", {CompactText}},
    };
    EXPECT_EQ(3u, help_.ContextNumbers.size());
    EXPECT_EQ(3u, help_.ContextHashes.size());
    EXPECT_EQ(3u, help_.Topics.size());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Number);
        ASSERT_TRUE(help_.ContextNumbers.count(c.Number));
        const ReadTopic* topic = help_.TopicAt(help_.ContextNumbers.at(c.Number));
        ASSERT_NE(nullptr, topic);
        EXPECT_EQ(topic->Offset, help_.ContextNumbers.at(c.Number)); // exactly at its start
        EXPECT_EQ(c.Title, topic->Title);
        EXPECT_EQ(c.Paragraphs, topic->Paragraphs);
        ASSERT_TRUE(help_.ContextHashes.count(c.NameHash));
        EXPECT_EQ(topic->Offset, help_.ContextHashes.at(c.NameHash));
    }
    EXPECT_EQ(help_.ContextNumbers.at(0), help_.ContentsOffset);
}

TEST_F(BuiltHelpFile, CarriesTheHelpButtonPicturePixelForPixel)
{
    std::string bmp = ReadBytes(Environment("QS_HELP_SOURCE") + "/helpbutton.bmp");
    ASSERT_GT(bmp.size(), 54u);
    auto dword = [&bmp](size_t at) { return *reinterpret_cast<const uint32_t*>(&bmp[at]); };
    ReadPicture picture = ReadPictureFile(help_.Files.at("|bm0"));
    EXPECT_EQ(dword(18), picture.Width);
    EXPECT_EQ(dword(22), picture.Height);
    EXPECT_EQ(uint32_t(static_cast<unsigned char>(bmp[28])), picture.Bits);
    EXPECT_EQ(bmp.substr(dword(10)), picture.Pixels);
    // The palette is the .bmp's, cut after the highest colour that a pixel uses.
    unsigned char highest = 0;
    for (char pixel : picture.Pixels)
        highest = std::max(highest, static_cast<unsigned char>(pixel));
    EXPECT_EQ(bmp.substr(14 + dword(14), (highest + 1) * 4), picture.Palette);
}

TEST(HelpWriter, WritesTheSameBytesEveryTime)
{
    ScratchDirectory scratch;
    std::string source = Environment("QS_HELP_SOURCE") + "/Quillstone.help", output;
    ASSERT_EQ(0, RunWriter(source + " " + scratch.PathOf("a.hlp"), &output)) << output;
    ASSERT_EQ(0, RunWriter(source + " " + scratch.PathOf("b.hlp"), &output)) << output;
    std::string first = ReadBytes(scratch.PathOf("a.hlp"));
    EXPECT_EQ(first, ReadBytes(scratch.PathOf("b.hlp")));
    EXPECT_EQ(ReadBytes(Environment("QS_HELP_FILE")), first);
}

TEST(HelpWriter, ReportsFaultsWithFileAndLineAndWritesNothing)
{
    ScratchDirectory scratch;
    const struct {
        const char* Source;
        const char* Message;
    } cases[] = {
        {"title \"T\"\ntopic 1 \"A\"\ntext \"see \" picture nothere.bmp\n",
         ":3: error: missing picture 'nothere.bmp': can't read "},
        {"title \"T\"\ncontents IDH_NONE\ntopic 1 \"A\"\n",
         ":2: error: unknown context 'IDH_NONE'\n"},
        {"title \"T\"\ntopic 1 \"A\"\ntext \"x\" picture bad.bmp\n",
         ":3: error: picture 'bad.bmp': not a .bmp file\n"},
    };
    std::ofstream(scratch.PathOf("bad.bmp")) << "not a picture";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Source);
        std::ofstream(scratch.PathOf("demo.help")) << c.Source;
        std::string output;
        EXPECT_EQ(
            1, RunWriter(scratch.PathOf("demo.help") + " " + scratch.PathOf("demo.hlp"), &output));
        EXPECT_EQ(0u, output.find(scratch.PathOf("demo.help") + c.Message)) << output;
        EXPECT_FALSE(std::filesystem::exists(scratch.PathOf("demo.hlp")));
    }
    std::string output;
    EXPECT_EQ(2, RunWriter("", &output));
    EXPECT_EQ("usage: helpwriter <source> <output.hlp>\n", output);
}
