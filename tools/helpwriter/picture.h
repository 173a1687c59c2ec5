// Inline pictures: a Windows .bmp file turned into a |bmN internal file.
#pragma once

#include "byte_buffer.h"

// The picture file for an uncompressed, bottom-up .bmp with 1, 4, 8 or 24
// bits per pixel; the palette keeps only the entries up to the highest one
// that a pixel uses. Throws std::invalid_argument saying what is wrong.
Bytes PictureFile(const Bytes& bmp);
