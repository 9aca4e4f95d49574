#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <cstring>

#include "core/Error.h"
#include "output/BmpReader.h"
#include "output/BmpWriter.h"
#include "output/InputFile.h"
#include "output/PictureFiles.h"
#include "tests/output/PeerTools.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/SamePixels.h"
#include "tests/support/TestPictures.h"

namespace varnoset {
namespace {

using test::bytesOf;
using test::rgbBytes;
using test::runTool;
using test::toByteArray;
using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    put16(b, at, v);
    put16(b, at + 2, v >> 16);
}
std::uint32_t get32(const Bytes& b, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        v |= static_cast<std::uint32_t>(b[at + i]) << (8 * i);
    }
    return v;
}

// A BMP with a 40-byte header around the given palette and pixel bytes.
Bytes handMade(int width, int height, int bits, std::uint32_t compression,
               const std::vector<ColorValue>& palette, const Bytes& pixels) {
    const std::size_t offset = 54 + palette.size() * 4;
    Bytes b(offset + pixels.size());
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, static_cast<std::uint32_t>(b.size()));
    put32(b, 10, static_cast<std::uint32_t>(offset));
    put32(b, 14, 40);
    put32(b, 18, static_cast<std::uint32_t>(width));
    put32(b, 22, static_cast<std::uint32_t>(height));
    put16(b, 26, 1);
    put16(b, 28, static_cast<std::uint32_t>(bits));
    put32(b, 30, compression);
    put32(b, 46, static_cast<std::uint32_t>(palette.size()));
    for (std::size_t i = 0; i < palette.size(); ++i) {
        b[54 + 4 * i] = static_cast<std::uint8_t>(blueOf(palette[i]));
        b[55 + 4 * i] = static_cast<std::uint8_t>(greenOf(palette[i]));
        b[56 + 4 * i] = static_cast<std::uint8_t>(redOf(palette[i]));
    }
    std::copy(pixels.begin(), pixels.end(), b.begin() + static_cast<std::ptrdiff_t>(offset));
    return b;
}

void expectInvalid(const Bytes& file, const std::string& what) {
    try {
        readBmp(file);
        ADD_FAILURE() << what << ": accepted";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Bitmap image is not valid") << what;
    }
}

struct FormatCase {
    PixelFormat format;
    int paletteEntries;
    PixelFormat readBack;
    int fileBits;
    std::uint32_t compression;
};

TEST(BmpCodec, WritesEveryFormatAsItIsAndReadsItBack) {
    const FormatCase cases[] = {
        {PixelFormat::Indexed1, 0, PixelFormat::Indexed1, 1, 0},
        {PixelFormat::Indexed4, 0, PixelFormat::Indexed4, 4, 0},
        {PixelFormat::Indexed4, 5, PixelFormat::Indexed4, 4, 0},
        {PixelFormat::Indexed8, 0, PixelFormat::Indexed8, 8, 0},
        {PixelFormat::Indexed8, 236, PixelFormat::Indexed8, 8, 0},
        {PixelFormat::Rgb555, 0, PixelFormat::Rgb555, 16, 0},
        {PixelFormat::Rgb565, 0, PixelFormat::Rgb565, 16, 3},
        {PixelFormat::Rgb24, 0, PixelFormat::Rgb24, 24, 0},
        {PixelFormat::Rgb32, 0, PixelFormat::Rgb32, 32, 0},
        {PixelFormat::Device, 0, PixelFormat::Rgb32, 32, 0},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    unsigned n = 0;
    for (const FormatCase& c : cases) {
        SCOPED_TRACE("format " + std::to_string(static_cast<int>(c.format)) + " palette " +
                     std::to_string(c.paletteEntries));
        const Picture picture = test::randomPicture(13, 7, c.format, 42 + n, c.paletteEntries);
        const Bytes file = writeBmp(picture);
        EXPECT_EQ(get32(file, 14), 40u);
        EXPECT_EQ(file[28], c.fileBits);
        EXPECT_EQ(get32(file, 30), c.compression);
        if (c.compression == 3) {
            EXPECT_EQ(get32(file, 54), 0xF800u);
            EXPECT_EQ(get32(file, 58), 0x07E0u);
            EXPECT_EQ(get32(file, 62), 0x001Fu);
        }
        const Picture back = readBmp(file);
        EXPECT_EQ(back.format(), c.readBack);
        EXPECT_TRUE(test::samePixels(picture, back));

        // Another program reads the same colours from the file.
        const QString path = dir.filePath(QStringLiteral("w%1.bmp").arg(n++));
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(toByteArray(file));
        out.close();
        EXPECT_EQ(runTool(QStringLiteral("convert"), {path, "-depth", "8", "rgb:-"}),
                  rgbBytes(picture));
    }
    EXPECT_THROW(writeBmp(Picture()), Error);
}

TEST(BmpCodec, SavesAndLoadsFilesOfManyRows) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // More rows than one gathered read or write takes.
    for (const PixelFormat format : {PixelFormat::Indexed8, PixelFormat::Rgb32}) {
        const Picture tall = test::randomPicture(3, 2500, format, 11);
        const QString path = dir.filePath(QStringLiteral("tall.bmp"));
        savePictureFile(tall, path, PictureFileType::Bmp);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), toByteArray(writeBmp(tall)));
        EXPECT_TRUE(test::samePixels(loadPictureFile(path, PictureFileType::Bmp, 32), tall));
    }
}

