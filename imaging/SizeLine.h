#pragma once

#include <cstdint>

#include <QString>

#include "imaging/Picture.h"

namespace varnoset {

// Bits per pixel as the size line counts them: 1, 4, 8, 15 (5-5-5), 16 (5-6-5), 24, 32; a picture
// in the display's own format, or an empty one, counts with the display's bits per pixel.
int bitsPerPixel(const Picture& picture, int displayBitsPerPixel);

// "2 Colors", "16 Colors", "256 Colors", "32K Colors", "64K Colors", "16M Colors", and
// "64M Colors" for 32 and any other figure.
QString colorCountText(int bits);

// width * height * bits / 8192 rounded to the nearest integer, halves to even; exact for every
// picture size.
std::int64_t sizeInKilobytes(int width, int height, int bits);

// "Size W X H  = kb KB with <colours>" for the picture.
QString SizeLine(const Picture& picture, int displayBitsPerPixel);

}  // namespace varnoset
