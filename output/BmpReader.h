#pragma once

#include <cstdint>
#include <span>

#include "imaging/Picture.h"

namespace varnoset {

// Decodes a BMP file held in memory: OS/2 core headers and Windows headers of 40, 52, 56, 108
// and 124 bytes; 1, 4 and 8 bits with a palette, also run-length encoded (RLE4, RLE8); 16 bits
// 5-5-5 and 5-6-5 or other bit masks; 24 bits; 32 bits with or without bit masks; rows
// bottom-up or top-down. The picture takes the file's pixel format; a layout that has none of
// its own (other bit masks, 32 bits with masks) becomes the display's format.
// Throws varnoset::Error("Bitmap image is not valid") for anything else, for a file that ends
// early and for a picture larger than Picture accepts, before allocating it.
Picture readBmp(std::span<const std::uint8_t> file);

class InputFile;

// The same for a BMP file on disk. Rows that the picture keeps as they are stored are read
// straight into it, without a copy of the file in memory; other files are read whole first.
// A failing read throws the file's "Cannot open file ..." error.
Picture readBmp(const InputFile& file);

}  // namespace varnoset
