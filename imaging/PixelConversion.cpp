#include "imaging/PixelConversion.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "imaging/ConvertLines.h"
#include "imaging/PackedPixels.h"
#include "imaging/PixelLineWriter.h"

namespace varnoset {

namespace {

using Byte = std::uint8_t;

// Picture lines into 24-bit rows.
struct LineReader {
    const std::array<std::array<Byte, 3>, 256>& colors;  // the palette as blue, green, red

    void indexed(const Byte* in, Byte* out, int width, int bits) const {
        for (int x = 0; x < width; ++x) {
            const auto& bgr = colors[static_cast<std::size_t>(indexAt(in, x, bits))];
            out[3 * x] = bgr[0];
            out[3 * x + 1] = bgr[1];
            out[3 * x + 2] = bgr[2];
        }
    }

    static void rgb16(const Byte* in, Byte* out, int width, bool is565) {
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

    static void rgb32(const Byte* in, Byte* out, int width) {
        // Four bytes at a time; the fourth lands on the next pixel's blue, written right after.
        for (int x = 0; x + 1 < width; ++x) {
            std::memcpy(out + 3 * x, in + 4 * x, 4);
        }
        std::memcpy(out + 3 * (width - 1), in + 4 * (width - 1), 3);
    }
};

}  // namespace

void readPixelLines(const Picture& picture, int first, int count, PixelRows& rows) {
    if (first < 0 || count < 0 || first + count > picture.height()) {
        throw std::out_of_range("lines outside the picture");
    }
    const int width = picture.isEmpty() ? 0 : picture.width();
    rows.width = width;
    rows.height = width == 0 ? 0 : count;
    rows.bytes.resize(static_cast<std::size_t>(rows.height) *
                      static_cast<std::size_t>(rows.stride()));
    if (rows.height == 0) {
        return;
    }

    std::array<std::array<Byte, 3>, 256> colors{};
    const auto& palette = picture.palette();
    for (std::size_t i = 0; i < palette.size() && i < colors.size(); ++i) {
        colors[i] = {static_cast<Byte>(blueOf(palette[i])), static_cast<Byte>(greenOf(palette[i])),
                     static_cast<Byte>(redOf(palette[i]))};
    }

    convertLines(
        picture.format(), width, count,
        [&](int i) {
            return std::pair{picture.scanLine(first + i), rows.row(count - 1 - i)};
        },
        LineReader{colors});
}

PixelRows readPixelRows(const Picture& picture) {
    PixelRows rows;
    readPixelLines(picture, 0, picture.height(), rows);
    return rows;
}

Picture pictureFromRows(const PixelRows& rows, PixelFormat format,
                        std::vector<ColorValue> palette) {
    const bool empty = rows.width <= 0 || rows.height <= 0;
    Picture picture(empty ? 0 : rows.width, empty ? 0 : rows.height, format, std::move(palette));
    if (!empty) {
        PixelLineWriter(picture).write(rows, 0);
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
