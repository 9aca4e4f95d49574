#include "imaging/ApplyImageOptions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace varnoset {

namespace {

using Byte = std::uint8_t;
using Map = std::array<Byte, 256>;

// Brightness, contrast and invert act on each component alone, so together they are one table.
Map componentMap(const ImageOptions& options) {
    const int brightness = std::clamp(options.brightness, -255, 255);
    const int contrast = options.contrast;
    // The factor is formed once, as s * (1/127) + 1, so that halves round as the reference does.
    const double factor = std::fabs(static_cast<double>(contrast)) * (1.0 / 127) + 1;
    Map map{};
    for (int c = 0; c < 256; ++c) {
        double v = std::clamp(c + brightness, 0, 255);
        if (contrast > 0) {
            v = std::clamp(std::nearbyint(factor * (v - 127)) + 127, 0.0, 255.0);
        } else if (contrast < 0) {
            v = std::clamp(std::nearbyint((v - 127) / factor) + 127, 0.0, 255.0);
        }
        int result = static_cast<int>(v);
        if (options.invert) {
            result = 255 - result;
        }
        map[static_cast<std::size_t>(c)] = static_cast<Byte>(result);
    }
    return map;
}

bool isIdentity(const Map& map) {
    for (int c = 0; c < 256; ++c) {
        if (map[static_cast<std::size_t>(c)] != c) {
            return false;
        }
    }
    return true;
}

// Everything one pixel needs, worked out once per pass.
struct Tables {
    Map blue{};  // component map with the channel switch folded in
    Map green{};
    Map red{};
    std::array<std::uint16_t, 256> greyBlue{};  // 11, 59 and 30 times the mapped component
    std::array<std::uint16_t, 256> greyGreen{};
    std::array<std::uint16_t, 256> greyRed{};
    std::uint32_t channelMask = 0xFFFFFF;  // over red + green * 256 + blue * 65536
    std::uint32_t color1 = 0;
    std::uint32_t color2 = 0;
    std::array<Byte, 3> whereColor1{};  // final blue, green, red written where color1 matched
    std::array<Byte, 3> whereColor2{};
};

Byte greyOf(int blue, int green, int red) {
    return static_cast<Byte>(static_cast<unsigned>(30 * red + 59 * green + 11 * blue) / 100u);
}

// The exchanged colour after the later per-pixel steps (it skips the channel switch, which came
// before the exchange).
std::array<Byte, 3> finalColor(ColorValue color, const Map& map, bool grey) {
    const Byte b = map[static_cast<std::size_t>(blueOf(color))];
    const Byte g = map[static_cast<std::size_t>(greenOf(color))];
    const Byte r = map[static_cast<std::size_t>(redOf(color))];
    if (grey) {
        const Byte v = greyOf(b, g, r);
        return {v, v, v};
    }
    return {b, g, r};
}

Tables makeTables(const ImageOptions& options, const Map& map) {
    Tables t;
    for (int c = 0; c < 256; ++c) {
        const auto i = static_cast<std::size_t>(c);
        t.blue[i] = options.blue ? map[i] : map[0];
        t.green[i] = options.green ? map[i] : map[0];
        t.red[i] = options.red ? map[i] : map[0];
        t.greyBlue[i] = static_cast<std::uint16_t>(11 * t.blue[i]);
        t.greyGreen[i] = static_cast<std::uint16_t>(59 * t.green[i]);
        t.greyRed[i] = static_cast<std::uint16_t>(30 * t.red[i]);
    }
    t.channelMask = (options.red ? 0x0000FFu : 0u) | (options.green ? 0x00FF00u : 0u) |
                    (options.blue ? 0xFF0000u : 0u);
    t.color1 = options.color1;
    t.color2 = options.color2;
    t.whereColor1 = finalColor(options.color2, map, options.grey);
    t.whereColor2 = finalColor(options.color1, map, options.grey);
    return t;
}

// One pixel through every step but mirror. `in` and `out` may be the same pixel.
template <bool Exchange, bool Grey>
inline void transformPixel(const Byte* in, Byte* out, const Tables& t) {
    const Byte b = in[0];
    const Byte g = in[1];
    const Byte r = in[2];
    if constexpr (Exchange) {
        // Compared after the channel switch, as the value stood before the exchange.
        const std::uint32_t p =
            (static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) |
             (static_cast<std::uint32_t>(b) << 16)) &
            t.channelMask;
        if (p == t.color1) {
            out[0] = t.whereColor1[0];
            out[1] = t.whereColor1[1];
            out[2] = t.whereColor1[2];
            return;
        }
        if (p == t.color2) {
            out[0] = t.whereColor2[0];
            out[1] = t.whereColor2[1];
            out[2] = t.whereColor2[2];
            return;
        }
    }
    if constexpr (Grey) {
        const auto v = static_cast<Byte>(
            static_cast<unsigned>(t.greyBlue[b] + t.greyGreen[g] + t.greyRed[r]) / 100u);
        out[0] = v;
        out[1] = v;
        out[2] = v;
    } else {
        out[0] = t.blue[b];
        out[1] = t.green[g];
        out[2] = t.red[r];
    }
}

// One sweep over the rows. Every step but mirror works on a pixel alone, so the mirror is done
// by transforming the two pixels of a pair and storing them in each other's place.
template <bool Exchange, bool Grey>
void sweep(Byte* rows, int width, int height, std::ptrdiff_t stride, bool mirror,
           const Tables& shared) {
    // A private copy: stores into the rows cannot alias it, so its fields can stay in registers.
    const Tables t = shared;
    for (int y = 0; y < height; ++y) {
        Byte* line = rows + y * stride;
        if (!mirror) {
            for (int x = 0; x < width; ++x) {
                transformPixel<Exchange, Grey>(line + 3 * x, line + 3 * x, t);
            }
            continue;
        }
        for (int left = 0, right = width - 1; left < right; ++left, --right) {
            const Byte saved[3] = {line[3 * left], line[3 * left + 1], line[3 * left + 2]};
            transformPixel<Exchange, Grey>(line + 3 * right, line + 3 * left, t);
            transformPixel<Exchange, Grey>(saved, line + 3 * right, t);
        }
        if (width % 2 == 1) {
            Byte* middle = line + 3 * (width / 2);
            transformPixel<Exchange, Grey>(middle, middle, t);
        }
    }
}

}  // namespace

void ApplyImageOptions(std::uint8_t* rows, int width, int height, int stride,
                       const ImageOptions& options) {
    if (rows == nullptr || width <= 0 || height <= 0) {
        return;
    }
    const Map map = componentMap(options);
    const bool channels = !(options.red && options.green && options.blue);
    if (!channels && !options.swap && isIdentity(map) && !options.mirror && !options.grey) {
        return;
    }
    const Tables tables = makeTables(options, map);
    if (options.swap) {
        if (options.grey) {
            sweep<true, true>(rows, width, height, stride, options.mirror, tables);
        } else {
            sweep<true, false>(rows, width, height, stride, options.mirror, tables);
        }
    } else if (options.grey) {
        sweep<false, true>(rows, width, height, stride, options.mirror, tables);
    } else {
        sweep<false, false>(rows, width, height, stride, options.mirror, tables);
    }
}

}  // namespace varnoset
