#pragma once

#include <cstdint>

namespace varnoset {

// A 5-bit or 6-bit field of a 16-bit pixel widened to 8 bits by repeating its top bits, so that
// the lowest and highest field values become 0 and 255.
constexpr int widen5(int v) {
    return (v << 3) | (v >> 2);
}
constexpr int widen6(int v) {
    return (v << 2) | (v >> 4);
}

// Palette indices packed 1, 4 or 8 to a byte, the leftmost pixel in the high bits.
inline int indexAt(const std::uint8_t* line, int x, int bits) {
    switch (bits) {
        case 1:
            return (line[x >> 3] >> (7 - (x & 7))) & 1;
        case 4:
            return (x & 1) ? (line[x >> 1] & 0x0F) : (line[x >> 1] >> 4);
        default:
            return line[x];
    }
}

inline void setIndexAt(std::uint8_t* line, int x, int bits, int index) {
    switch (bits) {
        case 1: {
            const int shift = 7 - (x & 7);
            line[x >> 3] =
                static_cast<std::uint8_t>((line[x >> 3] & ~(1 << shift)) | ((index & 1) << shift));
            break;
        }
        case 4: {
            std::uint8_t& byte = line[x >> 1];
            byte = (x & 1) ? static_cast<std::uint8_t>((byte & 0xF0) | (index & 0x0F))
                           : static_cast<std::uint8_t>((byte & 0x0F) | ((index & 0x0F) << 4));
            break;
        }
        default:
            line[x] = static_cast<std::uint8_t>(index);
    }
}

}  // namespace varnoset
