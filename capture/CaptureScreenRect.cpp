#include "capture/CaptureScreenRect.h"

#include "platform/Screen.h"

namespace varnoset {

Picture CaptureScreenRect(Screen& screen, CaptureRect rect) {
    return screen.grab(clampToScreen(rect, screen.size()).toQRect());
}

Picture CaptureStillRect(const Picture& still, CaptureRect rect) {
    const QRect area = clampToScreen(rect, QSize(still.width(), still.height())).toQRect();
    return copyArea(still, area.x(), area.y(), area.width(), area.height());
}

}  // namespace varnoset
