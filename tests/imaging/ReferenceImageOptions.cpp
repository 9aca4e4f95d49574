#include "tests/imaging/ReferenceImageOptions.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace varnoset::test {

namespace {

template <typename Fn>
void forEachPixel(std::uint8_t* rows, int width, int height, int stride, Fn fn) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = rows + y * stride + 3 * x;
            fn(p[2], p[1], p[0]);  // red, green, blue
        }
    }
}

template <typename Fn>
void forEachComponent(std::uint8_t* rows, int width, int height, int stride, Fn fn) {
    forEachPixel(rows, width, height, stride,
                 [&](std::uint8_t& r, std::uint8_t& g, std::uint8_t& b) {
                     r = static_cast<std::uint8_t>(fn(r));
                     g = static_cast<std::uint8_t>(fn(g));
                     b = static_cast<std::uint8_t>(fn(b));
                 });
}

}  // namespace

void referenceImageOptions(std::uint8_t* rows, int width, int height, int stride,
                           const ImageOptions& o) {
    if (!(o.red && o.green && o.blue)) {
        forEachPixel(rows, width, height, stride,
                     [&](std::uint8_t& r, std::uint8_t& g, std::uint8_t& b) {
                         if (!o.blue)
                             b = 0;
                         if (!o.green)
                             g = 0;
                         if (!o.red)
                             r = 0;
                     });
    }
    if (o.swap) {
        forEachPixel(rows, width, height, stride,
                     [&](std::uint8_t& r, std::uint8_t& g, std::uint8_t& b) {
                         const std::uint32_t p = r + g * 256u + b * 65536u;
                         if (p == o.color1) {
                             r = o.color2 & 0xFF;
                             g = (o.color2 >> 8) & 0xFF;
                             b = (o.color2 >> 16) & 0xFF;
                         }
                         if (p == o.color2) {
                             r = o.color1 & 0xFF;
                             g = (o.color1 >> 8) & 0xFF;
                             b = (o.color1 >> 16) & 0xFF;
                         }
                     });
    }
    if (o.brightness > 0) {
        forEachComponent(rows, width, height, stride,
                         [&](int c) { return std::min(255, c + o.brightness); });
    } else if (o.brightness < 0) {
        forEachComponent(rows, width, height, stride,
                         [&](int c) { return std::max(0, c - std::abs(o.brightness)); });
    }
    if (o.contrast != 0) {
        const double f = std::abs(o.contrast) * (1.0 / 127) + 1;
        forEachComponent(rows, width, height, stride, [&](int c) {
            const double scaled = o.contrast > 0 ? f * (c - 127) : (c - 127) / f;
            const int v = static_cast<int>(std::nearbyint(scaled)) + 127;
            return std::clamp(v, 0, 255);
        });
    }
    if (o.invert) {
        forEachComponent(rows, width, height, stride, [](int c) { return 255 - c; });
    }
    if (o.mirror) {
        for (int y = 0; y < height; ++y) {
            std::uint8_t* line = rows + y * stride;
            for (int x = 0; x < width / 2; ++x) {
                for (int k = 0; k < 3; ++k) {
                    std::swap(line[3 * x + k], line[3 * (width - 1 - x) + k]);
                }
            }
        }
    }
    if (o.grey) {
        forEachPixel(rows, width, height, stride,
                     [](std::uint8_t& r, std::uint8_t& g, std::uint8_t& b) {
                         const int v = (30 * r + 59 * g + 11 * b) / 100;
                         r = g = b = static_cast<std::uint8_t>(v);
                     });
    }
}

}  // namespace varnoset::test
