// The runtime's vsnprintf against the C library's snprintf: the same text and
// length, cut the same way at every buffer size, and not a byte written past
// the buffer.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "runtime_functions.h"

namespace {

int RuntimeFormat(char* buffer, size_t size, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    int length = rt_vsnprintf(buffer, size, format, arguments);
    va_end(arguments);
    return length;
}

template <typename... Arguments> void ExpectAsTheCLibrary(const char* format, Arguments... arguments)
{
    char whole[400];
    int length = snprintf(whole, sizeof whole, format, arguments...);
    SCOPED_TRACE(std::string(format) + " -> " + whole);
    for (size_t size : {0, 1, length / 2, length, length + 1}) {
        char expected[sizeof whole + 1], actual[sizeof whole + 1];
        memset(expected, '#', sizeof expected);
        memset(actual, '#', sizeof actual);
        snprintf(expected, size, format, arguments...);
        EXPECT_EQ(length, RuntimeFormat(actual, size, format, arguments...));
        EXPECT_EQ(0, memcmp(expected, actual, sizeof actual)) << "at size " << size << ": "
                                                             << std::string(actual, size);
    }
}

} // namespace

TEST(Format, TextsAndIntegersAsTheCLibraryWritesThem)
{
    ExpectAsTheCLibrary("plain text, 100%% sure");
    ExpectAsTheCLibrary("%s\\..\\WinInit.ini", "C:\\WINDOWS\\SYSTEM");
    ExpectAsTheCLibrary("%s=%s\n", "C:\\WINDOWS\\SYSTEM.DAT", "C:\\WINDOWS\\QS12.TMP");
    ExpectAsTheCLibrary("%s", "");
    ExpectAsTheCLibrary("%s", static_cast<const char*>(nullptr));
    ExpectAsTheCLibrary("\"%.*s\" and %.*s.", 3, "Software", 0, "Default");
    ExpectAsTheCLibrary("%.*s|%.2s|%.10s", -1, "whole", "cut", "short");
    ExpectAsTheCLibrary("%s\\qs%i", "C:\\TEMP", 7);
    ExpectAsTheCLibrary("%c:%s", 'D', "\\Documents and Settings\\NTUSER.DAT");
    ExpectAsTheCLibrary("%i %d %i %i", 0, -42, INT_MAX, INT_MIN);
}

TEST(Format, WholeNumbersAsTheCLibraryRoundsThem)
{
    // The size report's form, then the rounding and the extremes of a double.
    ExpectAsTheCLibrary("%s%.0f%s", "", 2097152.0, "KB");
    for (double value : {0.0, -0.0, 0.5, 1.5, 2.5, -2.5, 0.49999999999999994, 99.5, 100.0,
                         4503599627370495.5, 9007199254740993.0, 1e23, 1e300, DBL_MAX, DBL_MIN,
                         -DBL_TRUE_MIN, HUGE_VAL, -HUGE_VAL, double(NAN)})
        ExpectAsTheCLibrary("%.0f", value);
}

TEST(Format, AnUnknownConversionShowsAsItStandsAndReadsNoFurtherArgument)
{
    char text[32];
    EXPECT_EQ(16, RuntimeFormat(text, sizeof text, "%u, %lx and %.1f"));
    EXPECT_STREQ("%u, %lx and %.1f", text);
    // The %s after it would take the number for a text.
    EXPECT_EQ(12, RuntimeFormat(text, sizeof text, "%s %u then %s", "a", 67u, 67));
    EXPECT_STREQ("a %u then %s", text);
}
