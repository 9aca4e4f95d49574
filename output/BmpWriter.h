#pragma once

#include <cstdint>
#include <vector>

#include "Picture.h"

namespace varnoset {

// Encodes the picture as a BMP file in its own pixel format: 1, 4 and 8 bits with the picture's
// palette, 16 bits as 5-5-5 (no masks) or 5-6-5 (bit masks), 24 bits, and 32 bits for the
// 32-bit and display formats (the unused byte written as 0). Rows are stored bottom-up under a
// 40-byte header. Throws varnoset::Error("Bitmap image is not valid") for an empty picture,
// which no BMP can hold.
std::vector<std::uint8_t> writeBmp(const Picture& picture);

}  // namespace varnoset
