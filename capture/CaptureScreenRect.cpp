#include "capture/CaptureScreenRect.h"

#include "platform/Screen.h"

namespace varnoset {

Picture CaptureScreenRect(Screen& screen, CaptureRect rect) {
    return screen.grab(clampToScreen(rect, screen.size()).toQRect());
}

}  // namespace varnoset
