#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "imaging/PaletteMatcher.h"
#include "imaging/PixelConversion.h"
#include "imaging/StandardPalettes.h"

#include "tests/imaging/TestRgb.h"

using namespace varnoset;

namespace {

constexpr PixelFormat kAllFormats[] = {
    PixelFormat::Indexed1, PixelFormat::Indexed4, PixelFormat::Indexed8, PixelFormat::Rgb555,
    PixelFormat::Rgb565,   PixelFormat::Rgb24,    PixelFormat::Rgb32,    PixelFormat::Device,
};

std::vector<ColorValue> randomPalette(std::mt19937& random, int size) {
    std::vector<ColorValue> palette;
    for (int i = 0; i < size; ++i) {
        palette.push_back(random() & 0xFFFFFF);
    }
    return palette;
}

// A picture whose every stored value is one the format can hold and read back unchanged.
Picture randomPicture(std::mt19937& random, int width, int height, PixelFormat format) {
    Picture picture(width, height, format, randomPalette(random, paletteSize(format)));
    const int usedBytes = (width * storageBits(format) + 7) / 8;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* line = picture.scanLine(y);
        for (int i = 0; i < usedBytes; ++i) {
            line[i] = static_cast<std::uint8_t>(random());
        }
        for (int x = 0; x < width; ++x) {
            if (format == PixelFormat::Rgb555) {
                line[2 * x + 1] &= 0x7F;  // the unused top bit
            }
            if (format == PixelFormat::Rgb32 || format == PixelFormat::Device) {
                line[4 * x + 3] = 0;
            }
        }
        // Clear the bits of a last, partly used byte.
        const int usedBits = width * storageBits(format);
        if (usedBits % 8 != 0) {
            line[usedBytes - 1] &= static_cast<std::uint8_t>(0xFF << (8 - usedBits % 8));
        }
    }
    return picture;
}

using imaging_test::Rgb;

// The colour of pixel (x, y), counting y from the top as the picture does.
Rgb colorAt(const PixelRows& rows, int x, int y) {
    const std::uint8_t* p = rows.row(rows.height - 1 - y) + 3 * x;
    return {p[2], p[1], p[0]};
}

int bruteForceNearest(const std::vector<ColorValue>& palette, int r, int g, int b) {
    int best = 0;
    long bestDistance = -1;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const long d = (redOf(palette[i]) - r) * (redOf(palette[i]) - r) +
                       (greenOf(palette[i]) - g) * (greenOf(palette[i]) - g) +
                       (blueOf(palette[i]) - b) * (blueOf(palette[i]) - b);
        if (bestDistance < 0 || d < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = d;
        }
    }
    return best;
}

}  // namespace

TEST(PixelConversion, EveryFormatSurvivesRowsAndBack) {
    std::mt19937 random(7);
    for (const PixelFormat format : kAllFormats) {
        for (int width = 1; width <= 9; ++width) {
            const Picture original = randomPicture(random, width, 3, format);
            const PixelRows rows = readPixelRows(original);
            ASSERT_EQ(rows.width, width);
            ASSERT_EQ(rows.height, 3);
            const Picture back = pictureFromRows(rows, format, original.palette());
            EXPECT_EQ(back.format(), format);
            EXPECT_EQ(back.palette(), original.palette());
            EXPECT_TRUE(std::ranges::equal(back.bits(), original.bits()))
                << "format " << static_cast<int>(format) << " width " << width;
        }
    }
}

TEST(PixelConversion, ReadsEachLayoutAsTheColoursItHolds) {
    // Rows are bottom-up: the picture's top line is the last row.
    Picture rgb(1, 2, PixelFormat::Rgb24);
    rgb.scanLine(0)[2] = 200;  // top pixel red
    rgb.scanLine(1)[0] = 100;  // bottom pixel blue
    PixelRows rows = readPixelRows(rgb);
    EXPECT_EQ(colorAt(rows, 0, 0), (Rgb{200, 0, 0}));
    EXPECT_EQ(rows.row(0)[0], 100);

    auto readWord = [](PixelFormat format, int word) {
        Picture p(1, 1, format);
        p.scanLine(0)[0] = static_cast<std::uint8_t>(word & 0xFF);
        p.scanLine(0)[1] = static_cast<std::uint8_t>(word >> 8);
        return colorAt(readPixelRows(p), 0, 0);
    };
    EXPECT_EQ(readWord(PixelFormat::Rgb555, 0x7FFF), (Rgb{255, 255, 255}));
    EXPECT_EQ(readWord(PixelFormat::Rgb555, 0x001F), (Rgb{0, 0, 255}));
    EXPECT_EQ(readWord(PixelFormat::Rgb555, 0x7C00), (Rgb{255, 0, 0}));
    EXPECT_EQ(readWord(PixelFormat::Rgb555, 0x0200), (Rgb{0, 132, 0}));  // 16 -> 128 + 4
    EXPECT_EQ(readWord(PixelFormat::Rgb565, 0x07E0), (Rgb{0, 255, 0}));
    EXPECT_EQ(readWord(PixelFormat::Rgb565, 0x0400), (Rgb{0, 130, 0}));  // 32 -> 128 + 2
    EXPECT_EQ(readWord(PixelFormat::Rgb565, 0xF800), (Rgb{255, 0, 0}));

    // Leftmost pixel in the high bits; indices past a short palette read as black.
    Picture mono(10, 1, PixelFormat::Indexed1, {rgbValue(1, 2, 3), rgbValue(4, 5, 6)});
    mono.scanLine(0)[0] = 0x80;
    mono.scanLine(0)[1] = 0x40;
    rows = readPixelRows(mono);
    EXPECT_EQ(colorAt(rows, 0, 0), (Rgb{4, 5, 6}));
    EXPECT_EQ(colorAt(rows, 1, 0), (Rgb{1, 2, 3}));
    EXPECT_EQ(colorAt(rows, 9, 0), (Rgb{4, 5, 6}));

    Picture nibbles(3, 1, PixelFormat::Indexed4, {rgbValue(10, 0, 0), rgbValue(20, 0, 0)});
    nibbles.scanLine(0)[0] = 0x10;  // pixel 0 index 1, pixel 1 index 0
    nibbles.scanLine(0)[1] = 0xF0;  // pixel 2 index 15, past the palette
    rows = readPixelRows(nibbles);
    EXPECT_EQ(colorAt(rows, 0, 0), (Rgb{20, 0, 0}));
    EXPECT_EQ(colorAt(rows, 1, 0), (Rgb{10, 0, 0}));
    EXPECT_EQ(colorAt(rows, 2, 0), (Rgb{0, 0, 0}));

    EXPECT_EQ(readPixelRows(Picture()).bytes.size(), 0u);
}

