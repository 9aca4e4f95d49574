#include "imaging/QtPictureConversion.h"

#include <cstdint>
#include <cstring>

#include "core/Error.h"
#include "imaging/PackedPixels.h"
#include "imaging/PixelConversion.h"
#include "imaging/StandardPalettes.h"

namespace varnoset {

namespace {

using Byte = std::uint8_t;

QImage::Format qtFormatFor(PixelFormat format) {
    switch (format) {
        case PixelFormat::Indexed1:
            return QImage::Format_Mono;
        case PixelFormat::Indexed4:
        case PixelFormat::Indexed8:
            return QImage::Format_Indexed8;
        case PixelFormat::Rgb555:
            return QImage::Format_RGB555;
        case PixelFormat::Rgb565:
            return QImage::Format_RGB16;
        case PixelFormat::Rgb24:
            return QImage::Format_BGR888;
        case PixelFormat::Rgb32:
        case PixelFormat::Device:
            return QImage::Format_RGB32;
    }
    return QImage::Format_RGB32;
}

std::vector<ColorValue> standardPaletteFor(PixelFormat format) {
    switch (format) {
        case PixelFormat::Indexed1:
            return monochromePalette();
        case PixelFormat::Indexed4:
            return standardPalette16();
        default:
            return halftonePalette256();
    }
}

QImage blankImage(int width, int height, QImage::Format format) {
    QImage image(width, height, format);
    if (image.isNull()) {
        throw Error("Out of memory");
    }
    return image;
}

// 24-bit rows from any image, through opaque RGB32.
PixelRows rowsFromImage(const QImage& image) {
    const bool direct32 =
        image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
    const QImage rgb = direct32 ? image : image.convertToFormat(QImage::Format_RGB32);
    if (rgb.isNull()) {
        throw Error("Out of memory");
    }
    PixelRows rows;
    rows.width = rgb.width();
    rows.height = rgb.height();
    rows.bytes.resize(static_cast<std::size_t>(rows.height) *
                      static_cast<std::size_t>(rows.stride()));
    for (int y = 0; y < rows.height; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        Byte* out = rows.row(rows.height - 1 - y);
        for (int x = 0; x < rows.width; ++x) {
            out[3 * x] = static_cast<Byte>(qBlue(in[x]));
            out[3 * x + 1] = static_cast<Byte>(qGreen(in[x]));
            out[3 * x + 2] = static_cast<Byte>(qRed(in[x]));
        }
    }
    return rows;
}

}  // namespace

QImage toQImage(const Picture& picture) {
    if (picture.isEmpty()) {
        return {};
    }
    const int width = picture.width();
    const int height = picture.height();
    const PixelFormat format = picture.format();
    QImage image = blankImage(width, height, qtFormatFor(format));

    for (int y = 0; y < height; ++y) {
        const Byte* in = picture.scanLine(y);
        Byte* out = image.scanLine(y);
        switch (format) {
            case PixelFormat::Indexed4:
                for (int x = 0; x < width; ++x) {
                    out[x] = static_cast<Byte>(indexAt(in, x, 4));
                }
                break;
            case PixelFormat::Rgb555:
            case PixelFormat::Rgb565: {
                auto* words = reinterpret_cast<quint16*>(out);
                for (int x = 0; x < width; ++x) {
                    words[x] = static_cast<quint16>(in[2 * x] | (in[2 * x + 1] << 8));
                }
                break;
            }
            case PixelFormat::Rgb32:
            case PixelFormat::Device: {
                auto* pixels = reinterpret_cast<QRgb*>(out);
                for (int x = 0; x < width; ++x) {
                    pixels[x] = qRgb(in[4 * x + 2], in[4 * x + 1], in[4 * x]);
                }
                break;
            }
            default:  // Indexed1, Indexed8 and Rgb24 share Qt's layout
                std::memcpy(out, in,
                            (static_cast<std::size_t>(width) *
                                 static_cast<std::size_t>(storageBits(format)) +
                             7) /
                                8);
        }
    }

    if (isIndexed(format)) {
        // Indices past the palette's end read as black, as they do in the picture.
        QList<QRgb> table(paletteSize(format), qRgb(0, 0, 0));
        const auto& palette = picture.palette();
        for (std::size_t i = 0; i < palette.size(); ++i) {
            table[static_cast<qsizetype>(i)] =
                qRgb(redOf(palette[i]), greenOf(palette[i]), blueOf(palette[i]));
        }
        image.setColorTable(table);
    }
    return image;
}

Picture fromQImage(const QImage& image, PixelFormat format) {
    if (image.isNull() || image.width() == 0 || image.height() == 0) {
        return Picture(0, 0, format);
    }
    if (!isIndexed(format)) {
        return pictureFromRows(rowsFromImage(image), format);
    }

    const QImage indexed = image.format() == QImage::Format_MonoLSB
                               ? image.convertToFormat(QImage::Format_Mono)
                               : image;
    const bool keepsIndices =
        (indexed.format() == QImage::Format_Mono || indexed.format() == QImage::Format_Indexed8) &&
        indexed.colorCount() > 0 && indexed.colorCount() <= paletteSize(format);
    if (!keepsIndices) {
        return pictureFromRows(rowsFromImage(image), format, standardPaletteFor(format));
    }

    std::vector<ColorValue> palette;
    for (const QRgb c : indexed.colorTable()) {
        palette.push_back(rgbValue(qRed(c), qGreen(c), qBlue(c)));
    }
    Picture picture(indexed.width(), indexed.height(), format, std::move(palette));
    const int inBits = indexed.format() == QImage::Format_Mono ? 1 : 8;
    const int outBits = storageBits(format);
    for (int y = 0; y < picture.height(); ++y) {
        const Byte* in = indexed.constScanLine(y);
        Byte* out = picture.scanLine(y);
        for (int x = 0; x < picture.width(); ++x) {
            setIndexAt(out, x, outBits, indexAt(in, x, inBits));
        }
    }
    return picture;
}

}  // namespace varnoset
