#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <optional>

#include "imaging/Picture.h"

namespace varnoset {

// The primary display: its size (read afresh at every call) and its pixels.
class Screen {
public:
    virtual ~Screen() = default;
    virtual QSize size() const = 0;
    // Bits per pixel of the display's own pixel format (32 on a depth-24 X display).
    virtual int bitsPerPixel() const = 0;
    // Logical dots per inch of the primary screen.
    virtual QSize dotsPerInch() const = 0;
    // Copies the pixels of a rectangle that lies on the screen into a picture in the display's
    // format (PixelFormat::Device).
    virtual Picture grab(const QRect& rect) = 0;
    // Where the pointer was at the pointer event of that time (a mouse event's timestamp), in
    // screen pixels, when the display can say.
    virtual std::optional<QPoint> pointerPosition(std::uint64_t /*eventTime*/) const {
        return std::nullopt;
    }
    // Whether a window is placed over the whole screen by its own geometry (X11). Where the
    // compositor places every window (Wayland), a full-screen window covers the output instead.
    virtual bool placesOwnWindows() const { return true; }
};

}  // namespace varnoset
