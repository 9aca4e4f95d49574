#pragma once

#include <cstdint>

#include "imaging/ImageOptions.h"

namespace varnoset {

// Applies the colour options to 24-bit rows in place, in this order: channel switches, colour
// exchange, brightness, contrast, invert, mirror, grey. `rows` holds `height` rows of `stride`
// bytes, pixel x of a row at bytes 3x..3x+2 as blue, green, red; the row order does not matter
// and the padding after 3 * width bytes is left alone. The frame is not drawn here.
void ApplyImageOptions(std::uint8_t* rows, int width, int height, int stride,
                       const ImageOptions& options);

}  // namespace varnoset
