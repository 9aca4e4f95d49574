#pragma once

#include <QByteArray>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <span>
#include <vector>

#include "imaging/Picture.h"
#include "imaging/PixelConversion.h"

// Pictures made for tests, and their bytes as other programs see them.
namespace varnoset::test {

inline std::span<const std::uint8_t> bytesOf(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()),
            static_cast<std::size_t>(data.size())};
}

inline QByteArray toByteArray(const std::vector<std::uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

// Every pixel as red, green, blue bytes, top row first (as ImageMagick prints "rgb:-").
inline QByteArray rgbBytes(const Picture& picture) {
    const PixelRows rows = readPixelRows(picture);
    QByteArray out;
    out.reserve(rows.width * rows.height * 3);
    for (int y = rows.height - 1; y >= 0; --y) {
        const std::uint8_t* row = rows.row(y);
        for (int x = 0; x < rows.width; ++x) {
            out.append(static_cast<char>(row[3 * x + 2]));
            out.append(static_cast<char>(row[3 * x + 1]));
            out.append(static_cast<char>(row[3 * x]));
        }
    }
    return out;
}

// A picture of random pixels; palette formats get a palette of distinct colours with
// paletteEntries entries (0: the format's full size) and indices below it.
inline Picture randomPicture(int width, int height, PixelFormat format, unsigned seed,
                             int paletteEntries = 0) {
    std::mt19937 random(seed);
    std::vector<ColorValue> palette;
    if (isIndexed(format)) {
        const int entries = paletteEntries > 0 ? paletteEntries : paletteSize(format);
        for (int i = 0; i < entries; ++i) {
            palette.push_back(rgbValue(i * 7 + 3, 255 - i, (i * 53) & 0xFF));
        }
    }
    Picture picture(width, height, format, palette);
    const int bits = storageBits(format);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* line = picture.scanLine(y);
        if (isIndexed(format)) {
            for (int x = 0; x < width; ++x) {
                const int index = static_cast<int>(random() % palette.size());
                if (bits == 8) {
                    line[x] = static_cast<std::uint8_t>(index);
                } else if (bits == 4) {
                    line[x / 2] |= static_cast<std::uint8_t>(index << ((x & 1) ? 0 : 4));
                } else {
                    line[x / 8] |= static_cast<std::uint8_t>(index << (7 - (x & 7)));
                }
            }
        } else {
            const int bytes = width * bits / 8;
            for (int i = 0; i < bytes; ++i) {
                line[i] = static_cast<std::uint8_t>(random());
            }
            if (format == PixelFormat::Rgb555) {  // the top bit of a 5-5-5 pixel is unused
                for (int i = 1; i < bytes; i += 2) {
                    line[i] &= 0x7F;
                }
            }
        }
    }
    return picture;
}

// A smooth picture with some detail, as screenshots and photographs have.
inline Picture patternPicture(int width, int height) {
    Picture picture(width, height, PixelFormat::Rgb24);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* line = picture.scanLine(y);
        for (int x = 0; x < width; ++x) {
            line[3 * x] = static_cast<std::uint8_t>(x * 255 / std::max(1, width - 1));
            line[3 * x + 1] = static_cast<std::uint8_t>(y * 255 / std::max(1, height - 1));
            line[3 * x + 2] = static_cast<std::uint8_t>(((x / 8 + y / 8) % 2) ? 140 : 100);
        }
    }
    return picture;
}

// The largest difference of one colour channel between two pictures of the same size, and the
// mean difference.
struct ColourDistance {
    int largest = 0;
    double mean = 0;
};

inline ColourDistance colourDistance(const Picture& a, const Picture& b) {
    const QByteArray x = rgbBytes(a);
    const QByteArray y = rgbBytes(b);
    ColourDistance d;
    if (x.size() != y.size() || x.isEmpty()) {
        d.largest = 256;
        return d;
    }
    double sum = 0;
    for (qsizetype i = 0; i < x.size(); ++i) {
        const int diff =
            std::abs(static_cast<std::uint8_t>(x[i]) - static_cast<std::uint8_t>(y[i]));
        d.largest = std::max(d.largest, diff);
        sum += diff;
    }
    d.mean = sum / static_cast<double>(x.size());
    return d;
}

}  // namespace varnoset::test
