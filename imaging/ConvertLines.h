#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "imaging/Picture.h"

namespace varnoset {

// Runs lines of a picture through the line function of its format, in either direction between
// the picture's own layout and 24-bit rows. `linePair(i)` gives the i-th pair as {from, to};
// `lines` has indexed(from, to, width, bits), rgb16(from, to, width, is565) and
// rgb32(from, to, width). 24-bit lines are the rows' own layout and are copied as they are. The
// format is looked at once, so the loop over the lines holds only the one call.
template <typename LinePair, typename Lines>
void convertLines(PixelFormat format, int width, int count, LinePair linePair, const Lines& lines) {
    const auto eachLine = [&](auto convert) {
        for (int i = 0; i < count; ++i) {
            const auto [from, to] = linePair(i);
            convert(from, to);
        }
    };
    using Byte = std::uint8_t;
    switch (format) {
        case PixelFormat::Indexed1:
        case PixelFormat::Indexed4:
        case PixelFormat::Indexed8: {
            const int bits = storageBits(format);
            eachLine([&](const Byte* from, Byte* to) { lines.indexed(from, to, width, bits); });
            break;
        }
        // Each 16-bit layout with its own constant, so each gets a loop of its own.
        case PixelFormat::Rgb555:
            eachLine([&](const Byte* from, Byte* to) { lines.rgb16(from, to, width, false); });
            break;
        case PixelFormat::Rgb565:
            eachLine([&](const Byte* from, Byte* to) { lines.rgb16(from, to, width, true); });
            break;
        case PixelFormat::Rgb24:
            eachLine([&](const Byte* from, Byte* to) {
                std::memcpy(to, from, static_cast<std::size_t>(width) * 3);
            });
            break;
        case PixelFormat::Rgb32:
        case PixelFormat::Device:
            eachLine([&](const Byte* from, Byte* to) { lines.rgb32(from, to, width); });
            break;
    }
}

}  // namespace varnoset
