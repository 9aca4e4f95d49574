#include "capture/ScreenPixels.h"

#include <cmath>
#include <cstdlib>

namespace varnoset {

namespace {

int nearest(double v) {
    return static_cast<int>(std::nearbyint(v));
}

int up(double v) {
    // A quotient that should be whole may land a hair above it.
    return static_cast<int>(std::ceil(v - 1e-9));
}

int down(double v) {
    return static_cast<int>(std::floor(v + 1e-9));
}

}  // namespace

QPoint ScreenPixels::toPixels(QPointF logical) const {
    return {origin_.x() + nearest((logical.x() - origin_.x()) * ratio_),
            origin_.y() + nearest((logical.y() - origin_.y()) * ratio_)};
}

QPoint ScreenPixels::eventPixel(QPointF logical, std::optional<QPoint> pointer) const {
    const QPoint near = toPixels(logical);
    // Half a logical unit either way, in pixels.
    const int slack = up(ratio_ / 2);
    if (pointer && std::abs(pointer->x() - near.x()) <= slack &&
        std::abs(pointer->y() - near.y()) <= slack) {
        return *pointer;
    }
    return near;
}

QPoint ScreenPixels::toLogical(QPoint pixels) const {
    return {origin_.x() + nearest((pixels.x() - origin_.x()) / ratio_),
            origin_.y() + nearest((pixels.y() - origin_.y()) / ratio_)};
}

QSize ScreenPixels::toPixels(QSize logical) const {
    return {nearest(logical.width() * ratio_), nearest(logical.height() * ratio_)};
}

QSize ScreenPixels::logicalCovering(QSize pixels) const {
    return {up(pixels.width() / ratio_), up(pixels.height() / ratio_)};
}

QRect ScreenPixels::logicalCovering(const QRect& pixels) const {
    if (pixels.isEmpty()) {
        return {};
    }
    const int left = origin_.x() + down((pixels.left() - origin_.x()) / ratio_);
    const int top = origin_.y() + down((pixels.top() - origin_.y()) / ratio_);
    const int right = origin_.x() + up((pixels.left() + pixels.width() - origin_.x()) / ratio_);
    const int bottom = origin_.y() + up((pixels.top() + pixels.height() - origin_.y()) / ratio_);
    return QRect(left, top, right - left, bottom - top);
}

}  // namespace varnoset
