#include <gtest/gtest.h>

#include "capture/ScreenPixels.h"

using namespace varnoset;

TEST(ScreenPixels, EveryScreenPixelComesBackExactlyFromTheLogicalPositionQtMakesOfIt) {
    for (const double ratio : {1.0, 1.25, 1.5, 2.0}) {
        for (const QPoint origin : {QPoint(0, 0), QPoint(1920, 0), QPoint(-1366, 200)}) {
            const ScreenPixels pixels(origin, ratio);
            for (int p = 0; p < 4000; ++p) {
                const QPoint pixel = origin + QPoint(p, p / 2);
                // A mouse position: its distance from the monitor's corner divided by the scale.
                const QPointF logical = QPointF(origin) + QPointF(pixel - origin) / ratio;
                ASSERT_EQ(pixels.toPixels(logical), pixel) << ratio << " at " << p;
            }
            EXPECT_EQ(pixels.toLogical(origin + QPoint(960, 540)),
                      origin + QPoint(qRound(960 / ratio), qRound(540 / ratio)))
                << ratio;
        }
    }
}

TEST(ScreenPixels, AMouseEventInWholeLogicalUnitsTakesThePointersPixelWhenItIsThere) {
    struct Case {
        double ratio;
        QPoint pixel;  // where the pointer was
        QPoint moved;  // where the display says it is now
        QPoint taken;
    };
    const Case cases[] = {
        {2.0, {1601, 201}, {1601, 201}, {1601, 201}},
        {2.0, {2101, 552}, {2101, 552}, {2101, 552}},
        {1.5, {1801, 401}, {1801, 401}, {1801, 401}},
        {1.5, {1700, 301}, {1700, 301}, {1700, 301}},
        {1.25, {3, 7}, {3, 7}, {3, 7}},
        // The pointer has moved on since the event: the event's own position, to a pixel.
        {2.0, {1601, 201}, {1650, 201}, {1602, 202}},
        {1.5, {1801, 401}, {1801, 440}, {1802, 400}},
    };
    for (const Case& c : cases) {
        const ScreenPixels pixels(QPoint(0, 0), c.ratio);
        // Qt rounds a mouse event's position to whole logical units.
        const QPointF event = (QPointF(c.pixel) / c.ratio).toPoint();
        EXPECT_EQ(pixels.eventPixel(event, c.moved), c.taken) << c.ratio;
    }
    EXPECT_EQ(ScreenPixels(QPoint(0, 0), 2.0).eventPixel(QPointF(801, 101), std::nullopt),
              QPoint(1602, 202));
}

TEST(ScreenPixels, LogicalAreasCoverTheirScreenPixels) {
    struct Case {
        double ratio;
        QSize screen;
        QSize window;
        QRect band;   // screen pixels
        QRect dirty;  // logical
    };
    const Case cases[] = {
        {1.0, {1920, 1080}, {1920, 1080}, {3, 3, 2, 2}, {3, 3, 2, 2}},
        {2.0, {1920, 1080}, {960, 540}, {3, 3, 2, 2}, {1, 1, 2, 2}},
        {2.0, {3840, 1080}, {1920, 540}, {4, 4, 1, 1}, {2, 2, 1, 1}},
        {1.5, {1920, 1080}, {1280, 720}, {3, 3, 2, 2}, {2, 2, 2, 2}},
        {1.5, {1366, 768}, {911, 512}, {0, 0, 3, 3}, {0, 0, 2, 2}},
        {1.25, {1920, 1080}, {1536, 864}, {5, 6, 1, 1}, {4, 4, 1, 2}},
    };
    for (const Case& c : cases) {
        const ScreenPixels pixels(QPoint(0, 0), c.ratio);
        EXPECT_EQ(pixels.logicalCovering(c.screen), c.window) << c.ratio;
        const QSize back = pixels.toPixels(c.window);
        EXPECT_GE(back.width(), c.screen.width()) << c.ratio;
        EXPECT_GE(back.height(), c.screen.height()) << c.ratio;
        EXPECT_EQ(pixels.logicalCovering(c.band), c.dirty) << c.ratio;
    }
    EXPECT_EQ(ScreenPixels(QPoint(0, 0), 1.5).logicalCovering(QRect()), QRect());
}
