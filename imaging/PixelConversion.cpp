#include "PixelConversion.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "IndexedPixels.h"
#include "PaletteMatcher.h"

namespace varnoset {

namespace {

using Byte = std::uint8_t;

constexpr int widen5(int v) {
    return (v << 3) | (v >> 2);
}
constexpr int widen6(int v) {
    return (v << 2) | (v >> 4);
}

// For each 8-bit level, the field value whose widened level lies nearest (lower value on a tie).
template <int Bits>
constexpr std::array<Byte, 256> nearestFieldTable() {
    std::array<Byte, 256> table{};
    constexpr int levels = 1 << Bits;
    for (int c = 0; c < 256; ++c) {
        int best = 0;
        int bestGap = 256;
        for (int v = 0; v < levels; ++v) {
            const int widened = Bits == 5 ? widen5(v) : widen6(v);
            const int gap = widened > c ? widened - c : c - widened;
            if (gap < bestGap) {
                best = v;
                bestGap = gap;
            }
        }
        table[static_cast<std::size_t>(c)] = static_cast<Byte>(best);
    }
    return table;
}

constexpr auto kNearest5 = nearestFieldTable<5>();
constexpr auto kNearest6 = nearestFieldTable<6>();

void readIndexedLine(const Byte* in, Byte* out, int width, int bits,
                     const std::array<std::array<Byte, 3>, 256>& colors) {
    for (int x = 0; x < width; ++x) {
        const auto& bgr = colors[static_cast<std::size_t>(indexAt(in, x, bits))];
        out[3 * x] = bgr[0];
        out[3 * x + 1] = bgr[1];
        out[3 * x + 2] = bgr[2];
    }
}

void read16Line(const Byte* in, Byte* out, int width, bool is565) {
    for (int x = 0; x < width; ++x) {
        const int word = in[2 * x] | (in[2 * x + 1] << 8);
        out[3 * x] = static_cast<Byte>(widen5(word & 0x1F));
        if (is565) {
            out[3 * x + 1] = static_cast<Byte>(widen6((word >> 5) & 0x3F));
            out[3 * x + 2] = static_cast<Byte>(widen5((word >> 11) & 0x1F));
        } else {
            out[3 * x + 1] = static_cast<Byte>(widen5((word >> 5) & 0x1F));
            out[3 * x + 2] = static_cast<Byte>(widen5((word >> 10) & 0x1F));
        }
    }
}

void read32Line(const Byte* in, Byte* out, int width) {
    for (int x = 0; x < width; ++x) {
        out[3 * x] = in[4 * x];
        out[3 * x + 1] = in[4 * x + 1];
        out[3 * x + 2] = in[4 * x + 2];
    }
}

void writeIndexedLine(const Byte* in, Byte* out, int width, int bits, PaletteMatcher& matcher) {
    for (int x = 0; x < width; ++x) {
        setIndexAt(out, x, bits, matcher.nearest(in[3 * x + 2], in[3 * x + 1], in[3 * x]));
    }
}

void write16Line(const Byte* in, Byte* out, int width, bool is565) {
    for (int x = 0; x < width; ++x) {
        const int blue = kNearest5[in[3 * x]];
        const int word =
            is565 ? (kNearest5[in[3 * x + 2]] << 11) | (kNearest6[in[3 * x + 1]] << 5) | blue
                  : (kNearest5[in[3 * x + 2]] << 10) | (kNearest5[in[3 * x + 1]] << 5) | blue;
        out[2 * x] = static_cast<Byte>(word & 0xFF);
        out[2 * x + 1] = static_cast<Byte>(word >> 8);
    }
}

void write32Line(const Byte* in, Byte* out, int width) {
    for (int x = 0; x < width; ++x) {
        out[4 * x] = in[3 * x];
        out[4 * x + 1] = in[3 * x + 1];
        out[4 * x + 2] = in[3 * x + 2];
        out[4 * x + 3] = 0;
    }
}

}  // namespace

PixelRows readPixelRows(const Picture& picture) {
    PixelRows rows;
    if (picture.isEmpty()) {
        return rows;
    }
    const int width = picture.width();
    const int height = picture.height();
    rows.width = width;
    rows.height = height;
    rows.bytes.resize(static_cast<std::size_t>(height) * static_cast<std::size_t>(rows.stride()));

    std::array<std::array<Byte, 3>, 256> colors{};
    const auto& palette = picture.palette();
    for (std::size_t i = 0; i < palette.size() && i < colors.size(); ++i) {
        colors[i] = {static_cast<Byte>(blueOf(palette[i])), static_cast<Byte>(greenOf(palette[i])),
                     static_cast<Byte>(redOf(palette[i]))};
    }

    const PixelFormat format = picture.format();
    for (int y = 0; y < height; ++y) {
        const Byte* in = picture.scanLine(y);
        Byte* out = rows.row(height - 1 - y);
        switch (format) {
            case PixelFormat::Indexed1:
            case PixelFormat::Indexed4:
            case PixelFormat::Indexed8:
                readIndexedLine(in, out, width, storageBits(format), colors);
                break;
            case PixelFormat::Rgb555:
            case PixelFormat::Rgb565:
                read16Line(in, out, width, format == PixelFormat::Rgb565);
                break;
            case PixelFormat::Rgb24:
                std::memcpy(out, in, static_cast<std::size_t>(width) * 3);
                break;
            case PixelFormat::Rgb32:
            case PixelFormat::Device:
                read32Line(in, out, width);
                break;
        }
    }
    return rows;
}

Picture pictureFromRows(const PixelRows& rows, PixelFormat format,
                        std::vector<ColorValue> palette) {
    const int width = rows.width;
    const int height = rows.height;
    if (width <= 0 || height <= 0) {
        return Picture(0, 0, format, std::move(palette));
    }
    if (rows.bytes.size() <
        static_cast<std::size_t>(height) * static_cast<std::size_t>(rows.stride())) {
        throw std::invalid_argument("pixel rows shorter than their size");
    }
    Picture picture(width, height, format, std::move(palette));
    PaletteMatcher matcher(isIndexed(format) ? picture.palette() : std::vector<ColorValue>{});

    for (int y = 0; y < height; ++y) {
        const Byte* in = rows.row(height - 1 - y);
        Byte* out = picture.scanLine(y);
        switch (format) {
            case PixelFormat::Indexed1:
            case PixelFormat::Indexed4:
            case PixelFormat::Indexed8:
                writeIndexedLine(in, out, width, storageBits(format), matcher);
                break;
            case PixelFormat::Rgb555:
            case PixelFormat::Rgb565:
                write16Line(in, out, width, format == PixelFormat::Rgb565);
                break;
            case PixelFormat::Rgb24:
                std::memcpy(out, in, static_cast<std::size_t>(width) * 3);
                break;
            case PixelFormat::Rgb32:
            case PixelFormat::Device:
                write32Line(in, out, width);
                break;
        }
    }
    return picture;
}

void convertPixelFormat(Picture& picture, PixelFormat format, std::vector<ColorValue> palette) {
    if (picture.format() == format) {
        return;
    }
    picture = pictureFromRows(readPixelRows(picture), format, std::move(palette));
}

}  // namespace varnoset
