#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "imaging/FramePainter.h"
#include "imaging/PixelConversion.h"
#include "imaging/ReduceColorDepth.h"
#include "imaging/StandardPalettes.h"

using namespace varnoset;

namespace {

Picture randomRgb24(int width, int height, unsigned seed) {
    std::mt19937 random(seed);
    Picture picture(width, height, PixelFormat::Rgb24);
    for (int y = 0; y < height; ++y) {
        for (int i = 0; i < 3 * width; ++i) {
            picture.scanLine(y)[i] = static_cast<std::uint8_t>(random());
        }
    }
    return picture;
}

// Which pixels differ between two pictures of the same size, as the colours read back.
std::vector<std::vector<bool>> changedPixels(const Picture& before, const Picture& after) {
    const PixelRows a = readPixelRows(before);
    const PixelRows b = readPixelRows(after);
    std::vector<std::vector<bool>> changed(
        static_cast<std::size_t>(before.height()),
        std::vector<bool>(static_cast<std::size_t>(before.width())));
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            const std::uint8_t* p = a.row(a.height - 1 - y) + 3 * x;
            const std::uint8_t* q = b.row(b.height - 1 - y) + 3 * x;
            changed[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] =
                p[0] != q[0] || p[1] != q[1] || p[2] != q[2];
        }
    }
    return changed;
}

bool inBand(int x, int y, int width, int height, int band) {
    return x < band || y < band || x >= width - band || y >= height - band;
}

}  // namespace

TEST(FramePainter, OneDotInvertsExactlyTheOutermostRowsAndColumnsInEveryDirectFormat) {
    const Picture colors = randomRgb24(7, 5, 1);
    for (const PixelFormat format : {PixelFormat::Rgb24, PixelFormat::Rgb32, PixelFormat::Device,
                                     PixelFormat::Rgb555, PixelFormat::Rgb565}) {
        for (const int frameSize : {1, 0}) {
            Picture picture = colors;
            convertPixelFormat(picture, format);
            const PixelRows before = readPixelRows(picture);
            FramePainter painter;
            painter.draw(picture, frameSize);
            const PixelRows after = readPixelRows(picture);
            for (int y = 0; y < 5; ++y) {
                for (int x = 0; x < 7; ++x) {
                    const bool border = inBand(x, y, 7, 5, 1);
                    for (int k = 0; k < 3; ++k) {
                        const int was = before.row(4 - y)[3 * x + k];
                        const int now = after.row(4 - y)[3 * x + k];
                        ASSERT_EQ(now, border ? 255 - was : was)
                            << "format " << static_cast<int>(format) << " size " << frameSize
                            << " at " << x << "," << y;
                    }
                }
            }
        }
    }
}

TEST(FramePainter, PenWidthsAndTheRememberedWidth) {
    const Picture original = randomRgb24(12, 10, 2);
    FramePainter painter;
    auto bandAfter = [&](int frameSize) {
        Picture picture = original;
        painter.draw(picture, frameSize);
        const auto rows = changedPixels(original, picture);
        const auto changed = [&rows](int y, int x) {
            return static_cast<bool>(
                rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]);
        };
        // The band is the number of rows from the top that changed completely.
        int band = 0;
        while (band < 10 && changed(band, 5)) {
            ++band;
        }
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 12; ++x) {
                EXPECT_EQ(changed(y, x), inBand(x, y, 12, 10, band))
                    << frameSize << " " << x << "," << y;
            }
        }
        return band;
    };
    EXPECT_EQ(bandAfter(-3), 1);  // nothing drawn yet: one dot
    EXPECT_EQ(bandAfter(2), 2);
    EXPECT_EQ(bandAfter(3), 2);
    EXPECT_EQ(bandAfter(4), 3);
    EXPECT_EQ(bandAfter(-1), 3);  // keeps the 4-dot pen
    EXPECT_EQ(painter.penWidth(), 4);
    EXPECT_EQ(bandAfter(0), 1);
    EXPECT_EQ(bandAfter(7), 4);

    // A pen wider than the picture inverts every pixel once, however the bands overlap.
    Picture whole = original;
    painter.draw(whole, 1000000);
    const PixelRows before = readPixelRows(original);
    const PixelRows after = readPixelRows(whole);
    for (std::size_t i = 0; i < before.bytes.size(); ++i) {
        if (i % static_cast<std::size_t>(before.stride()) < 36) {
            ASSERT_EQ(after.bytes[i], 255 - before.bytes[i]);
        }
    }
    // Drawing the same frame again gives the picture back; an empty picture is left alone.
    painter.draw(whole, 1000000);
    EXPECT_TRUE(std::ranges::equal(whole.bits(), original.bits()));
    Picture empty;
    painter.draw(empty, 3);
    EXPECT_TRUE(empty.isEmpty());
}

TEST(FramePainter, OnPalettePicturesInvertsTheIndex) {
    // 16 colours: NOT of the index within 4 bits, black <-> white, red (9) <-> teal (6).
    Picture sixteen(3, 3, PixelFormat::Indexed4, standardPalette16());
    sixteen.scanLine(0)[0] = 0x09;  // (0,0) black, (1,0) red
    sixteen.scanLine(1)[0] = 0xF0;  // (0,1) white, (1,1) black inside
    FramePainter painter;
    painter.draw(sixteen, 1);
    EXPECT_EQ(sixteen.scanLine(0)[0], 0xF6);
    EXPECT_EQ(sixteen.scanLine(1)[0], 0x00);  // (1,1) untouched

    // 256 colours: entry 255 - i is the inverse of entry i, so the frame inverts exactly.
    const auto palette = halftonePalette256();
    for (std::size_t i = 0; i < 256; ++i) {
        ASSERT_EQ(palette[255 - i], ~palette[i] & 0xFFFFFF) << i;
    }
    Picture reduced = randomRgb24(6, 4, 3);
    ReduceColorDepth(reduced, 8);
    const PixelRows before = readPixelRows(reduced);
    painter.draw(reduced, 1);
    const PixelRows after = readPixelRows(reduced);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            for (int k = 0; k < 3; ++k) {
                const int was = before.row(y)[3 * x + k];
                EXPECT_EQ(after.row(y)[3 * x + k], inBand(x, y, 6, 4, 1) ? 255 - was : was);
            }
        }
    }
}
