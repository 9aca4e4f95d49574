#pragma once

#include "imaging/Picture.h"

namespace varnoset {

// Rewrites the picture with 4 bits per pixel and the 16-colour palette, or with 8 bits per pixel
// and the 256-colour palette, each pixel taking the nearest palette colour (no dithering). A
// picture already at that depth, or an empty one, is left as it is.
// Throws std::invalid_argument for any other depth.
void ReduceColorDepth(Picture& picture, int bits);

}  // namespace varnoset
