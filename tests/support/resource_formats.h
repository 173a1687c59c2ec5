// The pictures and icons inside built programs, read from their resource bytes.
#pragma once

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "pe_image.h"

// A value at an offset of a resource; throws when the resource ends before it.
template <typename T> T ReadAt(const std::string& bytes, size_t offset)
{
    if (offset > bytes.size() || bytes.size() - offset < sizeof(T))
        throw std::runtime_error("resource ends early");
    T value;
    memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

struct IconImage {
    int Width, Height, Bits;
    bool operator<(const IconImage& other) const;
    bool operator==(const IconImage& other) const;
};

// The images of an icon group, from each image's own header, sorted; fails
// the test where the group's entry and its image disagree.
std::vector<IconImage> IconGroupImages(const PeImage& image, const std::string& group);

// Checks an uncompressed 8-bit bitmap with all 256 palette entries that shows
// a black word mark on white.
void ExpectWordMarkBitmap(const std::string& bitmap, int width, int height);
