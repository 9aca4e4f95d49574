#include <gtest/gtest.h>

#include "app/MonitorLayout.h"

using namespace varnoset;

namespace {

// Two 1920 x 1080 monitors side by side, the right one primary, as Qt describes them at a scale:
// each corner in screen pixels, each size in logical units.
MonitorLayout sideBySide(double ratio) {
    const QSize size(qRound(1920 / ratio), qRound(1080 / ratio));
    return MonitorLayout(
        {{QRect(QPoint(0, 0), size), ratio}, {QRect(QPoint(1920, 0), size), ratio}}, 1);
}

}  // namespace

TEST(MonitorLayout, AWindowOffEveryMonitorIsCentredOnThePrimaryOneAndOthersStay) {
    struct Case {
        double ratio;
        QPoint corner;  // logical
        QSize window;   // logical
        QPoint placed;  // logical
    };
    const Case cases[] = {
        {1.0, {-5000, 3000}, {443, 421}, {2658, 330}},
        {1.0, {3840, 0}, {443, 421}, {2658, 330}},
        {1.0, {1000, -421}, {443, 421}, {2658, 330}},
        {1.0, {1900, 100}, {443, 421}, {1900, 100}},    // across the seam
        {1.0, {100, 100}, {443, 421}, {100, 100}},      // on the other monitor
        {1.0, {3839, 1079}, {443, 421}, {3839, 1079}},  // one pixel still shows
        // At 2 the window is 886 x 842 screen pixels: centred at (2437, 119) in screen pixels.
        {2.0, {-5000, 3000}, {443, 421}, {2178, 60}},
        {2.0, {1700, 0}, {443, 421}, {1700, 0}},   // reaches into the right monitor
        {2.0, {1500, 0}, {400, 421}, {2200, 60}},  // between the monitors' logical areas
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sideBySide(c.ratio).keepVisible(c.corner, c.window), c.placed)
            << c.ratio << " " << c.corner.x() << "," << c.corner.y();
    }
}

TEST(MonitorLayout, StoredPositionsAreScreenPixels) {
    const MonitorLayout two = sideBySide(2.0);
    EXPECT_EQ(two.toPixels(QPoint(2020, 50)), QPoint(2120, 100));
    EXPECT_EQ(two.toLogical(QPoint(2120, 100)), QPoint(2020, 50));
    EXPECT_EQ(two.toPixels(QPoint(100, 50)), QPoint(200, 100));
    EXPECT_EQ(two.toLogical(QPoint(200, 100)), QPoint(100, 50));
    // Off every monitor, by the primary one's corner and scale, both ways alike.
    EXPECT_EQ(two.toLogical(two.toPixels(QPoint(-5000, 3000))), QPoint(-5000, 3000));
    EXPECT_EQ(two.toPixels(QSize(443, 421)).width, 886);

    const PixelRect primary = sideBySide(1.5).primaryPixels();
    EXPECT_EQ(QRect(primary.left, primary.top, primary.width, primary.height),
              QRect(1920, 0, 1920, 1080));
    const PixelRect fallback = MonitorLayout({}, 3).primaryPixels();
    EXPECT_EQ(QRect(fallback.left, fallback.top, fallback.width, fallback.height),
              QRect(0, 0, 1920, 1080));
}

TEST(MonitorLayout, AStoredCornerNeedsTheWindowsSizeOnlyWhenItIsNotOnAMonitor) {
    struct Case {
        double ratio;
        std::optional<int> left;  // stored, screen pixels
        std::optional<int> top;
        QPoint placed;  // logical
        bool sized;     // the window's size was asked for
    };
    const Case cases[] = {
        {1.0, 100, 200, {100, 200}, false},
        {1.0, 3839, 1079, {3839, 1079}, false},
        {2.0, 2120, 100, {2020, 50}, false},
        {1.0, -5000, 3000, {2658, 330}, true},
        {1.0, -100, 100, {-100, 100}, true},  // off the monitors, the window reaching onto one
        {1.0, std::nullopt, std::nullopt, {2658, 330}, true},
        // The store broke off between the two coordinates: the other one is the centred one.
        {1.0, 100, std::nullopt, {100, 330}, true},
        {2.0, std::nullopt, std::nullopt, {2178, 60}, true},
    };
    for (const Case& c : cases) {
        bool sized = false;
        const QPoint placed = sideBySide(c.ratio).placeStored(c.left, c.top, [&] {
            sized = true;
            return QSize(443, 421);
        });
        EXPECT_EQ(placed, c.placed)
            << c.ratio << " " << c.left.value_or(-1) << "," << c.top.value_or(-1);
        EXPECT_EQ(sized, c.sized) << c.ratio << " " << c.left.value_or(-1);
    }
}