struct MadeByImageMagick {
    const char* name;
    QStringList options;
    QString coder;
    PixelFormat format;
    bool lossless;  // the pixels are the source's own
};

TEST(BmpCodec, ReadsWhatImageMagickWritesAsImageMagickDoes) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // The source: a gradient with a checker, odd-sized so every row is padded.
    const Picture source = test::patternPicture(37, 23);
    const QByteArray sourceRgb = rgbBytes(source);
    const QString sourcePath = dir.filePath(QStringLiteral("source.ppm"));
    {
        QFile ppm(sourcePath);
        ASSERT_TRUE(ppm.open(QIODevice::WriteOnly));
        ppm.write("P6\n37 23\n255\n");
        ppm.write(sourceRgb);
    }
    const MadeByImageMagick cases[] = {
        {"Windows 3 header, 24 bits", {}, "BMP3", PixelFormat::Rgb24, true},
        {"OS/2 core header, 24 bits", {}, "BMP2", PixelFormat::Rgb24, true},
        {"version 5 header, 24 bits", {}, "BMP", PixelFormat::Rgb24, true},
        {"8-bit palette, RLE8", {"-type", "Palette"}, "BMP3", PixelFormat::Indexed8, false},
        {"8-bit palette",
         {"-type", "Palette", "-compress", "None"},
         "BMP3",
         PixelFormat::Indexed8,
         false},
        {"16 colours, RLE8",
         {"-colors", "16", "-compress", "RLE"},
         "BMP3",
         PixelFormat::Indexed8,
         false},
        {"4-bit palette",
         {"-colors", "16", "-type", "Palette", "-compress", "None"},
         "BMP3",
         PixelFormat::Indexed4,
         false},
        {"OS/2 core header, 8-bit palette",
         {"-type", "Palette"},
         "BMP2",
         PixelFormat::Indexed8,
         false},
        {"1 bit", {"-monochrome"}, "BMP3", PixelFormat::Indexed1, false},
        {"16 bits 5-6-5", {"-define", "bmp:subtype=RGB565"}, "BMP", PixelFormat::Rgb565, false},
        {"16 bits 5-5-5 with masks",
         {"-define", "bmp:subtype=RGB555"},
         "BMP",
         PixelFormat::Rgb555,
         false},
        {"32 bits with masks", {"-alpha", "on"}, "BMP", PixelFormat::Device, true},
    };
    int n = 0;
    for (const MadeByImageMagick& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QStringLiteral("im%1.bmp").arg(n++));
        runTool(QStringLiteral("convert"),
                QStringList{sourcePath} + c.options + QStringList{c.coder + ":" + path});
        QFile in(path);
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        const QByteArray file = in.readAll();
        Picture picture;
        try {
            picture = readBmp(bytesOf(file));
        } catch (const Error& e) {
            ADD_FAILURE() << e.what();
            continue;
        }
        EXPECT_TRUE(test::samePixels(readBmp(InputFile(path)), picture));  // read from disk
        EXPECT_EQ(picture.format(), c.format);
        EXPECT_EQ(picture.width(), 37);
        EXPECT_EQ(picture.height(), 23);
        EXPECT_EQ(rgbBytes(picture),
                  runTool(QStringLiteral("convert"), {path, "-depth", "8", "rgb:-"}));
        if (c.lossless) {
            EXPECT_EQ(rgbBytes(picture), sourceRgb);
        }
    }
}

