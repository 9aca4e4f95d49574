#pragma once

#include <QRect>
#include <QSize>
#include <cstdint>
#include <vector>

#include "imaging/Picture.h"
#include "platform/ActiveWindow.h"
#include "platform/Screen.h"
#include "tests/support/FakeLog.h"

namespace varnoset::test {

// Each pixel holds its own screen position (blue = x, green = y, red = x + y, modulo 256), so a
// picture shows which part of the screen it came from.
inline Picture screenPixels(const QRect& rect) {
    Picture picture(rect.width(), rect.height(), PixelFormat::Device);
    for (int y = 0; y < rect.height(); ++y) {
        for (int x = 0; x < rect.width(); ++x) {
            std::uint8_t* p = picture.scanLine(y) + 4 * x;
            p[0] = static_cast<std::uint8_t>(rect.x() + x);
            p[1] = static_cast<std::uint8_t>(rect.y() + y);
            p[2] = static_cast<std::uint8_t>(rect.x() + x + rect.y() + y);
        }
    }
    return picture;
}

// A screen of screenPixels that logs and keeps every grab.
class FakeScreen final : public Screen {
public:
    explicit FakeScreen(Log& log, QSize size = {1024, 768}) : log_(log), size_(size) {}
    QSize size() const override { return size_; }
    int bitsPerPixel() const override { return 32; }
    QSize dotsPerInch() const override { return {96, 96}; }
    Picture grab(const QRect& rect) override {
        grabs.push_back(rect);
        log_.add(QStringLiteral("grab %1,%2 %3x%4")
                     .arg(rect.x())
                     .arg(rect.y())
                     .arg(rect.width())
                     .arg(rect.height()));
        return screenPixels(rect);
    }
    std::vector<QRect> grabs;

private:
    Log& log_;
    QSize size_;
};

// One framed window in the foreground.
class FakeActiveWindow final : public ActiveWindow {
public:
    Handle window = 0x400001;
    QRect frame{100, 200, 402, 325};
    QRect client{101, 220, 400, 300};
    Handle foreground() const override { return window; }
    QRect windowRect(Handle w) const override { return w == window ? frame : QRect(); }
    QRect clientRect(Handle w) const override { return w == window ? client : QRect(); }
    bool locatable = true;
    bool canLocate() const override { return locatable; }
};

}  // namespace varnoset::test
