#include "capture/CaptureRect.h"

namespace varnoset {

CaptureRect clampToScreen(CaptureRect r, QSize screen) {
    const std::int32_t w = screen.width();
    const std::int32_t h = screen.height();
    if (r.left > w) {
        r.left = 0;
    }
    if (r.right > w) {
        r.right = w;
    }
    if (r.top > h) {
        r.top = 0;
    }
    if (r.bottom > h) {
        r.bottom = h;
    }
    if (r.left < 0) {
        r.left = 0;
    }
    if (r.top < 0) {
        r.top = 0;
    }
    if (r.left >= r.right) {
        r.left = 0;
        r.right = w;
    }
    if (r.top >= r.bottom) {
        r.top = 0;
        r.bottom = h;
    }
    return r;
}

}  // namespace varnoset