TEST(BmpCodec, DecodesRunLengthTopDownAndShortPalettes) {
    const std::vector<ColorValue> palette{rgbValue(0, 0, 0), rgbValue(255, 0, 0),
                                          rgbValue(0, 255, 0), rgbValue(0, 0, 255)};
    // RLE8, 5 x 3, bottom line first: a run, literals with padding, a jump, end of line/bitmap.
    const Bytes rle8 = handMade(5, 3, 8, 1, palette,
                                {3, 1,              // bottom: 1 1 1
                                 0, 3, 2, 3, 2, 0,  // literal 2 3 2, padded
                                 0, 0,              // end of line
                                 0, 2, 1, 1,        // jump right 1, up 1: top line, x = 1
                                 2, 3,              // top: _ 3 3
                                 0, 1});            // end of bitmap
    const Picture p8 = readBmp(rle8);
    ASSERT_EQ(p8.format(), PixelFormat::Indexed8);
    const std::uint8_t top8[] = {0, 3, 3, 0, 0};
    const std::uint8_t middle8[] = {0, 0, 0, 0, 0};
    const std::uint8_t bottom8[] = {1, 1, 1, 2, 3};
    EXPECT_EQ(std::memcmp(p8.scanLine(0), top8, 5), 0);
    EXPECT_EQ(std::memcmp(p8.scanLine(1), middle8, 5), 0);
    EXPECT_EQ(std::memcmp(p8.scanLine(2), bottom8, 5), 0);
    EXPECT_EQ(p8.palette(), palette);

    // RLE4, 7 x 1: a run alternating two indices, an odd literal with its padding.
    const Bytes rle4 = handMade(7, 1, 4, 2, palette, {4, 0x12, 0, 3, 0x32, 0x10, 0, 1});
    const Picture p4 = readBmp(rle4);
    ASSERT_EQ(p4.format(), PixelFormat::Indexed4);
    EXPECT_EQ(p4.scanLine(0)[0], 0x12);
    EXPECT_EQ(p4.scanLine(0)[1], 0x12);
    EXPECT_EQ(p4.scanLine(0)[2], 0x32);
    EXPECT_EQ(p4.scanLine(0)[3] & 0xF0, 0x10);

    // Top-down rows (negative height) give the same picture as bottom-up ones.
    const Picture picture = test::randomPicture(5, 4, PixelFormat::Rgb24, 7);
    Bytes topDown = writeBmp(picture);
    put32(topDown, 22, static_cast<std::uint32_t>(-4));
    const std::ptrdiff_t stride = 16;
    for (std::ptrdiff_t r = 0; r < 2; ++r) {
        std::swap_ranges(topDown.begin() + 54 + r * stride, topDown.begin() + 54 + (r + 1) * stride,
                         topDown.begin() + 54 + (3 - r) * stride);
    }
    EXPECT_TRUE(test::samePixels(readBmp(topDown), picture));

    // A core header whose pixels start after three entries has a three-entry palette.
    Bytes core(26 + 9 + 4, 0);
    core[0] = 'B';
    core[1] = 'M';
    put32(core, 10, 26 + 9);
    put32(core, 14, 12);
    put16(core, 18, 2);
    put16(core, 20, 1);
    put16(core, 22, 1);
    put16(core, 24, 8);
    core[26 + 3 * 2 + 2] = 200;  // entry 2: red 200
    core[35] = 2;
    core[36] = 1;
    const Picture small = readBmp(core);
    ASSERT_EQ(small.palette().size(), 3u);
    EXPECT_EQ(small.palette()[2], rgbValue(200, 0, 0));
    EXPECT_EQ(small.scanLine(0)[0], 2);
}

