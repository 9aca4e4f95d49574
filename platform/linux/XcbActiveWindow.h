#pragma once

#include <cstdint>

#include "platform/ActiveWindow.h"

struct xcb_connection_t;

namespace varnoset {

// The foreground window as the window manager announces it (_NET_ACTIVE_WINDOW on the root),
// else the top-level window that holds the input focus. Rectangles are in root coordinates.
class XcbActiveWindow final : public ActiveWindow {
public:
    // Qt's own connection; without one there is never a foreground window.
    XcbActiveWindow();
    explicit XcbActiveWindow(xcb_connection_t* connection);

    Handle foreground() const override;
    // The client rectangle grown by the frame the window manager draws around it
    // (_NET_FRAME_EXTENTS: left, right, top, bottom).
    QRect windowRect(Handle window) const override;
    // The window's own size (GetGeometry) at its position translated to the root
    // (TranslateCoordinates).
    QRect clientRect(Handle window) const override;

private:
    std::uint32_t atom(const char* name) const;
    std::uint32_t topLevelOf(std::uint32_t window) const;

    xcb_connection_t* connection_ = nullptr;
    std::uint32_t root_ = 0;
};

}  // namespace varnoset