TEST(PixelConversion, StoresTheNearestColourTheFormatHolds) {
    PixelRows rows;
    rows.width = 4;
    rows.height = 1;
    rows.bytes.assign(static_cast<std::size_t>(rows.stride()), 0);
    const std::vector<Rgb> colors = {{250, 5, 5}, {130, 120, 125}, {3, 3, 3}, {0, 0, 200}};
    for (std::size_t x = 0; x < 4; ++x) {
        rows.row(0)[3 * x] = static_cast<std::uint8_t>(colors[x].b);
        rows.row(0)[3 * x + 1] = static_cast<std::uint8_t>(colors[x].g);
        rows.row(0)[3 * x + 2] = static_cast<std::uint8_t>(colors[x].r);
    }
    const PixelRows sixteen =
        readPixelRows(pictureFromRows(rows, PixelFormat::Indexed4, standardPalette16()));
    EXPECT_EQ(colorAt(sixteen, 0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(colorAt(sixteen, 1, 0), (Rgb{128, 128, 128}));
    EXPECT_EQ(colorAt(sixteen, 2, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(colorAt(sixteen, 3, 0), (Rgb{0, 0, 255}));

    // Each component to the 5-bit level whose widened value lies nearest.
    const PixelRows r555 = readPixelRows(pictureFromRows(rows, PixelFormat::Rgb555));
    EXPECT_EQ(colorAt(r555, 0, 0), (Rgb{247, 8, 8}));
    EXPECT_EQ(colorAt(r555, 2, 0), (Rgb{0, 0, 0}));
    const PixelRows r565 = readPixelRows(pictureFromRows(rows, PixelFormat::Rgb565));
    EXPECT_EQ(colorAt(r565, 2, 0), (Rgb{0, 4, 0}));

    // Already in the format: nothing changes, not even the palette.
    Picture indexed = pictureFromRows(rows, PixelFormat::Indexed8, {rgbValue(9, 9, 9)});
    convertPixelFormat(indexed, PixelFormat::Indexed8, halftonePalette256());
    EXPECT_EQ(indexed.palette().size(), 1u);
    convertPixelFormat(indexed, PixelFormat::Rgb24);
    EXPECT_EQ(colorAt(readPixelRows(indexed), 3, 0), (Rgb{9, 9, 9}));
}

TEST(PaletteMatcher, AgreesWithAnExhaustiveSearch) {
    std::mt19937 random(99);
    std::vector<std::vector<ColorValue>> palettes = {
        standardPalette16(), halftonePalette256(), monochromePalette(), {rgbValue(7, 7, 7)}};
    for (int i = 0; i < 6; ++i) {
        auto palette = randomPalette(random, 1 + static_cast<int>(random() % 256));
        palette.push_back(palette.front());  // a duplicate: the lower index must win
        palette.resize(std::min<std::size_t>(palette.size(), 256));
        palettes.push_back(palette);
    }
    for (const auto& palette : palettes) {
        PaletteMatcher matcher(palette);
        for (int n = 0; n < 5000; ++n) {
            const int r = static_cast<int>(random() % 256);
            const int g = static_cast<int>(random() % 256);
            const int b = static_cast<int>(random() % 256);
            ASSERT_EQ(matcher.nearest(r, g, b), bruteForceNearest(palette, r, g, b))
                << "palette of " << palette.size() << " at " << r << "," << g << "," << b;
        }
    }
    EXPECT_EQ(PaletteMatcher({}).nearest(10, 20, 30), 0);
}
