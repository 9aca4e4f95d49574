#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <functional>
#include <optional>
#include <vector>

#include "app/settings/OptionRules.h"
#include "capture/ScreenPixels.h"

namespace varnoset {

// One monitor as Qt describes it: its geometry (the corner in screen pixels, the size in logical
// units) and its scale factor.
struct Monitor {
    QRect geometry;
    double ratio = 1.0;
};

// The monitors of the desktop, for placing windows: positions in Qt's logical coordinates on one
// side, the stored positions in screen pixels on the other.
class MonitorLayout {
public:
    // The monitors and the index of the primary one; without any, one 1920 x 1080 at scale 1.
    MonitorLayout(std::vector<Monitor> monitors, std::size_t primary);
    // The desktop's monitors as Qt lists them, the primary one marked.
    static MonitorLayout current();

    const Monitor& primary() const { return monitors_[primary_]; }
    // The primary monitor in screen pixels.
    PixelRect primaryPixels() const;

    // A logical point in screen pixels, by the monitor it lies on (else the primary one).
    QPoint toPixels(QPoint logical) const;
    // A position in screen pixels as a logical point, by the monitor it lies on (else the
    // primary one).
    QPoint toLogical(QPoint pixels) const;
    // A logical size in screen pixels at the primary monitor's scale.
    PixelSize toPixels(QSize logical) const;

    // The logical corner that centres a window of that logical size on the primary monitor.
    QPoint centred(QSize size) const;
    // The logical corner for a window of that logical size: the corner as it is when any part of
    // the window lies on a monitor, else the centred one.
    QPoint keepVisible(QPoint corner, QSize size) const;
    // The logical corner for a window at a stored corner in screen pixels: a coordinate the store
    // lacks (it broke off before) is the centred one, and a corner that leaves the window on no
    // monitor is centred. The window's logical size is asked for only when that needs it: with a
    // whole corner on a monitor, the window shows whatever its size.
    QPoint placeStored(std::optional<int> left, std::optional<int> top,
                       const std::function<QSize()>& size) const;

private:
    ScreenPixels scaleOf(const Monitor& monitor) const;
    QRect pixelArea(const Monitor& monitor) const;

    std::vector<Monitor> monitors_;
    std::size_t primary_ = 0;
};

}  // namespace varnoset
