#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/Error.h"
#include "output/PageLayout.h"

namespace varnoset {
namespace {

// A4-like page of a 600-dpi printer with a 100-pixel physical offset: W = 4800, H = 6700.
constexpr PageMeasures k600{600, 600, 100, 100, 4900, 6800, 96, 96};
// The same page measured by Qt for a 1200-dpi CUPS queue.
constexpr PageMeasures k1200{1200, 1200, 200, 200, 9517, 13633, 96, 96};
constexpr PageMeasures k1200Landscape{1200, 1200, 200, 200, 13633, 9517, 96, 96};

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

TEST(PageLayoutTest, PlacesThePictureAsTheOptionsSay) {
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
        {"width overflow keeping proportions shrinks both sides by one factor",
         k600, {800, 600}, opts(Normal, true), {50, 50, 4800, 3600}, 6700},
        {"width overflow without keeping proportions only cuts w",
         k600, {800, 600}, opts(Normal), {50, 50, 4800, 4200}, 6700},
        {"height overflow keeping proportions",
         k600, {500, 1000}, opts(Normal, true), {50, 50, 3350, 6700}, 6700},
        {"height overflow without keeping proportions stretches",
         k600, {500, 1000}, opts(Normal), {50, 50, 3500, 6700}, 6700},
        {"overflowing both ways, the tighter side decides",
         k600, {800, 1100}, opts(Normal, true), {50, 50, 4800, 6600}, 6700},
        {"page size fills the usable area",
         k600, {640, 480}, opts(Page), {50, 50, 4800, 6700}, 6700},
        {"page size centred finds no slack; the half offset would reach into the footer band",
         k600, {10, 10}, opts(Page, false, true, 2), {50, 0, 4800, 6700 - 3 * 84}, 6700 - 3 * 84},
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
        // 1920 × 13 = 24960 printer pixels: a full-screen capture is 16:9 on A4 in both
        // orientations, at normal and half size.
        {"1200 dpi full screen keeping proportions, portrait",
         k1200, {1920, 1080}, opts(Normal, true), {100, 100, 9317, 5241}, 13433},
        {"1200 dpi full screen keeping proportions, half size",
         k1200, {1920, 1080}, opts(Half, true), {100, 100, 9317, 5241}, 13433},
        {"the first start's options: landscape, centred, keeping proportions",
         k1200Landscape, {1920, 1080}, opts(Normal, true, true), {100, 880, 13433, 7556}, 9317},
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

// Paper in millimetres with its margins, as a driver at that resolution reports it: the offset is
// the left and top margin, the printable size what the margins leave. Landscape turns it.
struct Paper {
    double width, height, left, top, right, bottom;
};

PageMeasures measuresOf(Paper p, int dpi, bool landscape) {
    if (landscape) {
        p = {p.height, p.width, p.top, p.right, p.bottom, p.left};
    }
    const auto px = [dpi](double mm) { return static_cast<int>(mm / 25.4 * dpi); };
    return {dpi,
            dpi,
            px(p.left),
            px(p.top),
            px(p.width - p.left - p.right),
            px(p.height - p.top - p.bottom),
            96,
            96};
}

TEST(PageLayoutTest, KeepsTheShapeOnEveryScreenPaperAndPrinter) {
    const QSize screens[] = {{1920, 1080}, {1366, 768}, {1280, 1024}, {3840, 2160},
                             {5000, 300},  {300, 5000}, {1, 1},       {32767, 1}};
    const int resolutions[] = {300, 600, 1200};
    const Paper papers[] = {{210, 297, 3.4, 6.35, 3.4, 6.35},         // A4
                            {215.9, 279.4, 6.35, 6.35, 6.35, 6.35}};  // Letter
    for (int row = 0; row < 8 * 3 * 2 * 2 * 3 * 2; ++row) {
        const QSize screen = screens[row % 8];
        const int dpi = resolutions[row / 8 % 3];
        const PageMeasures m = measuresOf(papers[row / 24 % 2], dpi, row / 48 % 2 == 1);
        const auto size = static_cast<PictureSize>(row / 96 % 3);
        const bool keep = row / 288 == 1;
        const int footer = (row + row / 8) % 4;
        SCOPED_TRACE(testing::Message()
                     << "row " << row << ": " << screen.width() << "x" << screen.height() << " on "
                     << m.pageWidth << "x" << m.pageHeight << " at " << dpi << " dpi");
        const PageLayout p = layOutPage(m, screen, opts(size, keep, row % 3 == 0, footer));
        const int W = p.usableWidth;
        const int H = p.usableHeight;

        // Never nothing, never beyond the printable area, never into the footer band.
        EXPECT_GE(std::min(p.x, p.y), 0);
        EXPECT_GE(std::min(p.width, p.height), 1);
        EXPECT_LE(p.x + p.width, m.pageWidth);
        EXPECT_LE(p.y + p.height, footer > 0 ? H : m.pageHeight);

        // The picture's printed size: its screen size at the printer's scale, maybe halved.
        const std::int64_t divisor = size == PictureSize::Half ? 2 : 1;
        const std::int64_t w0 = std::int64_t{screen.width()} * (dpi / 96 + 1) / divisor;
        const std::int64_t h0 = std::int64_t{screen.height()} * (dpi / 96 + 1) / divisor;
        const double shape = double(screen.width()) / screen.height();
        if (size == PictureSize::Page) {
            EXPECT_EQ(p.pictureRect().size(), QSize(W, H));
        } else if (!keep || (w0 <= W && h0 <= H)) {
            // Each overflowing side is cut to the page; a side that fits keeps its size.
            EXPECT_EQ(p.width, std::min<std::int64_t>(w0, W));
            EXPECT_EQ(p.height, std::min<std::int64_t>(h0, H));
        } else {
            // The largest picture of the screen's shape on the page, to one printer pixel.
            EXPECT_TRUE(p.width == W || p.height == H);
            EXPECT_TRUE(std::abs(p.height - p.width / shape) <= 1.0 ||
                        std::abs(p.width - p.height * shape) <= 1.0)
                << p.width << "x" << p.height;
        }
    }
}

TEST(PageLayoutTest, RefusesPagesThatCannotBePrinted) {
    const std::string unusable = "The printer reports an unusable page";
    const std::string tooSmall = "The page is too small for the picture";
    const std::pair<PageMeasures, std::string> cases[] = {
        {{0, 0, 100, 100, 4900, 6800, 96, 96}, unusable},
        {{-600, 600, 100, 100, 4900, 6800, 96, 96}, unusable},
        {{2'000'000'000, 600, 0, 0, 4900, 6800, 96, 96}, unusable},
        {{600, 600, 0, 0, 0, 0, 96, 96}, unusable},
        {{600, 600, 0, 0, -4900, 6800, 96, 96}, unusable},
        {{600, 600, 0, 0, 2'000'000'000, 6800, 96, 96}, unusable},
        {{600, 600, -100, 0, 4900, 6800, 96, 96}, unusable},
        {{600, 600, 4900, 0, 4900, 6800, 96, 96}, tooSmall},
        // A label at 600 dpi: three footer lines reserve 4 × 84 of its 300 pixels.
        {{600, 600, 0, 0, 600, 300, 96, 96}, tooSmall + " and its footer lines"},
    };
    for (const auto& [measures, message] : cases) {
        try {
            layOutPage(measures, {1920, 1080}, opts(PictureSize::Normal, true, true, 3));
            ADD_FAILURE() << "laid out for " << message;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()).rfind(message, 0), 0u) << e.what();
        }
    }
    // Without footer lines the label takes the picture; a screen whose resolution cannot be
    // measured counts as one dot per inch; an empty picture gives nothing to draw.
    EXPECT_EQ(
        layOutPage({600, 600, 0, 0, 600, 300, 0, 0}, {1920, 1080}, opts(PictureSize::Normal, true))
            .pictureRect(),
        QRect(0, 0, 533, 300));
    EXPECT_TRUE(layOutPage(k600, {0, 0}, opts(PictureSize::Normal, true)).pictureRect().isEmpty());
}

}  // namespace
}  // namespace varnoset
