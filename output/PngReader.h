#pragma once

#include <cstdint>
#include <span>

#include "imaging/Picture.h"

namespace varnoset {

// Decodes a PNG file held in memory. A palette PNG keeps its indices and palette (1 bit as a
// 1-bit picture, 4 bits as a 4-bit one, 2 and 8 bits as an 8-bit one); every other kind becomes a
// 24-bit picture: grey widened to colour, 16-bit samples scaled to 8, alpha and transparency
// dropped (the colour values stay as stored). No gamma or colour profile is applied.
// The file's structure is read first, so that nothing is allocated for a file that cannot hold
// the picture it announces. Throws varnoset::Error with
//   "PNG image is truncated" for a file cut short or whose image data is too short for its size,
//   "PNG image is too large ..." for more than the largest picture (Picture::kMaxSide, kMaxBytes),
//   "PNG image is not valid: ..." with the reason for anything else the decoder refuses.
Picture readPng(std::span<const std::uint8_t> file);

}  // namespace varnoset
