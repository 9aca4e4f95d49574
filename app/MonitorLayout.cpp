#include "app/MonitorLayout.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace varnoset {

MonitorLayout::MonitorLayout(std::vector<Monitor> monitors, std::size_t primary)
    : monitors_(std::move(monitors)), primary_(primary) {
    if (monitors_.empty()) {
        monitors_.push_back({QRect(0, 0, 1920, 1080), 1.0});
    }
    if (primary_ >= monitors_.size()) {
        primary_ = 0;
    }
}

MonitorLayout MonitorLayout::current() {
    std::vector<Monitor> monitors;
    std::size_t primary = 0;
    const QScreen* primaryScreen = QGuiApplication::primaryScreen();
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen == primaryScreen) {
            primary = monitors.size();
        }
        monitors.push_back({screen->geometry(), screen->devicePixelRatio()});
    }
    return MonitorLayout(std::move(monitors), primary);
}

ScreenPixels MonitorLayout::scaleOf(const Monitor& monitor) const {
    return ScreenPixels(monitor.geometry.topLeft(), monitor.ratio);
}

QRect MonitorLayout::pixelArea(const Monitor& monitor) const {
    return QRect(monitor.geometry.topLeft(), scaleOf(monitor).toPixels(monitor.geometry.size()));
}

PixelRect MonitorLayout::primaryPixels() const {
    const QRect area = pixelArea(primary());
    return {area.x(), area.y(), area.width(), area.height()};
}

QPoint MonitorLayout::toPixels(QPoint logical) const {
    const auto on = std::find_if(monitors_.begin(), monitors_.end(),
                                 [&](const Monitor& m) { return m.geometry.contains(logical); });
    return scaleOf(on != monitors_.end() ? *on : primary()).toPixels(QPointF(logical));
}

QPoint MonitorLayout::toLogical(QPoint pixels) const {
    const auto on = std::find_if(monitors_.begin(), monitors_.end(),
                                 [&](const Monitor& m) { return pixelArea(m).contains(pixels); });
    return scaleOf(on != monitors_.end() ? *on : primary()).toLogical(pixels);
}

PixelSize MonitorLayout::toPixels(QSize logical) const {
    const QSize pixels = scaleOf(primary()).toPixels(logical);
    return {pixels.width(), pixels.height()};
}

QPoint MonitorLayout::keepVisible(QPoint corner, QSize size) const {
    const QRect window(corner, size);
    const bool seen = std::any_of(monitors_.begin(), monitors_.end(),
                                  [&](const Monitor& m) { return m.geometry.intersects(window); });
    return seen ? corner : centred(size);
}

QPoint MonitorLayout::placeStored(std::optional<int> left, std::optional<int> top,
                                  const std::function<QSize()>& size) const {
    if (left && top) {
        const QPoint corner = toLogical(QPoint(*left, *top));
        if (std::any_of(monitors_.begin(), monitors_.end(),
                        [&](const Monitor& m) { return m.geometry.contains(corner); })) {
            return corner;
        }
    }
    const QSize window = size();
    const WindowPlace centred = centredPlace(primaryPixels(), toPixels(window));
    const QPoint corner(left.value_or(centred.left), top.value_or(centred.top));
    return keepVisible(toLogical(corner), window);
}

QPoint MonitorLayout::centred(QSize size) const {
    const WindowPlace place = centredPlace(primaryPixels(), toPixels(size));
    return toLogical(QPoint(place.left, place.top));
}

}  // namespace varnoset
