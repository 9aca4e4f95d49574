#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <set>

#include "core/Error.h"
#include "output/BmpReader.h"
#include "output/JpegReader.h"
#include "output/JpegWriter.h"
#include "tests/output/PeerTools.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/TestPictures.h"

#include <jerror.h>
#include <jpeglib.h>

namespace varnoset {
namespace {

using test::bytesOf;
using test::rgbBytes;
using test::runTool;
using test::toByteArray;
using Bytes = std::vector<std::uint8_t>;

constexpr int kTrueColour = 24;
constexpr int kPaletteDisplay = 8;

std::string codecError(int code) {
    return "JPEG error #" + std::to_string(code);
}

std::string errorOf(const Bytes& file, int displayBits = kTrueColour) {
    try {
        readJpeg(file, displayBits);
    } catch (const Error& e) {
        return e.what();
    }
    return "accepted";
}

// The position of the first marker 0xFF code after the start of the file, or 0.
std::size_t markerAt(const Bytes& file, std::uint8_t code) {
    for (std::size_t i = 2; i + 1 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == code) {
            return i;
        }
    }
    return 0;
}

QString saved(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

TEST(JpegCodec, SavesWhatCjpegWritesAtQuality100AndLoadsWhatDjpegDecodes) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const Picture picture = test::patternPicture(101, 67);
    const Bytes jpeg = writeJpeg(picture);

    // Baseline (SOF0), no progressive frame, every quantisation step 1 (quality 100).
    EXPECT_NE(markerAt(jpeg, 0xC0), 0u);
    EXPECT_EQ(markerAt(jpeg, 0xC2), 0u);
    const std::size_t dqt = markerAt(jpeg, 0xDB);
    ASSERT_NE(dqt, 0u);
    const std::size_t tableEnd = dqt + 2 + ((std::size_t{jpeg[dqt + 2]} << 8) | jpeg[dqt + 3]);
    for (std::size_t i = dqt + 4; i < tableEnd; i += 65) {
        for (std::size_t k = 1; k <= 64; ++k) {
            EXPECT_EQ(jpeg[i + k], 1) << "step " << k;
        }
    }

    // The same settings as cjpeg's defaults at quality 100: byte for byte the same file.
    const QByteArray cjpeg =
        runTool(QStringLiteral("cjpeg"), {"-quality", "100"}, test::ppmOf(picture));
    EXPECT_EQ(toByteArray(jpeg), cjpeg);

    // Loading gives djpeg's pixels (accurate transform, smooth upsampling) in 24 bits.
    const Picture loaded = readJpeg(jpeg, kTrueColour);
    EXPECT_EQ(loaded.format(), PixelFormat::Rgb24);
    EXPECT_EQ(loaded.width(), 101);
    EXPECT_EQ(loaded.height(), 67);
    const QString path = saved(dir, QStringLiteral("a.jpg"), toByteArray(jpeg));
    EXPECT_EQ(rgbBytes(loaded), test::ppmPixels(runTool(QStringLiteral("djpeg"), {"-ppm", path})));
    const auto distance = test::colourDistance(loaded, picture);
    EXPECT_LT(distance.mean, 3.0);  // 4:2:0 chroma loses some of the checker's edges

    // A grey-scale file loads as colour.
    const QString grey = dir.filePath(QStringLiteral("grey.jpg"));
    runTool(QStringLiteral("convert"), {path, "-colorspace", "Gray", grey});
    QFile greyFile(grey);
    ASSERT_TRUE(greyFile.open(QIODevice::ReadOnly));
    const Picture greyPicture = readJpeg(bytesOf(greyFile.readAll()), kTrueColour);
    EXPECT_EQ(greyPicture.format(), PixelFormat::Rgb24);
    const std::uint8_t* pixel = greyPicture.scanLine(10) + 3 * 50;
    EXPECT_EQ(pixel[0], pixel[1]);
    EXPECT_EQ(pixel[1], pixel[2]);
}

TEST(JpegCodec, SavesTheColoursOfEveryPixelFormat) {
    const Picture rgb = test::patternPicture(33, 17);
    for (const PixelFormat format :
         {PixelFormat::Indexed1, PixelFormat::Indexed4, PixelFormat::Indexed8, PixelFormat::Rgb555,
          PixelFormat::Rgb565, PixelFormat::Rgb32, PixelFormat::Device}) {
        SCOPED_TRACE(static_cast<int>(format));
        const Picture picture = test::randomPicture(33, 17, format, 5);
        const Picture asRgb = pictureFromRows(readPixelRows(picture), PixelFormat::Rgb24);
        EXPECT_EQ(writeJpeg(picture), writeJpeg(asRgb));
    }
    try {
        writeJpeg(Picture());
        ADD_FAILURE() << "an empty picture was saved";
    } catch (const Error& e) {
        EXPECT_EQ(e.what(), codecError(JERR_EMPTY_IMAGE));
    }
}

TEST(JpegCodec, QuantisesTo236ColoursForAPaletteDisplay) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const Picture picture = test::patternPicture(90, 70);
    const Bytes jpeg = writeJpeg(picture);
    const Picture indexed = readJpeg(jpeg, kPaletteDisplay);
    ASSERT_EQ(indexed.format(), PixelFormat::Indexed8);
    EXPECT_LE(indexed.palette().size(), 236u);
    EXPECT_GT(indexed.palette().size(), 100u);
    for (int y = 0; y < indexed.height(); ++y) {
        for (int x = 0; x < indexed.width(); ++x) {
            ASSERT_LT(indexed.scanLine(y)[x], indexed.palette().size());
        }
    }
    // Two-pass quantisation with Floyd-Steinberg dithering, as djpeg does by default.
    const QString path = saved(dir, QStringLiteral("q.jpg"), toByteArray(jpeg));
    const QByteArray djpeg = runTool(QStringLiteral("djpeg"), {"-colors", "236", "-bmp", path});
    const Picture reference = readBmp(bytesOf(djpeg));
    EXPECT_EQ(rgbBytes(indexed), rgbBytes(reference));
    EXPECT_LT(test::colourDistance(indexed, readJpeg(jpeg, kTrueColour)).mean, 8.0);
    // A true-colour display keeps 24 bits.
    EXPECT_EQ(readJpeg(jpeg, 32).format(), PixelFormat::Rgb24);
    EXPECT_EQ(readJpeg(jpeg, 16).format(), PixelFormat::Rgb24);
}

