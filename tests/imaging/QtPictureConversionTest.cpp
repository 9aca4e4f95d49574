#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include <QImage>

#include "imaging/PixelConversion.h"
#include "imaging/QtPictureConversion.h"
#include "imaging/StandardPalettes.h"

using namespace varnoset;

namespace {

constexpr PixelFormat kAllFormats[] = {
    PixelFormat::Indexed1, PixelFormat::Indexed4, PixelFormat::Indexed8, PixelFormat::Rgb555,
    PixelFormat::Rgb565,   PixelFormat::Rgb24,    PixelFormat::Rgb32,    PixelFormat::Device,
};

// Random colours stored in the format (a full palette for the palette formats).
Picture randomPicture(PixelFormat format, int width, int height, unsigned seed) {
    std::mt19937 random(seed);
    PixelRows rows;
    rows.width = width;
    rows.height = height;
    rows.bytes.resize(static_cast<std::size_t>(rows.stride() * height));
    for (auto& byte : rows.bytes) {
        byte = static_cast<std::uint8_t>(random());
    }
    std::vector<ColorValue> palette;
    for (int i = 0; i < paletteSize(format); ++i) {
        palette.push_back(random() & 0xFFFFFF);
    }
    return pictureFromRows(rows, format, palette);
}

}  // namespace

TEST(QtPictureConversion, EveryFormatShowsItsColoursAndComesBackUnchanged) {
    for (const PixelFormat format : kAllFormats) {
        for (const int width : {1, 3, 9}) {
            const Picture picture = randomPicture(format, width, 4, static_cast<unsigned>(width));
            const QImage image = toQImage(picture);
            ASSERT_FALSE(image.isNull());
            EXPECT_EQ(image.size(), QSize(width, 4));
            if (isIndexed(format)) {
                EXPECT_EQ(image.colorCount(), paletteSize(format));
            }
            const PixelRows rows = readPixelRows(picture);
            for (int y = 0; y < 4; ++y) {
                for (int x = 0; x < width; ++x) {
                    const std::uint8_t* p = rows.row(3 - y) + 3 * x;
                    ASSERT_EQ(image.pixel(x, y), qRgb(p[2], p[1], p[0]))
                        << "format " << static_cast<int>(format) << " at " << x << "," << y;
                }
            }
            const Picture back = fromQImage(image, format);
            EXPECT_EQ(back.format(), format);
            EXPECT_EQ(back.palette(), picture.palette());
            EXPECT_TRUE(std::ranges::equal(back.bits(), picture.bits()))
                << "format " << static_cast<int>(format) << " width " << width;
        }
    }
    EXPECT_TRUE(toQImage(Picture()).isNull());
    EXPECT_TRUE(fromQImage(QImage(), PixelFormat::Rgb24).isEmpty());
}

TEST(QtPictureConversion, ReadsWhatTheClipboardHandsOut) {
    // A translucent ARGB image: the colour is kept, the alpha dropped.
    QImage argb(2, 1, QImage::Format_ARGB32);
    argb.setPixel(0, 0, qRgba(10, 20, 30, 255));
    argb.setPixel(1, 0, qRgba(200, 100, 50, 128));
    for (const PixelFormat format : {PixelFormat::Rgb24, PixelFormat::Device}) {
        const PixelRows rows = readPixelRows(fromQImage(argb, format));
        EXPECT_EQ(rows.row(0)[0], 30);
        EXPECT_EQ(rows.row(0)[2], 10);
        EXPECT_EQ(rows.row(0)[3], 50);
        EXPECT_EQ(rows.row(0)[5], 200);
    }

    // A true-colour image into 16 colours takes the nearest standard colours.
    QImage rgb(2, 1, QImage::Format_RGB888);
    rgb.setPixel(0, 0, qRgb(250, 3, 3));
    rgb.setPixel(1, 0, qRgb(120, 130, 125));
    const Picture sixteen = fromQImage(rgb, PixelFormat::Indexed4);
    EXPECT_EQ(sixteen.palette(), standardPalette16());
    EXPECT_EQ(sixteen.scanLine(0)[0], 0x97);  // red, grey

    // An indexed image whose table fits keeps its indices and table, also from LSB-first mono.
    QImage mono(10, 1, QImage::Format_MonoLSB);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mono.fill(0);
    mono.setPixel(0, 0, 1);
    mono.setPixel(9, 0, 1);
    const Picture bits = fromQImage(mono, PixelFormat::Indexed1);
    EXPECT_EQ(bits.palette(), monochromePalette());
    EXPECT_EQ(bits.scanLine(0)[0], 0x80);
    EXPECT_EQ(bits.scanLine(0)[1], 0x40);

    QImage many(1, 1, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 40; ++i) {
        table.push_back(qRgb(i, 0, 255));
    }
    many.setColorTable(table);
    many.setPixel(0, 0, 39);
    EXPECT_EQ(fromQImage(many, PixelFormat::Indexed8).scanLine(0)[0], 39);
    EXPECT_EQ(fromQImage(many, PixelFormat::Indexed8).palette().size(), 40u);
    const Picture four = fromQImage(many, PixelFormat::Indexed4);  // 40 colours do not fit
    EXPECT_EQ(four.palette(), standardPalette16());
    EXPECT_EQ(four.scanLine(0)[0] >> 4, 12);  // (39, 0, 255) is nearest to blue
}
