#include <gtest/gtest.h>

#include <QImage>
#include <vector>

#include "capture/DottedOutline.h"
#include "capture/RubberBand.h"

using namespace varnoset;

namespace {

struct Outline {
    QPoint anchor;
    QPoint current;
    bool operator==(const Outline&) const = default;
};

struct Recorder {
    std::vector<Outline> drawn;
    RubberBand band{[this](QPoint a, QPoint c) { drawn.push_back({a, c}); }};
};

// A still screen with a different colour at every pixel.
QImage stillScreen(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            image.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x + y) % 256));
        }
    }
    return image;
}

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;

}  // namespace

TEST(RubberBand, ALeftDragFromBottomRightToTopLeftSelectsTheNormalisedRectangle) {
    Recorder r;
    r.band.press(Qt::LeftButton, {300, 200});
    EXPECT_EQ(r.drawn, (std::vector<Outline>{{{300, 200}, {300, 200}}}));
    EXPECT_FALSE(r.band.dragging());

    r.band.move(Qt::LeftButton, kNone, {200, 120});
    r.band.move(Qt::LeftButton, kNone, {100, 50});
    EXPECT_TRUE(r.band.dragging());
    // Each move erases the band at its old corner, then draws it at the new one.
    const std::vector<Outline> expected{{{300, 200}, {300, 200}},
                                        {{300, 200}, {300, 200}},
                                        {{300, 200}, {200, 120}},
                                        {{300, 200}, {200, 120}},
                                        {{300, 200}, {100, 50}}};
    EXPECT_EQ(r.drawn, expected);

    r.band.release();
    EXPECT_EQ(r.drawn.back(), (Outline{{300, 200}, {100, 50}}));  // erased at the end
    EXPECT_EQ(r.band.selectedRect(), (CaptureRect{100, 50, 300, 200}));
    EXPECT_FALSE(r.band.dragging());
}

TEST(RubberBand, OnlyTheLeftButtonAloneWithoutModifiersDrags) {
    {
        // Right button: anchor set, nothing drawn, release selects nothing.
        Recorder r;
        r.band.press(Qt::RightButton, {40, 40});
        r.band.move(Qt::RightButton, kNone, {200, 200});
        r.band.release();
        EXPECT_TRUE(r.drawn.empty());
        EXPECT_EQ(r.band.selectedRect(), CaptureRect{});
        EXPECT_EQ(r.band.anchor(), QPoint(40, 40));
    }
    {
        // Two buttons held, or Shift, Ctrl or Alt held: the band stays where it is.
        Recorder r;
        r.band.press(Qt::LeftButton, {10, 10});
        r.band.move(Qt::LeftButton | Qt::RightButton, kNone, {50, 50});
        r.band.move(Qt::LeftButton, Qt::ShiftModifier, {60, 60});
        r.band.move(Qt::LeftButton, Qt::ControlModifier, {70, 70});
        r.band.move(Qt::LeftButton, Qt::AltModifier, {80, 80});
        EXPECT_EQ(r.drawn.size(), 1u);
        EXPECT_FALSE(r.band.dragging());
        r.band.release();
        EXPECT_EQ(r.band.selectedRect(), CaptureRect{});
    }
    {
        // Shift freezes the band mid-drag; moving on without it continues from the anchor.
        Recorder r;
        r.band.press(Qt::LeftButton, {10, 10});
        r.band.move(Qt::LeftButton, kNone, {30, 30});
        r.band.move(Qt::LeftButton, Qt::ShiftModifier, {90, 90});
        EXPECT_EQ(r.band.current(), QPoint(30, 30));
        r.band.move(Qt::LeftButton, kNone, {40, 60});
        EXPECT_EQ(r.drawn[r.drawn.size() - 2], (Outline{{10, 10}, {30, 30}}));
        r.band.release();
        EXPECT_EQ(r.band.selectedRect(), (CaptureRect{10, 10, 40, 60}));
    }
    {
        // A press alone, then a release: nothing selected.
        Recorder r;
        r.band.press(Qt::LeftButton, {5, 5});
        r.band.release();
        EXPECT_EQ(r.band.selectedRect(), CaptureRect{});
    }
}

TEST(DottedOutline, InvertsEveryOtherOutlinePixelOnceAndRestoresWhenDrawnAgain) {
    const QImage original = stillScreen(64, 48);
    QImage image = original;
    const QRect changed = drawDottedOutline(image, {40, 30}, {10, 5});
    EXPECT_EQ(changed, QRect(QPoint(10, 5), QPoint(40, 30)));

    int inverted = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb before = original.pixel(x, y);
            const QRgb after = image.pixel(x, y);
            const bool onOutline =
                QRect(10, 5, 31, 26).contains(x, y) && !QRect(11, 6, 29, 24).contains(x, y);
            if (after != before) {
                ++inverted;
                EXPECT_TRUE(onOutline) << x << "," << y;
                EXPECT_EQ(after & 0xFFFFFF, ~before & 0xFFFFFF) << x << "," << y;
                EXPECT_EQ(qAlpha(after), 255);
            }
        }
    }
    const int perimeter = 2 * 31 + 2 * 24;  // 110 pixels, each visited once
    EXPECT_EQ(inverted, perimeter / 2);
    // Neighbours along the top edge alternate; the top-left corner is a dot.
    EXPECT_NE(image.pixel(10, 5), original.pixel(10, 5));
    EXPECT_EQ(image.pixel(11, 5), original.pixel(11, 5));
    EXPECT_NE(image.pixel(12, 5), original.pixel(12, 5));

    drawDottedOutline(image, {10, 5}, {40, 30});
    EXPECT_EQ(image, original);

    // A single point, a line, and outlines reaching past the edges.
    for (const auto& [a, b] : std::vector<std::pair<QPoint, QPoint>>{
             {{3, 3}, {3, 3}}, {{0, 7}, {63, 7}}, {{-20, -20}, {30, 30}}, {{60, 40}, {70, 50}}}) {
        drawDottedOutline(image, a, b);
        EXPECT_NE(image, original);
        drawDottedOutline(image, a, b);
        EXPECT_EQ(image, original);
    }
}

TEST(DottedOutline, AnyDragLeavesTheStillScreenAsItWas) {
    const QImage original = stillScreen(80, 60);
    QImage image = original;
    RubberBand band([&image](QPoint a, QPoint c) { drawDottedOutline(image, a, c); });
    band.press(Qt::LeftButton, {50, 40});
    for (const QPoint p : {QPoint(52, 41), QPoint(20, 10), QPoint(79, 59), QPoint(0, 0),
                           QPoint(90, -5), QPoint(30, 30)}) {
        band.move(Qt::LeftButton, kNone, p);
        EXPECT_NE(image, original);
    }
    band.move(Qt::LeftButton, Qt::ShiftModifier, {5, 5});
    band.release();
    EXPECT_EQ(image, original);
    EXPECT_EQ(band.selectedRect(), (CaptureRect{30, 30, 50, 40}));
}