TEST(JpegCodec, DamagedOrOversizedFilesGiveTheCodecsMessageNumber) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const Bytes jpeg = writeJpeg(test::patternPicture(24, 16));

    EXPECT_EQ(errorOf({}), codecError(JERR_INPUT_EMPTY));
    EXPECT_EQ(errorOf({'B', 'M', 0, 0, 0, 0}), codecError(JERR_NO_SOI));
    EXPECT_EQ(
        errorOf(Bytes(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(jpeg.size() / 2))),
        codecError(JWRN_JPEG_EOF));

    const std::size_t sof = markerAt(jpeg, 0xC0);
    ASSERT_NE(sof, 0u);
    Bytes precision = jpeg;
    precision[sof + 4] = 12;
    EXPECT_EQ(errorOf(precision), codecError(JERR_BAD_PRECISION));
    Bytes progressiveLossless = jpeg;
    progressiveLossless[sof + 1] = 0xC3;
    EXPECT_EQ(errorOf(progressiveLossless), codecError(JERR_SOF_UNSUPPORTED));
    const auto sized = [&](int width, int height) {
        Bytes b = jpeg;
        b[sof + 5] = static_cast<std::uint8_t>(height >> 8);
        b[sof + 6] = static_cast<std::uint8_t>(height);
        b[sof + 7] = static_cast<std::uint8_t>(width >> 8);
        b[sof + 8] = static_cast<std::uint8_t>(width);
        return b;
    };
    EXPECT_EQ(errorOf(sized(40000, 16)), codecError(JERR_IMAGE_TOO_BIG));
    EXPECT_EQ(errorOf(sized(30000, 30000)), codecError(JERR_IMAGE_TOO_BIG));  // 2.7 GB of pixels
    EXPECT_EQ(errorOf(sized(0, 16)), codecError(JERR_EMPTY_IMAGE));
    // A few hundred bytes that claim hundreds of millions of pixels end long before their
    // picture; they are refused before the decoding starts.
    EXPECT_EQ(errorOf(sized(31248, 10000), kPaletteDisplay), codecError(JWRN_JPEG_EOF));
    EXPECT_EQ(errorOf(sized(12000, 10000)), codecError(JWRN_JPEG_EOF));

    // CMYK has no conversion to the picture's colours.
    const QString rgbPath = saved(dir, QStringLiteral("rgb.jpg"), toByteArray(jpeg));
    const QString cmykPath = dir.filePath(QStringLiteral("cmyk.jpg"));
    runTool(QStringLiteral("convert"), {rgbPath, "-colorspace", "CMYK", cmykPath});
    QFile cmyk(cmykPath);
    ASSERT_TRUE(cmyk.open(QIODevice::ReadOnly));
    const QByteArray cmykBytes = cmyk.readAll();
    EXPECT_EQ(errorOf(Bytes(cmykBytes.begin(), cmykBytes.end())),
              codecError(JERR_CONVERSION_NOTIMPL));

    // Cut anywhere, in either colour mode, the file is refused with a codec message.
    std::set<std::string> messages;
    for (std::size_t size = 0; size + 1 < jpeg.size(); ++size) {
        const Bytes cut(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(size));
        for (const int bits : {kTrueColour, kPaletteDisplay}) {
            const std::string message = errorOf(cut, bits);
            ASSERT_EQ(message.rfind("JPEG error #", 0), 0u) << size << ": " << message;
            messages.insert(message);
        }
    }
    EXPECT_TRUE(messages.contains(codecError(JWRN_JPEG_EOF)));
}

}  // namespace
}  // namespace varnoset
