#pragma once

#include <QRect>
#include <QSize>
#include <cstdint>

namespace varnoset {

// A rectangle of screen pixels; Right and Bottom are exclusive, so the picture is Right - Left
// pixels wide and Bottom - Top pixels high.
struct CaptureRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    static CaptureRect fromQRect(const QRect& rect) {
        return {rect.x(), rect.y(), rect.x() + rect.width(), rect.y() + rect.height()};
    }
    // Meaningful once clamped: then Right > Left and Bottom > Top.
    QRect toQRect() const { return QRect(left, top, right - left, bottom - top); }

    friend bool operator==(const CaptureRect&, const CaptureRect&) = default;
};

// Brings a rectangle onto a screen of the given size, in this order: a Left beyond the right
// edge becomes 0 and a Right beyond it the edge; the same for Top and Bottom; negative Left and
// Top become 0; a rectangle left empty in either direction takes the whole width or height.
// So a rectangle wholly off the screen, or an empty one, yields the whole screen.
CaptureRect clampToScreen(CaptureRect rect, QSize screen);

}  // namespace varnoset
