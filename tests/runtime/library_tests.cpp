// The runtime's string, rounding and heap functions against the C library's,
// and its reading of the command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "runtime_functions.h"

namespace {

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

} // namespace

TEST(Library, StringsAndBytesCompareAndSearchAsTheCLibrary)
{
    // Bytes compare unsigned: "\x80" sorts after "a".
    const char* pairs[][2] = {{"abc", "abc"}, {"abc", "abd"}, {"ab", "abc"}, {"", "a"},
                              {"\x80", "a"},  {"System", "system"}};
    for (const auto& pair : pairs) {
        SCOPED_TRACE(std::string(pair[0]) + " / " + pair[1]);
        EXPECT_EQ(Sign(strcmp(pair[0], pair[1])), Sign(rt_strcmp(pair[0], pair[1])));
        for (size_t size : {0, 2, 3, 9})
            EXPECT_EQ(Sign(strncmp(pair[0], pair[1], size)), Sign(rt_strncmp(pair[0], pair[1], size)));
        size_t bytes = std::min(strlen(pair[0]), strlen(pair[1])) + 1;
        EXPECT_EQ(Sign(memcmp(pair[0], pair[1], bytes)), Sign(rt_memcmp(pair[0], pair[1], bytes)));
    }
    const char path[] = "C:\\WINDOWS\\Quillstone.exe";
    for (int c : {'\\', 'e', 'Q', 'x', '\0'}) {
        EXPECT_EQ(strrchr(path, c), rt_strrchr(path, c)) << char(c);
        EXPECT_EQ(memchr(path, c, sizeof path), rt_memchr(path, c, sizeof path)) << char(c);
        EXPECT_EQ(memchr(path, c, 3), rt_memchr(path, c, 3)) << char(c);
    }
}

TEST(Library, RoundingAsTheCLibrary)
{
    for (double value : {0.0, -0.0, 0.5, -0.5, 1.0, -1.5, 2.5, 0.49999999999999994,
                         4503599627370495.5, -4503599627370497.0, 1e300, -HUGE_VAL, double(NAN)}) {
        SCOPED_TRACE(value);
        for (auto [mine, theirs] : {std::pair{rt_trunc(value), std::trunc(value)},
                                    std::pair{rt_floor(value), std::floor(value)}}) {
            EXPECT_EQ(std::isnan(theirs), std::isnan(mine));
            if (!std::isnan(theirs)) {
                EXPECT_EQ(theirs, mine);
                EXPECT_EQ(std::signbit(theirs), std::signbit(mine));
            }
        }
    }
}

TEST(Library, TheHeapKeepsWhatTheCLibraryKeeps)
{
    char* block = static_cast<char*>(rt_realloc(nullptr, 4));
    ASSERT_NE(nullptr, block);
    memcpy(block, "abc", 4);
    block = static_cast<char*>(rt_realloc(block, 100000));
    ASSERT_NE(nullptr, block);
    EXPECT_STREQ("abc", block);
    EXPECT_EQ(nullptr, rt_realloc(block, 0)); // freed
    rt_free(nullptr);

    unsigned char* zeros = static_cast<unsigned char*>(rt_calloc(1000, 3));
    ASSERT_NE(nullptr, zeros);
    EXPECT_EQ(3000, std::count(zeros, zeros + 3000, 0));
    rt_free(zeros);
    EXPECT_EQ(nullptr, rt_calloc(SIZE_MAX / 2, 3)); // the size would wrap
}

TEST(Library, TheArgumentsFollowTheProgramNameAndItsBlanks)
{
    const char* rows[][2] = {
        {"Quillstone.exe /nogui", "/nogui"},
        {"\"C:\\Program Files\\Quillstone\\Quillstone.exe\"  \t/nogui", "/nogui"},
        {"\"C:\\Program Files\\Quillstone.exe\"/nogui", "/nogui"},
        {"\"C:\\unclosed quote /nogui", ""},
        {"C:\\Quillstone.exe", ""},
        {"C:\\Qu\xe9\\Quillstone.exe /nogui x", "/nogui x"},
        {"", ""},
    };
    for (const auto& row : rows)
        EXPECT_STREQ(row[1], ArgumentsOf(row[0])) << row[0];
}
