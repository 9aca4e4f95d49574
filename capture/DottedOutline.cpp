#include "capture/DottedOutline.h"

#include <algorithm>
#include <cstdint>

namespace varnoset {

namespace {

// Walks the outline once, clockwise from the top-left corner, visiting every pixel exactly once.
template <typename Visit>
void walkOutline(int x0, int y0, int x1, int y1, Visit visit) {
    for (int x = x0; x <= x1; ++x) {
        visit(x, y0);
    }
    for (int y = y0 + 1; y <= y1; ++y) {
        visit(x1, y);
    }
    if (y1 > y0) {
        for (int x = x1 - 1; x >= x0; --x) {
            visit(x, y1);
        }
    }
    if (x1 > x0) {
        for (int y = y1 - 1; y > y0; --y) {
            visit(x0, y);
        }
    }
}

}  // namespace

QRect drawDottedOutline(QImage& image, QPoint a, QPoint b) {
    const int x0 = std::min(a.x(), b.x());
    const int x1 = std::max(a.x(), b.x());
    const int y0 = std::min(a.y(), b.y());
    const int y1 = std::max(a.y(), b.y());
    const QRect bounds = image.rect();
    if (image.depth() != 32) {
        return {};
    }
    int step = 0;
    walkOutline(x0, y0, x1, y1, [&](int x, int y) {
        const bool dot = step++ % 2 == 0;
        if (dot && bounds.contains(x, y)) {
            auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
            line[x] ^= 0x00FFFFFFu;  // NOT (black XOR pixel): the colour inverted, alpha kept
        }
    });
    return QRect(QPoint(x0, y0), QPoint(x1, y1)).intersected(bounds);
}

}  // namespace varnoset
