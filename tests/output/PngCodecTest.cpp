#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>

#include "core/Error.h"
#include "imaging/QtPictureConversion.h"
#include "output/PngReader.h"
#include "output/PngWriter.h"
#include "tests/output/PeerTools.h"
#include "tests/support/SamePixels.h"
#include "tests/support/TestPictures.h"

namespace varnoset {
namespace {

using test::bytesOf;
using test::rgbBytes;
using test::toByteArray;
using Bytes = std::vector<std::uint8_t>;

std::string errorOf(const Bytes& file) {
    try {
        readPng(file);
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) {
        b[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
    }
}

TEST(PngCodec, EachDepthIsWrittenAsItsKindOfPngAndReadBack) {
    struct Case {
        PixelFormat format;
        int colourType;  // in the header: 3 indexed, 2 RGB
        int bitDepth;
        PixelFormat readBack;
    };
    using enum PixelFormat;
    const Case cases[] = {
        {Indexed1, 3, 1, Indexed1}, {Indexed4, 3, 4, Indexed4}, {Indexed8, 3, 8, Indexed8},
        {Rgb555, 2, 8, Rgb24},      {Rgb565, 2, 8, Rgb24},      {Rgb24, 2, 8, Rgb24},
        {Rgb32, 2, 8, Rgb24},       {Device, 2, 8, Rgb24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.format));
        const Picture picture = test::randomPicture(13, 7, c.format, 5);
        const Bytes png = writePng(picture);
        EXPECT_EQ(png[24], c.bitDepth);
        EXPECT_EQ(png[25], c.colourType);

        const Picture back = readPng(png);
        EXPECT_EQ(back.format(), c.readBack);
        EXPECT_EQ(rgbBytes(back), rgbBytes(picture));
        if (isIndexed(c.format)) {
            EXPECT_TRUE(test::samePixels(back, picture));  // indices and palette as they were
        }
        // Another decoder sees the same colours.
        const QImage seen = QImage::fromData(toByteArray(png), "PNG");
        EXPECT_EQ(rgbBytes(fromQImage(seen, Rgb24)), rgbBytes(picture));
    }
    EXPECT_THROW(writePng(Picture(0, 0, PixelFormat::Rgb24)), Error);
}

// Every kind of PNG in the fuzzing seeds (palette of 1, 2, 4 and 8 bits, grey of 2, 8 and 16
// bits, with alpha, 16-bit colour, interlaced) reads with the colours ImageMagick reads, give or
// take the rounding of 16-bit samples; alpha is dropped and the colours stay as stored, as the
// clipboard's pictures are read.
TEST(PngCodec, ReadsEveryKindWithTheColoursImageMagickReads) {
    const QDir seeds(QStringLiteral(VARNOSET_FUZZ_CORPUS "/png"));
    const QStringList names = seeds.entryList({QStringLiteral("seed-*.png")}, QDir::Files);
    EXPECT_GE(names.size(), 13);
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        QFile file(seeds.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray read = rgbBytes(readPng(bytesOf(file.readAll())));
        const QByteArray peer =
            test::runTool(QStringLiteral("convert"),
                          {seeds.filePath(name), "-alpha", "off", "-depth", "8", "rgb:-"});
        ASSERT_EQ(read.size(), peer.size());
        for (qsizetype i = 0; i < read.size(); ++i) {
            ASSERT_LE(std::abs(std::uint8_t(read[i]) - std::uint8_t(peer[i])), 1) << i;
        }
    }
}

TEST(PngCodec, RefusesTruncatedLyingAndOversizedFilesBeforeDecoding) {
    const Bytes good = writePng(test::randomPicture(40, 30, PixelFormat::Rgb24, 2));
    const std::string truncated = "PNG image is truncated: ";
    for (const std::size_t cut : {good.size() - 1, good.size() - 12, good.size() / 2, 30ul}) {
        const std::string error = errorOf(Bytes(good.begin(), good.begin() + long(cut)));
        EXPECT_TRUE(error.starts_with(truncated)) << cut << ": " << error;
    }

    // Headers that claim more than the image data could ever unpack to, or more than a picture
    // may hold: refused before any pixel is decoded (their checksum is not even looked at).
    const auto claiming = [&good](std::uint32_t width, std::uint32_t height) {
        Bytes file = good;
        put32(file, 16, width);
        put32(file, 20, height);
        return errorOf(file);
    };
    EXPECT_EQ(claiming(10000, 10000),
              truncated + "its image data cannot hold 10000 x 10000 pixels");
    EXPECT_EQ(claiming(40000, 1), "PNG image is too large: 40000 x 1 pixels");
    EXPECT_EQ(claiming(32767, 32767), "PNG image is too large: 32767 x 32767 pixels");

    Bytes damaged = good;
    damaged[good.size() - 30] ^= 0x55;  // inside the image data: its checksum fails
    EXPECT_EQ(errorOf(damaged).rfind("PNG image is not valid: ", 0), 0u);
    EXPECT_EQ(errorOf(Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0}),
              "PNG image is not valid: no PNG signature");
}

}  // namespace
}  // namespace varnoset