TEST(BmpCodec, RefusesDamagedAndOversizedFiles) {
    const Bytes pal8 = writeBmp(test::randomPicture(9, 5, PixelFormat::Indexed8, 1));
    const Bytes rgb24 = writeBmp(test::randomPicture(9, 5, PixelFormat::Rgb24, 2));
    const Bytes rgb565 = writeBmp(test::randomPicture(9, 5, PixelFormat::Rgb565, 3));
    const auto patched = [](Bytes b, std::size_t at, std::uint32_t v, int size = 4) {
        if (size == 2) {
            put16(b, at, v);
        } else {
            put32(b, at, v);
        }
        return b;
    };

    expectInvalid(patched(rgb24, 0, 'B' | ('A' << 8), 2), "signature BA");
    expectInvalid(patched(rgb24, 14, 64), "header size 64");
    expectInvalid(patched(rgb24, 14, 0xFFFFFFFF), "header size past the file");
    expectInvalid(patched(rgb24, 18, 0), "width 0");
    expectInvalid(patched(rgb24, 18, static_cast<std::uint32_t>(-9)), "negative width");
    expectInvalid(patched(rgb24, 22, 0), "height 0");
    expectInvalid(patched(rgb24, 22, 0x80000000u), "height -2^31");
    expectInvalid(patched(rgb24, 18, 32768), "width 32768");
    expectInvalid(patched(rgb24, 22, 40000), "height 40000");
    expectInvalid(patched(patched(rgb24, 18, 32767), 22, 32767), "32767 x 32767 x 24 bits");
    expectInvalid(patched(rgb24, 28, 2, 2), "2 bits");
    expectInvalid(patched(rgb24, 28, 64, 2), "64 bits");
    expectInvalid(patched(rgb24, 30, 4), "embedded JPEG");
    expectInvalid(patched(rgb24, 30, 5), "embedded PNG");
    expectInvalid(patched(rgb24, 30, 1), "RLE8 at 24 bits");
    expectInvalid(patched(rgb24, 30, 3), "bit masks at 24 bits");
    expectInvalid(patched(pal8, 30, 2), "RLE4 at 8 bits");
    expectInvalid(patched(rgb24, 26, 2, 2), "2 planes");
    expectInvalid(patched(rgb24, 26, 0, 2), "no plane");
    expectInvalid(patched(pal8, 46, 257), "257 colours at 8 bits");
    const Bytes pal4 = writeBmp(test::randomPicture(3, 3, PixelFormat::Indexed4, 3));
    expectInvalid(patched(pal4, 46, 0xFFFFFFFF), "2^32 - 1 colours at 4 bits");
    const Bytes topDownRle = handMade(4, -2, 8, 1, {0, 1}, {4, 1, 0, 0, 2, 0, 2, 1, 0, 1});
    expectInvalid(topDownRle, "RLE8 top-down");
    expectInvalid(patched(rgb24, 10, 0xFFFFFF00u), "pixels past the end");
    expectInvalid(patched(rgb24, 10, 20), "pixels inside the header");
    // Pixels that start inside the palette's place leave room for one entry only.
    EXPECT_EQ(readBmp(patched(pal8, 10, 58)).palette().size(), 1u);
    expectInvalid(patched(rgb565, 54, 0xF0F0), "mask with a gap");
    expectInvalid(patched(rgb565, 54, 0x1F0000), "mask past 16 bits");

    // Every file cut short anywhere is refused.
    const Bytes rle = handMade(4, 2, 8, 1, {0, 1}, {4, 1, 0, 0, 2, 0, 2, 1, 0, 1});
    ASSERT_NO_THROW(readBmp(rle));
    for (const Bytes* whole : {&pal8, &rgb24, &rgb565, &rle}) {
        for (std::size_t size = 0; size < whole->size(); ++size) {
            expectInvalid(
                Bytes(whole->begin(), whole->begin() + static_cast<std::ptrdiff_t>(size)),
                "cut to " + std::to_string(size) + " of " + std::to_string(whole->size()));
        }
    }

    // Read from disk, too, every cut is refused.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString cutPath = dir.filePath(QStringLiteral("cut.bmp"));
    for (const Bytes* whole : {&pal8, &rgb24}) {
        for (std::size_t size = 0; size < whole->size(); ++size) {
            QFile cut(cutPath);
            ASSERT_TRUE(cut.open(QIODevice::WriteOnly | QIODevice::Truncate));
            cut.write(reinterpret_cast<const char*>(whole->data()), static_cast<qint64>(size));
            cut.close();
            try {
                readBmp(InputFile(cutPath));
                ADD_FAILURE() << "cut to " << size << " accepted from disk";
            } catch (const Error& e) {
                EXPECT_STREQ(e.what(), "Bitmap image is not valid");
            }
        }
    }

    // Runs past the row end lose their extra pixels (writers encode the padding so); lines and
    // jumps that leave the 4 x 2 picture are refused.
    const std::vector<ColorValue> two{0, 0xFFFFFF};
    const Picture clipped =
        readBmp(handMade(4, 2, 8, 1, two, {6, 1, 0, 0, 0, 5, 1, 0, 1, 0, 1, 0, 0, 1}));
    const std::uint8_t bottom[] = {1, 1, 1, 1};
    const std::uint8_t top[] = {1, 0, 1, 0};
    EXPECT_EQ(std::memcmp(clipped.scanLine(1), bottom, 4), 0);
    EXPECT_EQ(std::memcmp(clipped.scanLine(0), top, 4), 0);
    expectInvalid(handMade(4, 2, 8, 1, two, {0, 2, 5, 0, 0, 1}), "jump past the row");
    expectInvalid(handMade(4, 2, 8, 1, two, {0, 2, 0, 3, 0, 1}), "jump past the top");
    expectInvalid(handMade(4, 2, 8, 1, two, {0, 0, 0, 0, 1, 1, 0, 1}), "a third line");
    expectInvalid(handMade(4, 2, 8, 1, two, {4, 1, 0, 0}), "no end of bitmap");
}

}  // namespace
}  // namespace varnoset
