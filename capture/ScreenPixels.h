#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <optional>

namespace varnoset {

// Between Qt's logical coordinates and the screen's own pixels on one monitor. Qt keeps the
// corner of each monitor in screen pixels and measures distances from it in logical units, the
// screen pixels divided by the monitor's scale factor (1, 1.25, 1.5, 2, ...).
class ScreenPixels {
public:
    // The monitor's corner (the same in both systems) and its scale factor.
    ScreenPixels(QPoint origin, double ratio) : origin_(origin), ratio_(ratio) {}

    double ratio() const { return ratio_; }
    // The screen pixel at a logical position, to the nearest pixel (halves to the even one).
    // Qt makes the logical positions of mouse events from whole screen pixels, so this gives
    // back exactly the pixel the pointer is on, at any scale.
    QPoint toPixels(QPointF logical) const;
    // The screen pixel of a mouse event that Qt hands over in whole logical units, which can miss
    // the pixel by one: the pointer's position as the display reports it when that lies within
    // the rounding of the event's, else the nearest pixel to the event's position.
    QPoint eventPixel(QPointF logical, std::optional<QPoint> pointer) const;
    // The logical position nearest to a screen pixel.
    QPoint toLogical(QPoint pixels) const;
    // A logical size in screen pixels, to the nearest pixel (halves to the even one).
    QSize toPixels(QSize logical) const;
    // The smallest logical size whose screen pixels cover the size.
    QSize logicalCovering(QSize pixels) const;
    // The smallest logical rectangle whose screen pixels include every pixel of the rectangle.
    QRect logicalCovering(const QRect& pixels) const;

private:
    QPoint origin_;
    double ratio_;
};

}  // namespace varnoset
