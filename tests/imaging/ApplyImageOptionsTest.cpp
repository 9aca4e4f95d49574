#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "imaging/ApplyImageOptions.h"
#include "imaging/Picture.h"
#include "tests/imaging/ReferenceImageOptions.h"

#include "tests/imaging/TestRgb.h"

using namespace varnoset;

namespace {

using imaging_test::Rgb;

Rgb applyToOnePixel(Rgb in, const ImageOptions& options) {
    std::array<std::uint8_t, 4> row = {static_cast<std::uint8_t>(in.b),
                                       static_cast<std::uint8_t>(in.g),
                                       static_cast<std::uint8_t>(in.r), 0};
    ApplyImageOptions(row.data(), 1, 1, 4, options);
    return {row[2], row[1], row[0]};
}

ImageOptions with(auto change) {
    ImageOptions o;
    change(o);
    return o;
}

ImageOptions brightness(int b) {
    return with([&](ImageOptions& o) { o.brightness = b; });
}
ImageOptions contrast(int s) {
    return with([&](ImageOptions& o) { o.contrast = s; });
}

Rgb grey(int v) {
    return {v, v, v};
}

}  // namespace

TEST(ApplyImageOptions, SinglePixelRules) {
    const ImageOptions defaults;
    const auto redOff = with([](ImageOptions& o) { o.red = false; });
    const auto allOff = with([](ImageOptions& o) { o.red = o.green = o.blue = false; });
    const auto swap = with([](ImageOptions& o) { o.swap = true; });
    const auto swapSame = with([](ImageOptions& o) {
        o.swap = true;
        o.color1 = o.color2 = 0x1E140A;
    });
    const auto swapTopByte = with([](ImageOptions& o) {
        o.swap = true;
        o.color1 = 0x01000000;  // black with a set top byte
    });
    const auto redOffSwap = with([](ImageOptions& o) {
        o.red = false;
        o.swap = true;
    });
    const auto swapBrighter = with([](ImageOptions& o) {
        o.swap = true;
        o.color2 = 0x102030;
        o.brightness = 10;
    });
    const auto invert = with([](ImageOptions& o) { o.invert = true; });
    const auto greyOn = with([](ImageOptions& o) { o.grey = true; });
    const auto invertGrey = with([](ImageOptions& o) { o.invert = o.grey = true; });
    const auto brightContrast = with([](ImageOptions& o) {
        o.brightness = 10;
        o.contrast = 127;
    });
    const auto blueOffBright = with([](ImageOptions& o) {
        o.blue = false;
        o.brightness = 5;
    });

    struct Case {
        std::string name;
        ImageOptions options;
        Rgb in;
        Rgb out;
    };
    const std::vector<Case> cases = {
        {"defaults keep the pixel", defaults, {12, 34, 56}, {12, 34, 56}},
        {"red off on white", redOff, {255, 255, 255}, {0, 255, 255}},
        {"all channels off", allOff, {10, 200, 30}, {0, 0, 0}},
        {"a switched-off channel still brightens", blueOffBright, {9, 9, 9}, {14, 14, 5}},
        {"swap black", swap, {0, 0, 0}, {255, 255, 255}},
        {"swap white", swap, {255, 255, 255}, {0, 0, 0}},
        {"swap near black stays", swap, {1, 1, 1}, {1, 1, 1}},
        {"swap one unit off stays", swap, {255, 254, 255}, {255, 254, 255}},
        {"swap equal colours", swapSame, {10, 20, 30}, {10, 20, 30}},
        {"top byte never matches", swapTopByte, {0, 0, 0}, {0, 0, 0}},
        {"top byte colour written as its low bytes", swapTopByte, {255, 255, 255}, {0, 0, 0}},
        {"red off then exchange", redOffSwap, {255, 0, 0}, {255, 255, 255}},
        {"exchange before brightness", swapBrighter, {0, 0, 0}, {58, 42, 26}},
        {"brightness 127 on 200", brightness(127), grey(200), grey(255)},
        {"brightness -127 on 100", brightness(-127), grey(100), grey(0)},
        {"brightness -1 on 100", brightness(-1), grey(100), grey(99)},
        {"brightness 1 on 100", brightness(1), grey(100), grey(101)},
        {"brightness -1 on 0", brightness(-1), grey(0), grey(0)},
        {"brightness 1 on 255", brightness(1), grey(255), grey(255)},
        {"contrast 127 on 0", contrast(127), grey(0), grey(0)},
        {"contrast 127 on 126", contrast(127), grey(126), grey(125)},
        {"contrast 127 on 127", contrast(127), grey(127), grey(127)},
        {"contrast 127 on 128", contrast(127), grey(128), grey(129)},
        {"contrast 127 on 255", contrast(127), grey(255), grey(255)},
        {"contrast -127 on 0 (-63.5 to -64)", contrast(-127), grey(0), grey(63)},
        {"contrast -127 on 126", contrast(-127), grey(126), grey(127)},
        {"contrast -127 on 128 (0.5 to 0)", contrast(-127), grey(128), grey(127)},
        {"contrast -127 on 130 (1.5 to 2)", contrast(-127), grey(130), grey(129)},
        {"contrast -127 on 255", contrast(-127), grey(255), grey(191)},
        // Stored options out of the scroll bars' range must not overflow.
        {"brightness INT_MAX", brightness(INT_MAX), grey(0), grey(255)},
        {"brightness INT_MIN", brightness(INT_MIN), grey(255), grey(0)},
        {"contrast INT_MAX", contrast(INT_MAX), grey(126), grey(0)},
        {"contrast INT_MIN", contrast(INT_MIN), grey(0), grey(127)},
        {"brightness before contrast", brightContrast, grey(120), grey(133)},
        {"invert", invert, {0, 100, 255}, {255, 155, 0}},
        {"grey of red", greyOn, {255, 0, 0}, grey(76)},
        {"grey of green", greyOn, {0, 255, 0}, grey(150)},
        {"grey of blue", greyOn, {0, 0, 255}, grey(28)},
        {"grey of white", greyOn, {255, 255, 255}, grey(255)},
        {"grey drops the remainder", greyOn, {2, 2, 1}, grey(1)},
        {"invert before grey", invertGrey, {255, 0, 0}, grey(178)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(applyToOnePixel(c.in, c.options), c.out) << c.name;
    }
}

TEST(ApplyImageOptions, MirrorAndRowPaddingForNarrowWidths) {
    constexpr std::uint8_t kPad = 0xAB;
    const std::vector<int> expectedStrides = {4, 8, 12, 12, 16};
    for (int width = 1; width <= 5; ++width) {
        const int stride = PixelRows::strideFor(width);
        EXPECT_EQ(stride, expectedStrides[static_cast<std::size_t>(width - 1)]) << width;
        const int height = 2;
        std::vector<std::uint8_t> rows(static_cast<std::size_t>(stride * height), kPad);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                for (int k = 0; k < 3; ++k) {
                    rows[static_cast<std::size_t>(y * stride + 3 * x + k)] =
                        static_cast<std::uint8_t>(10 * y + x);
                }
            }
        }
        ImageOptions options;
        options.mirror = true;
        ApplyImageOptions(rows.data(), width, height, stride, options);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                EXPECT_EQ(rows[static_cast<std::size_t>(y * stride + 3 * x)],
                          10 * y + width - 1 - x)
                    << "width " << width << " x " << x;
            }
            for (int i = 3 * width; i < stride; ++i) {
                EXPECT_EQ(rows[static_cast<std::size_t>(y * stride + i)], kPad)
                    << "padding changed, width " << width;
            }
        }
    }
}

