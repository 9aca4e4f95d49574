#pragma once

#include <cstdint>
#include <vector>

#include "imaging/Picture.h"

namespace varnoset {

// Encodes the picture's 24-bit colours as a baseline JPEG of quality 100 (the codec's standard
// tables, 4:2:0 chroma, accurate integer transform, no Huffman optimisation), whatever the
// picture's pixel format. Throws varnoset::Error("JPEG error #n") when the codec refuses, as
// for an empty picture.
std::vector<std::uint8_t> writeJpeg(const Picture& picture);

}  // namespace varnoset
