// .bmp files turned into picture files, against the picture layout.
#include <gtest/gtest.h>

#include <stdexcept>

#include "little_endian.h"
#include "picture.h"

namespace {

// A .bmp file as drawing programs write it.
Bytes Bmp(int32_t width, int32_t height, unsigned bits, uint32_t paletteEntries,
          const Bytes& pixels, uint32_t compression = 0)
{
    Bytes palette;
    for (uint32_t i = 0; i < paletteEntries; ++i)
        palette += Bytes{char(i), char(i + 1), char(i + 2), 0};
    uint32_t pixelsAt = 14 + 40 + uint32_t(palette.size());
    return "BM" + Dword(pixelsAt + uint32_t(pixels.size())) + Dword(0) + Dword(pixelsAt) +
           Dword(40) + Dword(width) + Dword(height) + Word(1) + Word(bits) + Dword(compression) +
           Dword(uint32_t(pixels.size())) + Dword(3780) + Dword(3780) + Dword(paletteEntries) +
           Dword(0) + palette + pixels;
}

} // namespace

TEST(PictureFile, KeepsThePaletteUpToTheHighestColourUsed)
{
    // 3 x 2 pixels at 8 bits: rows of 4 bytes, colours 0, 1 and 3 used.
    Bytes pixels("\x00\x01\x00\x00\x03\x00\x01\x00", 8);
    Bytes file = PictureFile(Bmp(3, 2, 8, 256, pixels));
    Bytes expected = Word(0x706C) + Word(1) + Dword(8); // one picture, right after the offset
    expected += Bytes("\x06\x00", 2); // device-independent, not packed
    expected += Word(96 * 2) + Word(96 * 2); // dpi
    expected += "\x02\x10"; // 1 plane, 8 bits
    expected += Word(3 * 2) + Word(2 * 2); // width, height
    expected += Word(4 * 2) + Word(0); // colours used, none important
    expected += Word(8 * 2) + Word(0); // pixel bytes, no hot spots
    expected += Dword(28 + 16) + Dword(0); // pixels after the palette
    expected += Bytes("\0\1\2\0\1\2\3\0\2\3\4\0\3\4\5\0", 16);
    expected += pixels;
    EXPECT_EQ(expected, file);
}

TEST(PictureFile, ReadsLowBitDepthsPixelByPixel)
{
    const struct {
        const char* Name;
        unsigned Bits;
        Bytes Row;
        unsigned Colours;
    } cases[] = {
        {"1 bit, second pixel set", 1, Bytes("\x40\x00\x00\x00", 4), 2},
        {"1 bit, padding bits ignored", 1, Bytes("\x1F\xFF\xFF\xFF", 4), 1},
        {"4 bits, low nibble 9", 4, Bytes("\x19\x00\x00\x00", 4), 10},
        {"4 bits, padding ignored", 4, Bytes("\x20\xFF\xFF\xFF", 4), 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Bytes file = PictureFile(Bmp(2, 1, c.Bits, 1u << c.Bits, c.Row));
        EXPECT_EQ(char(c.Colours * 2), file[8 + 12]); // colours used, a short culong
    }
}

TEST(PictureFile, RefusesWhatItCannotStore)
{
    Bytes row("\0\0\0\0", 4);
    const struct {
        const char* Name;
        Bytes Bmp;
        const char* Message;
    } cases[] = {
        {"not a bmp", "GIF89a", "not a .bmp file"},
        {"top-down", Bmp(1, -1, 8, 1, row),
         "the picture must be stored bottom-up and be 1 to 32767 pixels wide and high"},
        {"run-length encoded", Bmp(1, 1, 8, 1, row, 1),
         "the picture must be uncompressed with 1, 4, 8 or 24 bits per pixel"},
        {"16 bits", Bmp(1, 1, 16, 0, row),
         "the picture must be uncompressed with 1, 4, 8 or 24 bits per pixel"},
        {"pixels missing", Bmp(1, 2, 8, 1, row), "the .bmp file is cut short"},
        {"colour outside the palette", Bmp(1, 1, 8, 2, Bytes("\x05\0\0\0", 4)),
         "a pixel uses a colour that the palette lacks"},
        {"palette too big", Bmp(1, 1, 4, 17, row),
         "the palette has more entries than the bits per pixel allow"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            PictureFile(c.Bmp);
            ADD_FAILURE() << "no error";
        } catch (const std::invalid_argument& error) {
            EXPECT_STREQ(c.Message, error.what());
        }
    }
}
