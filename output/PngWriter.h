#pragma once

#include <cstdint>
#include <vector>

#include "imaging/Picture.h"

namespace varnoset {

// Encodes the picture as a PNG file: a palette picture (1, 4 or 8 bits) as an indexed PNG of the
// same depth with its palette, every other format as 8-bit RGB. No gamma, no colour profile, no
// text. Throws varnoset::Error("PNG image is not valid: ...") for an empty picture, which no PNG
// can hold.
std::vector<std::uint8_t> writePng(const Picture& picture);

}  // namespace varnoset
