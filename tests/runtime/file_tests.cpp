// The runtime's files, read and written with this machine's own file calls
// beside them: text mode as the Windows C runtime has it, binary mode as the
// C library has it, and failures as both report them.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runtime_functions.h"

namespace {

class Files : public testing::Test {
protected:
    void SetUp() override
    {
        char folder[] = "/tmp/runtime_tests.XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(folder));
        folder_ = folder;
        path_ = folder_ + "/file";
    }
    void TearDown() override
    {
        std::remove(path_.c_str());
        std::remove(folder_.c_str());
    }

    void WriteBytes(const std::string& bytes)
    {
        std::ofstream(path_, std::ios::binary) << bytes;
    }

    std::string ReadBytes()
    {
        std::ostringstream bytes;
        bytes << std::ifstream(path_, std::ios::binary).rdbuf();
        return bytes.str();
    }

    // What each fgets call of the given size returns until the end.
    std::vector<std::string> ReadLines(const char* mode, int size)
    {
        std::vector<std::string> lines;
        Stream* stream = rt_fopen(path_.c_str(), mode);
        EXPECT_NE(nullptr, stream);
        std::vector<char> line(size);
        while (stream && rt_fgets(line.data(), size, stream))
            lines.push_back(line.data());
        if (stream) {
            EXPECT_EQ(0, rt_fclose(stream));
        }
        return lines;
    }

    std::string folder_, path_;
};

using Lines = std::vector<std::string>;

} // namespace

TEST_F(Files, WritingTextModeMakesEachLfCrLf)
{
    // More lines than one write of the runtime takes.
    std::string manyLines(600, '\n'), manyCrLfs;
    for (char lf : manyLines)
        manyCrLfs += std::string("\r") + lf;
    const struct {
        const char *Before, *Mode, *Text, *After;
    } rows[] = {
        {nullptr, "wt", "[rename]\nA=B\r\n\n", "[rename]\r\nA=B\r\r\n\r\n"},
        {"old", "w", "new\n", "new\r\n"},
        {"old", "wb", "new\n\r\n", "new\n\r\n"},
        {"old\x1a", "at", "new\n", "old\x1anew\r\n"},
        {nullptr, "at", "new\n", "new\r\n"},
        {"old", "ab", "new\n", "oldnew\n"},
        {nullptr, "w", manyLines.c_str(), manyCrLfs.c_str()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.Mode) + " " + row.Text);
        std::remove(path_.c_str());
        if (row.Before)
            WriteBytes(row.Before);
        Stream* stream = rt_fopen(path_.c_str(), row.Mode);
        ASSERT_NE(nullptr, stream);
        EXPECT_EQ(0, rt_fputs(row.Text, stream));
        EXPECT_EQ(0, rt_fclose(stream));
        EXPECT_EQ(row.After, ReadBytes());
    }
}

TEST_F(Files, ReadingTextModeMakesCrLfLfAndEndsAtCtrlZ)
{
    const std::string longLine = std::string(511, 'a') + "\r\nb"; // CR LF across two reads
    const struct {
        std::string Bytes;
        const char* Mode;
        int Size;
        Lines Expected;
    } rows[] = {
        {"a\r\nb\rc\r\n", "rt", 512, {"a\n", "b\rc\n"}},
        {"\r\r\nx\r", "r", 512, {"\r\n", "x\r"}},
        {"one\r\n\x1atwo\r\n", "rt", 512, {"one\n"}},
        {"abcdefg\r\n", "rt", 4, {"abc", "def", "g\n"}},
        {longLine, "rt", 512, {std::string(511, 'a'), "\n", "b"}},
        {"a\r\n\x1a\r\n", "rb", 512, {"a\r\n", "\x1a\r\n"}},
        {"", "rt", 512, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Mode + (" " + row.Bytes));
        WriteBytes(row.Bytes);
        EXPECT_EQ(row.Expected, ReadLines(row.Mode, row.Size));
    }

    WriteBytes("a\r\nb\x1a"
               "c");
    for (auto [mode, expected] : {std::pair{"rt", "a\nb"}, std::pair{"rb", "a\r\nb\x1a"
                                                                              "c"}}) {
        char bytes[16] = {};
        Stream* stream = rt_fopen(path_.c_str(), mode);
        ASSERT_NE(nullptr, stream);
        EXPECT_EQ(strlen(expected), rt_fread(bytes, 1, sizeof bytes, stream)) << mode;
        EXPECT_STREQ(expected, bytes);
        rt_fclose(stream);
    }
}

TEST_F(Files, FailuresAreReportedAsTheCLibraryReportsThem)
{
    // A stream that can't be opened is null, and the system's code is the last error.
    EXPECT_EQ(nullptr, rt_fopen((folder_ + "/missing").c_str(), "rt"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
    for (const char* mode : {"r+", "wx", "x", ""}) {
        EXPECT_EQ(nullptr, rt_fopen(path_.c_str(), mode)) << mode;
        EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    }

    // Writes that fail give the C library's results: short counts and EOF.
    Stream* full = rt_fopen("/dev/full", "wt");
    ASSERT_NE(nullptr, full);
    EXPECT_EQ(0u, rt_fwrite("line\n", 5, 1, full));
    EXPECT_EQ(0u, rt_fwrite("line\n", 1, 5, full));
    EXPECT_EQ(EOF, rt_fputs("line\n", full));
    EXPECT_EQ(EOF, rt_fputc('x', full));
    EXPECT_EQ(ERROR_DISK_FULL, GetLastError());
    EXPECT_EQ(0, rt_fclose(full));

    // A read that fails ends the text with a null line.
    Stream* folder = rt_fopen(folder_.c_str(), "rt");
    ASSERT_NE(nullptr, folder);
    char line[16];
    EXPECT_EQ(nullptr, rt_fgets(line, sizeof line, folder));
    rt_fclose(folder);
}
