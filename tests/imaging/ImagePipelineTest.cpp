#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <stdexcept>
#include <vector>

#include "imaging/ApplyImageOptions.h"
#include "imaging/ImagePipeline.h"
#include "imaging/PixelConversion.h"
#include "imaging/ReduceColorDepth.h"
#include "imaging/StandardPalettes.h"

#include "tests/imaging/TestRgb.h"
#include "tests/support/SamePixels.h"

using namespace varnoset;

namespace {

using imaging_test::Rgb;
using varnoset::test::sameFormatAndBytes;

Rgb colorAt(const Picture& picture, int x, int y) {
    const PixelRows rows = readPixelRows(picture);
    const std::uint8_t* p = rows.row(rows.height - 1 - y) + 3 * x;
    return {p[2], p[1], p[0]};
}

// A 24-bit picture whose pixels are the given colours, left to right, top to bottom.
Picture pictureOf(int width, int height, const std::vector<Rgb>& colors) {
    Picture picture(width, height, PixelFormat::Rgb24);
    for (int i = 0; i < width * height; ++i) {
        std::uint8_t* p = picture.scanLine(i / width) + 3 * (i % width);
        const Rgb& c = colors[static_cast<std::size_t>(i) % colors.size()];
        p[0] = static_cast<std::uint8_t>(c.b);
        p[1] = static_cast<std::uint8_t>(c.g);
        p[2] = static_cast<std::uint8_t>(c.r);
    }
    return picture;
}

Picture randomPicture(int width, int height, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<Rgb> colors;
    for (int i = 0; i < width * height; ++i) {
        colors.push_back({static_cast<int>(random() % 256), static_cast<int>(random() % 256),
                          static_cast<int>(random() % 256)});
    }
    return pictureOf(width, height, colors);
}

const std::vector<Rgb> kSixteen = {
    {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {128, 128, 128}, {192, 192, 192}, {255, 0, 0},     {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
};

}  // namespace

TEST(ImagePipeline, DefaultOptionsGiveTheSourceBackInItsOwnFormat) {
    Picture indexed = randomPicture(9, 4, 1);
    ReduceColorDepth(indexed, 4);
    Picture palette256 = randomPicture(9, 4, 2);
    ReduceColorDepth(palette256, 8);
    Picture device = randomPicture(9, 4, 3);
    convertPixelFormat(device, PixelFormat::Device);
    Picture r565 = randomPicture(9, 4, 4);
    convertPixelFormat(r565, PixelFormat::Rgb565);

    ImagePipeline pipeline;
    for (const Picture& source : {randomPicture(9, 4, 0), indexed, palette256, device, r565}) {
        const auto result = pipeline.run(source, ImageOptions{}, false);
        EXPECT_TRUE(sameFormatAndBytes(result.preview, source))
            << static_cast<int>(source.format());
        EXPECT_FALSE(result.source.has_value());
    }

    ImageOptions everything;
    everything.invert = everything.grey = everything.mirror = everything.frame = true;
    const auto empty = pipeline.run(Picture(), everything, true);
    EXPECT_TRUE(empty.preview.isEmpty());
}

TEST(ImagePipeline, GivesTheSameAsOneSweepOverTheWholePicture) {
    // Tall enough that the pass works in several strips.
    const Picture photo = randomPicture(301, 900, 6);
    Picture reduced = photo;
    ReduceColorDepth(reduced, 8);
    Picture r555 = photo;
    convertPixelFormat(r555, PixelFormat::Rgb555);

    ImageOptions options;
    options.blue = false;
    options.swap = true;
    options.color1 = 0x00FF00;
    options.brightness = -30;
    options.contrast = 90;
    options.mirror = true;
    ImagePipeline pipeline;
    for (const Picture& source : {photo, reduced, r555}) {
        PixelRows rows = readPixelRows(source);
        ApplyImageOptions(rows.bytes.data(), rows.width, rows.height, rows.stride(), options);
        const Picture expected = pictureFromRows(rows, source.format(), source.palette());
        EXPECT_TRUE(sameFormatAndBytes(pipeline.run(source, options, false).preview, expected))
            << static_cast<int>(source.format());
    }
}

TEST(ImagePipeline, DirectSwapWritesTheResultWithoutTheFrameIntoTheSource) {
    const Picture source = pictureOf(4, 3, {{0, 0, 0}, {255, 255, 255}, {1, 1, 1}});
    ImageOptions options;  // swap box unchecked
    options.frame = true;
    ImagePipeline pipeline;

    const auto swapped = pipeline.run(source, options, true);
    ASSERT_TRUE(swapped.source.has_value());
    const Picture& newSource = *swapped.source;
    EXPECT_EQ(colorAt(newSource, 0, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(colorAt(newSource, 1, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(colorAt(newSource, 2, 0), (Rgb{1, 1, 1}));
    // The frame is only on the preview: its corner is the inverse of the new source's.
    EXPECT_EQ(colorAt(swapped.preview, 0, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(colorAt(swapped.preview, 1, 1), colorAt(newSource, 1, 1));

    // The exchange stays in later previews, with the box still unchecked.
    options.frame = false;
    const auto later = pipeline.run(newSource, options, false);
    EXPECT_TRUE(sameFormatAndBytes(later.preview, newSource));
    EXPECT_FALSE(later.source.has_value());
}

TEST(ImagePipeline, DirectSwapWritesOnlyTheExchangeIntoTheSource) {
    const Picture source = pictureOf(2, 1, {{0, 0, 0}, {100, 100, 100}});
    ImageOptions options;
    options.brightness = 40;
    options.invert = true;
    ImagePipeline pipeline;

    const auto first = pipeline.run(source, options, true);
    ASSERT_TRUE(first.source.has_value());
    EXPECT_EQ(colorAt(*first.source, 0, 0), (Rgb{255, 255, 255}));  // exchanged, nothing else
    EXPECT_EQ(colorAt(*first.source, 1, 0), (Rgb{100, 100, 100}));
    EXPECT_EQ(colorAt(first.preview, 0, 0), (Rgb{0, 0, 0}));  // white, brightened, inverted
    EXPECT_EQ(colorAt(first.preview, 1, 0), (Rgb{115, 115, 115}));
    // The options stay settings: the next pass shows the same, not brightened twice.
    const auto second = pipeline.run(*first.source, options, false);
    EXPECT_TRUE(sameFormatAndBytes(second.preview, first.preview));
}

TEST(ImagePipeline, ReductionsKeepTheirColoursAndThePreviewKeepsTheDepth) {
    std::vector<Rgb> colors = kSixteen;
    colors.push_back({128, 128, 128});
    for (const int bits : {4, 8}) {
        Picture picture = pictureOf(17, 1, colors);
        ReduceColorDepth(picture, bits);
        EXPECT_EQ(picture.format(), bits == 4 ? PixelFormat::Indexed4 : PixelFormat::Indexed8);
        EXPECT_EQ(picture.palette(), bits == 4 ? standardPalette16() : halftonePalette256());
        for (int x = 0; x < 17; ++x) {
            EXPECT_EQ(colorAt(picture, x, 0), colors[static_cast<std::size_t>(x)])
                << bits << " " << x;
        }
        // A second press converts nothing.
        const Picture again = picture;
        ReduceColorDepth(picture, bits);
        EXPECT_TRUE(sameFormatAndBytes(picture, again));
    }

    // 16 after 256 reduces further; 256 after 16 changes the format but keeps the 16 colours.
    Picture photo = randomPicture(20, 20, 5);
    ReduceColorDepth(photo, 8);
    ReduceColorDepth(photo, 4);
    const PixelRows sixteenRows = readPixelRows(photo);
    ReduceColorDepth(photo, 8);
    EXPECT_EQ(photo.format(), PixelFormat::Indexed8);
    EXPECT_EQ(readPixelRows(photo).bytes, sixteenRows.bytes);

    // A pass over a reduced source maps its result into the same palette again: a swap into a
    // colour the palette lacks shows the nearest palette colour.
    Picture reduced = pictureOf(2, 1, {{0, 0, 0}, {0, 255, 0}});
    ReduceColorDepth(reduced, 4);
    ImageOptions options;
    options.swap = true;
    options.color2 = rgbValue(250, 10, 10);
    ImagePipeline pipeline;
    const auto result = pipeline.run(reduced, options, false);
    EXPECT_EQ(result.preview.format(), PixelFormat::Indexed4);
    EXPECT_EQ(result.preview.palette(), standardPalette16());
    EXPECT_EQ(colorAt(result.preview, 0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(colorAt(result.preview, 1, 0), (Rgb{0, 255, 0}));

    Picture empty;
    ReduceColorDepth(empty, 4);
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(empty.format(), PixelFormat::Device);
    EXPECT_THROW(ReduceColorDepth(empty, 16), std::invalid_argument);
}
