#pragma once

#include <cstdint>
#include <span>

#include "imaging/Picture.h"

namespace varnoset {

// Decodes a JPEG file held in memory at full size with the codec's accurate integer transform
// and block smoothing. For a display of 8 bits per pixel or fewer the colours are quantised in
// two passes to a palette of 236 with Floyd-Steinberg dithering (an 8-bit palette picture);
// otherwise the picture is 24-bit.
// Throws varnoset::Error("JPEG error #n") with the codec's message number for anything the codec
// refuses, for damaged or truncated data, and for a picture larger than Picture accepts (before
// allocating it).
Picture readJpeg(std::span<const std::uint8_t> file, int displayBitsPerPixel);

}  // namespace varnoset
