#include "resource_formats.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <tuple>

bool IconImage::operator<(const IconImage& other) const
{
    return std::tie(Width, Height, Bits) < std::tie(other.Width, other.Height, other.Bits);
}

bool IconImage::operator==(const IconImage& other) const
{
    return std::tie(Width, Height, Bits) == std::tie(other.Width, other.Height, other.Bits);
}

std::vector<IconImage> IconGroupImages(const PeImage& image, const std::string& group)
{
    const PeResource* directory = image.Resource("#14", group);
    if (!directory)
        throw std::runtime_error("no icon group " + group);
    const std::string& entries = directory->Bytes;
    EXPECT_EQ(1, ReadAt<WORD>(entries, 2)); // icons, not cursors
    std::vector<IconImage> images;
    for (WORD i = 0; i < ReadAt<WORD>(entries, 4); ++i) {
        size_t entry = 6 + 14 * i;
        const PeResource* icon =
            image.Resource("#3", "#" + std::to_string(ReadAt<WORD>(entries, entry + 12)));
        if (!icon)
            throw std::runtime_error("icon group " + group + " names a missing image");
        auto header = ReadAt<BITMAPINFOHEADER>(icon->Bytes, 0);
        // The image's height counts its colour bits and its mask.
        IconImage found = {header.biWidth, header.biHeight / 2, header.biBitCount};
        EXPECT_EQ(found.Width, ReadAt<BYTE>(entries, entry) ? ReadAt<BYTE>(entries, entry) : 256);
        EXPECT_EQ(found.Height, ReadAt<BYTE>(entries, entry + 1));
        EXPECT_EQ(found.Bits, ReadAt<WORD>(entries, entry + 6));
        images.push_back(found);
    }
    std::sort(images.begin(), images.end());
    return images;
}

void ExpectWordMarkBitmap(const std::string& bitmap, int width, int height)
{
    auto header = ReadAt<BITMAPINFOHEADER>(bitmap, 0);
    EXPECT_EQ(width, header.biWidth);
    EXPECT_EQ(height, header.biHeight);
    EXPECT_EQ(8, header.biBitCount);
    EXPECT_EQ(DWORD(BI_RGB), header.biCompression);
    EXPECT_TRUE(header.biClrUsed == 0 || header.biClrUsed == 256);
    const size_t palette = sizeof header, pixels = palette + 256 * 4;
    const size_t stride = (size_t(width) + 3) & ~size_t(3);
    ASSERT_EQ(pixels + stride * height, bitmap.size());
    size_t white = 0, black = 0;
    for (size_t row = 0; row < size_t(height); ++row)
        for (size_t column = 0; column < size_t(width); ++column) {
            BYTE index = ReadAt<BYTE>(bitmap, pixels + row * stride + column);
            DWORD colour = ReadAt<DWORD>(bitmap, palette + 4 * index) & 0xFFFFFF;
            white += colour == 0xFFFFFF;
            black += colour == 0;
        }
    EXPECT_GT(white, size_t(width) * height / 2);
    EXPECT_GT(black, 0u);
}
