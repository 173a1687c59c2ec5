// Inline pictures: a Windows .bmp file turned into a |bmN internal file.
#include "picture.h"

#include <algorithm>
#include <stdexcept>

namespace {

const unsigned FileHeaderSize = 14, InfoHeaderSize = 40;
const unsigned DeviceIndependentBitmap = 6, NotPacked = 0;
const unsigned ScreenDpi = 96;

uint32_t ReadDword(const Bytes& bytes, size_t at)
{
    if (at + 4 > bytes.size())
        throw std::invalid_argument("the .bmp file is cut short");
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

unsigned ReadWord(const Bytes& bytes, size_t at)
{
    if (at + 2 > bytes.size())
        throw std::invalid_argument("the .bmp file is cut short");
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

// The palette entries up to the highest one a pixel uses: drawing programs
// write all 256 entries of an 8-bit palette even when four are used.
uint32_t ColoursUsed(const Bytes& pixels, int32_t width, int32_t height, unsigned bits,
                     uint32_t stride)
{
    uint32_t highest = 0;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            uint32_t bit = uint32_t(x) * bits;
            unsigned byte = static_cast<unsigned char>(pixels[y * stride + bit / 8]);
            unsigned index = byte >> (8 - bits - bit % 8) & ((1u << bits) - 1);
            highest = std::max<uint32_t>(highest, index);
        }
    return highest + 1;
}

} // namespace

Bytes PictureFile(const Bytes& bmp)
{
    if (bmp.compare(0, 2, "BM") != 0)
        throw std::invalid_argument("not a .bmp file");
    uint32_t pixelsAt = ReadDword(bmp, 10);
    uint32_t infoSize = ReadDword(bmp, FileHeaderSize);
    if (infoSize < InfoHeaderSize)
        throw std::invalid_argument("a .bmp file of the old OS/2 kind");
    int32_t width = static_cast<int32_t>(ReadDword(bmp, FileHeaderSize + 4));
    int32_t height = static_cast<int32_t>(ReadDword(bmp, FileHeaderSize + 8));
    unsigned planes = ReadWord(bmp, FileHeaderSize + 12);
    unsigned bits = ReadWord(bmp, FileHeaderSize + 14);
    uint32_t compression = ReadDword(bmp, FileHeaderSize + 16);
    uint32_t coloursUsed = ReadDword(bmp, FileHeaderSize + 32);
    if (width <= 0 || height <= 0 || width > 0x7FFF || height > 0x7FFF)
        throw std::invalid_argument("the picture must be stored bottom-up and be 1 to 32767 "
                                    "pixels wide and high");
    if (planes != 1 || (bits != 1 && bits != 4 && bits != 8 && bits != 24) || compression != 0)
        throw std::invalid_argument("the picture must be uncompressed with 1, 4, 8 or 24 bits "
                                    "per pixel");
    uint32_t palette = bits == 24 ? 0 : coloursUsed ? coloursUsed : 1u << bits;
    if (bits != 24 && palette > (1u << bits))
        throw std::invalid_argument("the palette has more entries than the bits per pixel allow");
    size_t paletteAt = FileHeaderSize + infoSize;
    uint32_t stride = (uint32_t(width) * bits + 31) / 32 * 4;
    uint32_t pixelBytes = stride * uint32_t(height);
    if (paletteAt + palette * 4 > bmp.size() || pixelsAt + uint64_t(pixelBytes) > bmp.size())
        throw std::invalid_argument("the .bmp file is cut short");
    Bytes pixels = bmp.substr(pixelsAt, pixelBytes);
    uint32_t colours = bits == 24 ? 0 : ColoursUsed(pixels, width, height, bits, stride);
    if (colours > palette)
        throw std::invalid_argument("a pixel uses a colour that the palette lacks");

    Bytes picture;
    PutByte(picture, DeviceIndependentBitmap);
    PutByte(picture, NotPacked);
    PutCuLong(picture, ScreenDpi);
    PutCuLong(picture, ScreenDpi);
    PutCuShort(picture, planes);
    PutCuShort(picture, bits);
    PutCuLong(picture, static_cast<uint32_t>(width));
    PutCuLong(picture, static_cast<uint32_t>(height));
    PutCuLong(picture, colours);
    PutCuLong(picture, 0); // colours important: 1 would mean a transparent picture
    PutCuLong(picture, pixelBytes);
    PutCuLong(picture, 0); // no hot spots
    size_t pixelsOffsetAt = picture.size();
    PutDword(picture, 0);
    PutDword(picture, 0); // hot spot data: none
    picture += bmp.substr(paletteAt, colours * 4); // blue, green, red, 0: as in the .bmp
    PatchDword(picture, pixelsOffsetAt, static_cast<uint32_t>(picture.size()));
    picture += pixels;

    // The container: one resolution of the picture, right after its offset.
    Bytes file;
    PutWord(file, 0x706C); // "lp"
    PutWord(file, 1);
    PutDword(file, 8);
    return file + picture;
}
