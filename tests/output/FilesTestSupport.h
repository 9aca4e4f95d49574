#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <cctype>
#include <cstdint>
#include <random>
#include <span>
#include <vector>

#include "imaging/Picture.h"
#include "imaging/PixelConversion.h"

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace varnoset::test {

inline std::span<const std::uint8_t> bytesOf(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()),
            static_cast<std::size_t>(data.size())};
}

inline QByteArray toByteArray(const std::vector<std::uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

// Runs a tool without a shell and returns what it printed; the test fails when it does not run
// or exits with an error.
inline QByteArray runTool(const QString& program, const QStringList& arguments,
                          const QByteArray& input = {}) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted()) {
        ADD_FAILURE() << program.toStdString() << " did not start";
        return {};
    }
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " " << arguments.join(' ').toStdString()
                      << " failed: " << process.readAllStandardError().toStdString();
    }
    return process.readAllStandardOutput();
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

// The rows of a picture without the padding of their last bytes: pixels and palette compared.
inline bool samePixels(const Picture& a, const Picture& b) {
    if (a.width() != b.width() || a.height() != b.height() ||
        storageBits(a.format()) != storageBits(b.format()) || a.palette() != b.palette()) {
        return false;
    }
    const int bits = storageBits(a.format());
    const auto rowBits = static_cast<std::size_t>(a.width()) * static_cast<std::size_t>(bits);
    const std::size_t fullBytes = rowBits / 8;
    const int restBits = static_cast<int>(rowBits % 8);
    for (int y = 0; y < a.height(); ++y) {
        const std::uint8_t* p = a.scanLine(y);
        const std::uint8_t* q = b.scanLine(y);
        for (std::size_t i = 0; i < fullBytes; ++i) {
            if (bits == 32 && i % 4 == 3) {
                continue;  // the unused byte
            }
            if (p[i] != q[i]) {
                return false;
            }
        }
        if (restBits > 0) {
            const std::uint8_t mask = static_cast<std::uint8_t>(0xFF << (8 - restBits));
            if ((p[fullBytes] & mask) != (q[fullBytes] & mask)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace varnoset::test

namespace varnoset::test {

// The picture's pixels as a binary PPM ("P6"), as cjpeg reads them.
inline QByteArray ppmOf(const Picture& picture) {
    return QByteArray("P6\n") + QByteArray::number(picture.width()) + ' ' +
           QByteArray::number(picture.height()) + "\n255\n" + rgbBytes(picture);
}

// The pixel bytes of a binary PPM as djpeg prints it (header "P6 width height 255").
inline QByteArray ppmPixels(const QByteArray& ppm) {
    int fields = 0;
    qsizetype i = 0;
    while (fields < 4 && i < ppm.size()) {
        while (i < ppm.size() && std::isspace(static_cast<unsigned char>(ppm[i]))) {
            ++i;
        }
        while (i < ppm.size() && !std::isspace(static_cast<unsigned char>(ppm[i]))) {
            ++i;
        }
        ++fields;
    }
    return ppm.mid(i + 1);  // one white-space character ends the header
}

}  // namespace varnoset::test
