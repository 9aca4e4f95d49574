#pragma once

#include <vector>

#include "imaging/ColorValue.h"

namespace varnoset {

// The 16 colours of the "16" reduction, in palette order: black, maroon, green, olive, navy,
// purple, teal, grey, silver, red, lime, yellow, blue, fuchsia, aqua, white.
std::vector<ColorValue> standardPalette16();

// The 256 colours of the "256" reduction: the 6 x 6 x 6 colour cube (levels 0, 51, ..., 255),
// the half-level colours of the 16-colour palette, and a grey ramp. Entry 255 - i is the inverse
// of entry i, so inverting a palette index (as the frame does) inverts the colour.
std::vector<ColorValue> halftonePalette256();

// Black and white, for two-colour pictures that arrive without a palette.
std::vector<ColorValue> monochromePalette();

}  // namespace varnoset
