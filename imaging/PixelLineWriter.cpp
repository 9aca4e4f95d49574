#include "imaging/PixelLineWriter.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "imaging/ConvertLines.h"
#include "imaging/PackedPixels.h"

namespace varnoset {

namespace {

using Byte = std::uint8_t;

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

// 24-bit rows into picture lines.
struct LineWriter {
    PaletteMatcher& matcher;

    void indexed(const Byte* in, Byte* out, int width, int bits) const {
        for (int x = 0; x < width; ++x) {
            setIndexAt(out, x, bits, matcher.nearest(in[3 * x + 2], in[3 * x + 1], in[3 * x]));
        }
    }

    static void rgb16(const Byte* in, Byte* out, int width, bool is565) {
        for (int x = 0; x < width; ++x) {
            const int blue = kNearest5[in[3 * x]];
            const int word =
                is565 ? (kNearest5[in[3 * x + 2]] << 11) | (kNearest6[in[3 * x + 1]] << 5) | blue
                      : (kNearest5[in[3 * x + 2]] << 10) | (kNearest5[in[3 * x + 1]] << 5) | blue;
            out[2 * x] = static_cast<Byte>(word & 0xFF);
            out[2 * x + 1] = static_cast<Byte>(word >> 8);
        }
    }

    static void rgb32(const Byte* in, Byte* out, int width) {
        // Four bytes at a time, the next pixel's blue then cleared; the last pixel alone, so as
        // not to read past the rows.
        for (int x = 0; x + 1 < width; ++x) {
            std::memcpy(out + 4 * x, in + 3 * x, 4);
            out[4 * x + 3] = 0;
        }
        const int last = width - 1;
        out[4 * last] = in[3 * last];
        out[4 * last + 1] = in[3 * last + 1];
        out[4 * last + 2] = in[3 * last + 2];
        out[4 * last + 3] = 0;
    }
};

}  // namespace

PixelLineWriter::PixelLineWriter(Picture& target)
    : target_(target),
      matcher_(isIndexed(target.format()) ? target.palette() : std::vector<ColorValue>{}) {}

void PixelLineWriter::write(const PixelRows& rows, int first) {
    const int count = rows.height;
    if (count <= 0) {
        return;
    }
    if (rows.width != target_.width() || first < 0 || first + count > target_.height() ||
        rows.bytes.size() <
            static_cast<std::size_t>(count) * static_cast<std::size_t>(rows.stride())) {
        throw std::out_of_range("pixel rows do not fit the picture");
    }
    convertLines(
        target_.format(), rows.width, count,
        [&](int i) {
            return std::pair{rows.row(count - 1 - i), target_.scanLine(first + i)};
        },
        LineWriter{matcher_});
}

}  // namespace varnoset
