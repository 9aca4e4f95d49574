#include "capture/RubberBand.h"

#include <utility>

namespace varnoset {

RubberBand::RubberBand(DrawOutline drawOutline) : drawOutline_(std::move(drawOutline)) {}

void RubberBand::press(Qt::MouseButton button, QPoint pos) {
    AnchorX = CurrentX = pos.x();
    AnchorY = CurrentY = pos.y();
    if (button == Qt::LeftButton) {
        draw();
    }
}

void RubberBand::move(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos) {
    constexpr Qt::KeyboardModifiers kBlocking =
        Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    if (buttons != Qt::LeftButton || (modifiers & kBlocking)) {
        return;
    }
    Dragging = true;
    draw();
    CurrentX = pos.x();
    CurrentY = pos.y();
    draw();
}

void RubberBand::release() {
    if (!Dragging) {
        return;
    }
    draw();
    if (AnchorX > CurrentX) {
        std::swap(AnchorX, CurrentX);
    }
    if (AnchorY > CurrentY) {
        std::swap(AnchorY, CurrentY);
    }
    SelectedRect = {AnchorX, AnchorY, CurrentX, CurrentY};
    Dragging = false;
}

}  // namespace varnoset
