// The compressed integers, byte for byte as the format defines them.
#include <gtest/gtest.h>

#include <stdexcept>

#include "byte_buffer.h"

namespace {

template <typename Value>
Bytes Encoded(void (*put)(Bytes&, Value), Value value)
{
    Bytes out;
    put(out, value);
    return out;
}

} // namespace

TEST(CompressedIntegers, PickTheShortFormWhileTheBiasedValueFits)
{
    const struct {
        const char* Name;
        Bytes Actual;
        Bytes Expected;
    } cases[] = {
        {"cushort 0", Encoded(PutCuShort, 0u), Bytes("\x00", 1)},
        {"cushort 0x7F", Encoded(PutCuShort, 0x7Fu), "\xFE"},
        {"cushort 0x80", Encoded(PutCuShort, 0x80u), Bytes("\x01\x01", 2)},
        {"cushort 283", Encoded(PutCuShort, 283u), "\x37\x02"},
        {"cushort 0x7FFF", Encoded(PutCuShort, 0x7FFFu), "\xFF\xFF"},
        {"csshort 3", Encoded(PutCsShort, 3), "\x86"},
        {"csshort -24", Encoded(PutCsShort, -24), "\x50"},
        {"csshort -0x40", Encoded(PutCsShort, -0x40), Bytes("\x00", 1)},
        {"csshort 0x3F", Encoded(PutCsShort, 0x3F), "\xFE"},
        {"csshort 0x40", Encoded(PutCsShort, 0x40), "\x81\x80"},
        {"csshort -0x41", Encoded(PutCsShort, -0x41), "\x7F\x7F"},
        // The long form is biased by 0x4000 even where the biased value is small.
        {"csshort -0x3FC0", Encoded(PutCsShort, -0x3FC0), Bytes("\x81\x00", 2)},
        {"culong 0x7FFF", Encoded(PutCuLong, 0x7FFFu), "\xFE\xFF"},
        {"culong 0x8000", Encoded(PutCuLong, 0x8000u), Bytes("\x01\x00\x01\x00", 4)},
        {"cslong 4", Encoded(PutCsLong, 4), "\x08\x80"},
        {"cslong 11", Encoded(PutCsLong, 11), "\x16\x80"},
        {"cslong -0x4000", Encoded(PutCsLong, -0x4000), Bytes("\x00\x00", 2)},
        {"cslong 0x4000", Encoded(PutCsLong, 0x4000), Bytes("\x01\x80\x00\x80", 4)},
        {"cslong -0x4001", Encoded(PutCsLong, -0x4001), "\xFF\x7F\xFF\x7F"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Expected, c.Actual);
    }
}

TEST(CompressedIntegers, RefuseValuesThatNoFormHolds)
{
    EXPECT_THROW(Encoded(PutCuShort, 0x8000u), std::range_error);
    EXPECT_THROW(Encoded(PutCsShort, 0x4000), std::range_error);
    EXPECT_THROW(Encoded(PutCsShort, -0x4001), std::range_error);
    EXPECT_THROW(Encoded(PutCuLong, 0x80000000u), std::range_error);
    EXPECT_THROW(Encoded(PutCsLong, 0x40000000), std::range_error);
    EXPECT_THROW(Encoded(PutCsLong, -0x40000001), std::range_error);
}

TEST(PlainIntegers, AreLittleEndianAndPatchInPlace)
{
    Bytes out;
    PutWord(out, 0x1234);
    PutDword(out, 0x89ABCDEF);
    EXPECT_EQ("\x34\x12\xEF\xCD\xAB\x89", out);
    PatchWord(out, 0, 0xBEEF);
    PatchDword(out, 2, 0x01020304);
    EXPECT_EQ("\xEF\xBE\x04\x03\x02\x01", out);
}
