#include "imaging/StandardPalettes.h"

#include <algorithm>

namespace varnoset {

namespace {

ColorValue inverse(ColorValue c) {
    return ~c & 0xFFFFFF;
}

}  // namespace

std::vector<ColorValue> standardPalette16() {
    return {
        rgbValue(0, 0, 0),       rgbValue(128, 0, 0),     rgbValue(0, 128, 0),
        rgbValue(128, 128, 0),   rgbValue(0, 0, 128),     rgbValue(128, 0, 128),
        rgbValue(0, 128, 128),   rgbValue(128, 128, 128), rgbValue(192, 192, 192),
        rgbValue(255, 0, 0),     rgbValue(0, 255, 0),     rgbValue(255, 255, 0),
        rgbValue(0, 0, 255),     rgbValue(255, 0, 255),   rgbValue(0, 255, 255),
        rgbValue(255, 255, 255),
    };
}

std::vector<ColorValue> halftonePalette256() {
    // The lower half; the upper half is its inverse in reverse order.
    std::vector<ColorValue> lower;
    lower.reserve(128);
    // Cube colours numbered r * 36 + g * 6 + b; number n and 215 - n are inverses, so the first
    // 108 numbers hold one of each pair (0 is black).
    for (int n = 0; n < 108; ++n) {
        lower.push_back(rgbValue(n / 36 * 51, n / 6 % 6 * 51, n % 6 * 51));
    }
    // The half-level colours of the 16-colour palette, and silver.
    for (const ColorValue c : {rgbValue(128, 0, 0), rgbValue(0, 128, 0), rgbValue(128, 128, 0),
                               rgbValue(0, 0, 128), rgbValue(128, 0, 128), rgbValue(0, 128, 128),
                               rgbValue(128, 128, 128), rgbValue(192, 192, 192)}) {
        lower.push_back(c);
    }
    // Greys that, with the cube's and the inverses', make a ramp of steps of 8 or 9.
    for (const int g : {8, 17, 25, 34, 42, 59, 68, 76, 85, 93, 110, 119}) {
        lower.push_back(rgbValue(g, g, g));
    }

    std::vector<ColorValue> palette = lower;
    palette.resize(256);
    std::transform(lower.rbegin(), lower.rend(), palette.begin() + 128, inverse);
    return palette;
}

std::vector<ColorValue> monochromePalette() {
    return {rgbValue(0, 0, 0), rgbValue(255, 255, 255)};
}

}  // namespace varnoset
