#include <gtest/gtest.h>

#include "output/PageLayout.h"

namespace varnoset {
namespace {

// A4-like page of a 600-dpi printer with a 100-pixel physical offset: W = 4800, H = 6700.
constexpr PageMeasures k600{600, 600, 100, 100, 4900, 6800, 96, 96};
// The same page measured by Qt for a 1200-dpi CUPS queue.
constexpr PageMeasures k1200{1200, 1200, 200, 200, 9517, 13633, 96, 96};

struct Expected {
    int x, y, width, height;
};

struct LayoutCase {
    const char* name;
    PageMeasures measures;
    QSize picture;
    PageOptions options;
    Expected expected;
    int usableHeight;
};

PageOptions opts(PictureSize size, bool keep = false, bool centred = false, int footer = 0) {
    return {size, keep, centred, footer, 10};
}

TEST(PageLayoutTest, PlacesThePictureAsTheArithmeticSays) {
    using enum PictureSize;
    // clang-format off
    const LayoutCase cases[] = {
        {"normal size, no footer: H = PH - Oy",
         k600, {640, 480}, opts(Normal), {50, 50, 4480, 3360}, 6700},
        {"three footer lines reserve four lines",
         k600, {640, 480}, opts(Normal, false, false, 3), {50, 50, 4480, 3360}, 6700 - 4 * 84},
        {"one footer line reserves two lines",
         k600, {640, 480}, opts(Normal, false, false, 1), {50, 50, 4480, 3360}, 6700 - 2 * 84},
        {"300 dpi gives a scale of 4",
         {300, 300, 50, 50, 2450, 3400, 96, 96}, {500, 400}, opts(Normal),
         {25, 25, 2000, 1600}, 3350},
        {"width overflow keeping proportions: k = 114",
         k600, {800, 600}, opts(Normal, true), {50, 50, 4800, 4200 - 798}, 6700},
        {"width overflow without keeping proportions only cuts w",
         k600, {800, 600}, opts(Normal), {50, 50, 4800, 4200}, 6700},
        {"height overflow keeping proportions",
         k600, {500, 1000}, opts(Normal, true), {50, 50, 3500 - 42 * 7, 6700}, 6700},
        {"height overflow without keeping proportions stretches",
         k600, {500, 1000}, opts(Normal), {50, 50, 3500, 6700}, 6700},
        {"width rule first, then the height rule on its result",
         k600, {800, 1100}, opts(Normal, true), {50, 50, 4800 - 28 * 7, 6700}, 6700},
        {"page size fills the usable area",
         k600, {640, 480}, opts(Page), {50, 50, 4800, 6700}, 6700},
        {"page size centred finds no slack",
         k600, {10, 10}, opts(Page, false, true, 2), {50, 50, 4800, 6700 - 3 * 84}, 6700 - 3 * 84},
        {"half size at 600 dpi",
         k600, {640, 480}, opts(Half), {50, 50, 2240, 1680}, 6700},
        {"half size on a printer not above the screen's resolution",
         {72, 72, 18, 18, 612, 792, 96, 96}, {640, 480}, opts(Half), {9, 9, 297, 387}, 774},
        {"low resolution, normal size spans the usable extent",
         {72, 72, 18, 18, 612, 792, 96, 96}, {64, 48}, opts(Normal), {9, 9, 594, 774}, 774},
        {"centred with slack in both axes",
         k600, {640, 480}, opts(Normal, false, true), {160, 1670, 4480, 3360}, 6700},
        {"centred, exactly as wide as the usable width: x keeps Ox / 2",
         {600, 600, 100, 100, 4902, 6800, 96, 96}, {686, 480}, opts(Normal, false, true),
         {50, 1670, 4802, 3360}, 6700},
        {"odd offsets and slack truncate",
         {600, 600, 101, 99, 4900, 6800, 96, 96}, {640, 480}, opts(Normal, false, true),
         {159, 1670, 4480, 3360}, 6701},
        {"different resolutions per axis",
         {600, 300, 100, 100, 4900, 3400, 96, 96}, {100, 100}, opts(Normal),
         {50, 50, 700, 400}, 3300},
        {"1200 dpi without keeping proportions cuts both sides",
         k1200, {1920, 1080}, opts(Normal), {100, 100, 9317, 13433}, 13433},
        {"1200 dpi half size keeping proportions keeps the arithmetic",
         k1200, {1920, 1080}, opts(Half, true), {100, 100, 9317, 7020 - 243 * 13}, 13433},
    };
    // clang-format on
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        const PageLayout p = layOutPage(c.measures, c.picture, c.options);
        EXPECT_EQ(p.x, c.expected.x);
        EXPECT_EQ(p.y, c.expected.y);
        EXPECT_EQ(p.width, c.expected.width);
        EXPECT_EQ(p.height, c.expected.height);
        EXPECT_EQ(p.usableHeight, c.usableHeight);
        EXPECT_FALSE(p.fitted);
    }
}

TEST(PageLayoutTest, ScaleLineHeightAndFooterPositions) {
    const PageLayout p = layOutPage(k600, {640, 480}, opts(PictureSize::Normal, false, false, 3));
    EXPECT_EQ(p.scaleX, 7);
    EXPECT_EQ(p.scaleY, 7);
    EXPECT_EQ(p.lineHeight, 84);
    EXPECT_EQ(p.usableWidth, 4800);
    EXPECT_EQ(p.footerLeft, 60);
    EXPECT_EQ(p.footerLineTop(1), p.usableHeight + 84);
    // The last line's top is one line above the printable area's end.
    EXPECT_EQ(p.footerLineTop(3), 6800 - 100 - 84);

    // The integer quotient plus one, not the rounded quotient: 300 / 96 = 3.125 gives 4,
    // 144 / 96 = 1.5 gives 2, 96 / 96 gives 2 as well.
    EXPECT_EQ(layOutPage({300, 144, 0, 0, 100, 100, 96, 96}, {1, 1}, {}).scaleX, 4);
    EXPECT_EQ(layOutPage({300, 144, 0, 0, 100, 100, 96, 96}, {1, 1}, {}).scaleY, 2);
    EXPECT_EQ(layOutPage({96, 96, 0, 0, 100, 100, 96, 96}, {1, 1}, {}).scaleX, 2);
    // A larger footer font makes taller lines.
    EXPECT_EQ(layOutPage(k600, {1, 1}, {PictureSize::Normal, false, false, 1, 12}).lineHeight,
              14 * 7);
}

TEST(PageLayoutTest, FitsThePictureWhenKeepingProportionsLeavesNothing) {
    struct FitCase {
        const char* name;
        PageMeasures measures;
        QSize picture;
        PageOptions options;
        Expected expected;
    };
    using enum PictureSize;
    // clang-format off
    const FitCase cases[] = {
        // 1920 × 13 = 24960 overflows W = 9317 by more than the picture's height in printer
        // pixels: the arithmetic alone would leave h = -1599.
        {"full-screen capture at 1200 dpi",
         k1200, {1920, 1080}, opts(Normal, true), {100, 100, 9317, 5240}},
        {"full-screen capture at 600 dpi, centred",
         k600, {1920, 1080}, opts(Normal, true, true),
         {50, (6700 - 2700) / 2, 4800, 7560 * 4800 / 13440}},
        {"tall thin picture: width at zero or below",
         k600, {10, 3000}, opts(Normal, true), {50, 50, 22, 6700}},
        {"a one-pixel line still prints a pixel",
         k600, {1, 30000}, opts(Normal, true), {50, 50, 1, 6700}},
    };
    // clang-format on
    for (const FitCase& c : cases) {
        SCOPED_TRACE(c.name);
        const PageLayout p = layOutPage(c.measures, c.picture, c.options);
        EXPECT_TRUE(p.fitted);
        EXPECT_EQ(p.x, c.expected.x);
        EXPECT_EQ(p.y, c.expected.y);
        EXPECT_EQ(p.width, c.expected.width);
        EXPECT_EQ(p.height, c.expected.height);
        EXPECT_LE(p.x + p.width, c.measures.pageWidth);
        EXPECT_LE(p.y + p.height, c.measures.pageHeight);
    }
    // An empty picture gives nothing to draw, whatever the options.
    const PageLayout empty = layOutPage(k600, {0, 0}, opts(Normal, true, true));
    EXPECT_EQ(empty.width, 0);
    EXPECT_EQ(empty.height, 0);
}

TEST(PageLayoutTest, ClipsValuesBeyondSixteenBitsInsteadOfWrapping) {
    using enum PictureSize;
    // A large-format page at 2400 dpi: 80000 × 100000 printable pixels, scale 26.
    constexpr PageMeasures large{2400, 2400, 0, 0, 80000, 100000, 96, 96};
    PageLayout p = layOutPage(large, {3000, 2000}, opts(Normal));
    EXPECT_EQ(p.width, kMaxPageCoordinate);  // 78000 would have wrapped to 12464
    EXPECT_EQ(p.height, 52000);
    EXPECT_EQ(p.x, 0);

    // A banner of 200000 pixels each way: the centred position lies beyond the hand-over.
    constexpr PageMeasures banner{2400, 2400, 0, 0, 200000, 200000, 96, 96};
    p = layOutPage(banner, {100, 100}, opts(Normal, false, true));
    EXPECT_EQ(p.x, kMaxPageCoordinate);  // (200000 - 2600) / 2 = 98700
    EXPECT_EQ(p.y, kMaxPageCoordinate);
    EXPECT_EQ(p.width, 2600);
    EXPECT_EQ(p.height, 2600);
}

}  // namespace
}  // namespace varnoset