TEST(ApplyImageOptions, EveryContrastAndBrightnessMatchesTheStepByStepResult) {
    // One row holding every component value in every channel.
    const int width = 256;
    const int stride = PixelRows::strideFor(width);
    std::vector<std::uint8_t> source(static_cast<std::size_t>(stride));
    for (int x = 0; x < width; ++x) {
        source[static_cast<std::size_t>(3 * x)] = static_cast<std::uint8_t>(x);
        source[static_cast<std::size_t>(3 * x + 1)] = static_cast<std::uint8_t>(255 - x);
        source[static_cast<std::size_t>(3 * x + 2)] = static_cast<std::uint8_t>(x ^ 0x5A);
    }
    for (int amount = -127; amount <= 127; ++amount) {
        for (const bool isContrast : {true, false}) {
            ImageOptions options;
            (isContrast ? options.contrast : options.brightness) = amount;
            auto fast = source;
            auto slow = source;
            ApplyImageOptions(fast.data(), width, 1, stride, options);
            test::referenceImageOptions(slow.data(), width, 1, stride, options);
            ASSERT_EQ(fast, slow) << (isContrast ? "contrast " : "brightness ") << amount;
        }
    }
}

TEST(ApplyImageOptions, MatchesTheStepByStepResultOnRandomPictures) {
    std::mt19937 random(20240611);
    auto chance = [&](int percent) {
        return std::uniform_int_distribution<int>(0, 99)(random) < percent;
    };
    auto level = [&] { return std::uniform_int_distribution<int>(0, 255)(random); };
    auto amount = [&] {
        return chance(25) ? 0 : std::uniform_int_distribution<int>(-127, 127)(random);
    };

    std::vector<std::pair<int, int>> sizes;
    for (int width = 1; width <= 8; ++width) {
        sizes.emplace_back(width, 3);
    }
    sizes.insert(sizes.end(), {{37, 5}, {64, 4}, {333, 7}, {1000, 2}});

    for (int round = 0; round < 40; ++round) {
        for (const auto& [width, height] : sizes) {
            // Few distinct colours, so that the exchange finds matches.
            std::vector<std::uint32_t> colors = {0x000000, 0xFFFFFF};
            for (int i = 0; i < 4; ++i) {
                colors.push_back(
                    static_cast<std::uint32_t>(level() | level() << 8 | level() << 16));
            }
            auto pick = [&] {
                return colors[std::uniform_int_distribution<std::size_t>(
                    0, colors.size() - 1)(random)];
            };

            ImageOptions o;
            o.red = chance(80);
            o.green = chance(80);
            o.blue = chance(80);
            o.swap = chance(50);
            const std::uint32_t mask =
                (o.red ? 0xFFu : 0u) | (o.green ? 0xFF00u : 0u) | (o.blue ? 0xFF0000u : 0u);
            o.color1 = chance(50) ? pick() & mask : pick();
            o.color2 = chance(50) ? pick() & mask : pick();
            if (chance(10)) {
                o.color1 |= 0x01000000;
            }
            if (chance(10)) {
                o.color2 = o.color1;
            }
            o.brightness = amount();
            o.contrast = amount();
            o.invert = chance(50);
            o.mirror = chance(50);
            o.grey = chance(50);

            const int stride = PixelRows::strideFor(width);
            std::vector<std::uint8_t> picture(static_cast<std::size_t>(stride * height));
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    const std::uint32_t c =
                        chance(70)
                            ? pick()
                            : static_cast<std::uint32_t>(level() | level() << 8 | level() << 16);
                    std::uint8_t* p = picture.data() + y * stride + 3 * x;
                    p[0] = static_cast<std::uint8_t>(c >> 16);
                    p[1] = static_cast<std::uint8_t>(c >> 8);
                    p[2] = static_cast<std::uint8_t>(c);
                }
                for (int i = 3 * width; i < stride; ++i) {
                    picture[static_cast<std::size_t>(y * stride + i)] =
                        static_cast<std::uint8_t>(level());
                }
            }
            auto fast = picture;
            auto slow = picture;
            ApplyImageOptions(fast.data(), width, height, stride, o);
            test::referenceImageOptions(slow.data(), width, height, stride, o);
            ASSERT_EQ(fast, slow) << "round " << round << ", " << width << " x " << height
                                  << ": rgb " << o.red << o.green << o.blue << " swap " << o.swap
                                  << " " << std::hex << o.color1 << "/" << o.color2 << std::dec
                                  << " b " << o.brightness << " c " << o.contrast << " inv "
                                  << o.invert << " mir " << o.mirror << " grey " << o.grey;
        }
    }
}
