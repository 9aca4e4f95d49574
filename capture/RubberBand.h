#pragma once

#include <QPoint>
#include <Qt>
#include <cstdint>
#include <functional>

#include "capture/CaptureRect.h"

namespace varnoset {

// The mouse rules of the rectangle overlay, apart from its window. Every drawing is one outline
// from the anchor to the current corner with an inverting pen, so drawing the same outline twice
// erases it; the drawing itself is the caller's.
class RubberBand {
public:
    using DrawOutline = std::function<void(QPoint anchor, QPoint current)>;

    explicit RubberBand(DrawOutline drawOutline);

    // Any button sets the anchor and the current corner; the left one also draws the outline.
    void press(Qt::MouseButton button, QPoint pos);
    // Moves the band only while exactly the left button is held and no Shift, Ctrl or Alt.
    void move(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);
    // Any release: after a drag, erases the band and takes the normalised selection. The overlay
    // ends at every release, whatever this did.
    void release();

    bool dragging() const { return Dragging; }
    QPoint anchor() const { return {AnchorX, AnchorY}; }
    QPoint current() const { return {CurrentX, CurrentY}; }
    // All zero until a drag has ended.
    const CaptureRect& selectedRect() const { return SelectedRect; }

private:
    void draw() const { drawOutline_(anchor(), current()); }

    DrawOutline drawOutline_;
    bool Dragging = false;
    std::int32_t AnchorX = 0;
    std::int32_t CurrentX = 0;
    std::int32_t AnchorY = 0;
    std::int32_t CurrentY = 0;
    CaptureRect SelectedRect;
};

}  // namespace varnoset
