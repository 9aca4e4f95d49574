#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/Screen.h"

struct xcb_connection_t;

namespace varnoset {

class XcbPointerEvents;
class XcbShmPool;

// The X screen's root window as the screen: its size asked of the server at every call, its
// pixels read with GetImage, through MIT-SHM shared memory when the server offers it. There a grab
// of a rectangle wholly on the screen, in the display's usual layout, keeps its pixels in the
// segment the server wrote them into.
class XcbScreen final : public Screen {
public:
    // Qt's own connection; without one (offscreen) the size is empty and grab() throws.
    XcbScreen();
    explicit XcbScreen(xcb_connection_t* connection);
    ~XcbScreen() override;

    QSize size() const override;
    // Bits per pixel of the pixmap format of the root window's depth (32 on depth 24).
    int bitsPerPixel() const override;
    QSize dotsPerInch() const override;
    // The part of the rectangle that lies on the root window, in the display's format; what lies
    // beyond it stays black. Throws varnoset::Error when the server cannot be read.
    Picture grab(const QRect& rect) override;
    // The root position of the pointer event of that server time, as the server sent it; for an
    // event not seen, QueryPointer on the root window (where the pointer is now).
    std::optional<QPoint> pointerPosition(std::uint64_t eventTime) const override;

    // Whether grabs go through shared memory (asked of the server at the first grab).
    bool usesSharedMemory();

private:
    struct Format;
    void copyInto(Picture& picture, QPoint at, const std::uint8_t* data, int width, int height,
                  std::size_t length) const;
    // The rectangle, of which the area lies on the root window; nothing when the server could
    // not write into shared memory.
    std::optional<Picture> grabShm(const QRect& rect, const QRect& area);
    // Copy the area of the root window to the position `at` of the picture.
    void grabPlain(Picture& picture, const QRect& area, QPoint at);

    xcb_connection_t* connection_ = nullptr;
    std::uint32_t root_ = 0;
    std::uint8_t rootDepth_ = 0;
    std::unique_ptr<Format> format_;
    std::optional<bool> useShm_;  // not known until first wanted
    std::unique_ptr<XcbShmPool> shm_;
    std::unique_ptr<XcbPointerEvents> pointerEvents_;  // kept and grown, so repeated grabs reuse it
};

}  // namespace varnoset
