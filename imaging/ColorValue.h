#pragma once

#include <cstdint>

namespace varnoset {

// A colour as 0x00BBGGRR: red in the low byte, as the stored options keep it.
using ColorValue = std::uint32_t;

constexpr int redOf(ColorValue c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int greenOf(ColorValue c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int blueOf(ColorValue c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
constexpr ColorValue rgbValue(int r, int g, int b) {
    return static_cast<ColorValue>(r & 0xFF) | (static_cast<ColorValue>(g & 0xFF) << 8) |
           (static_cast<ColorValue>(b & 0xFF) << 16);
}

}  // namespace varnoset
