#pragma once

#include <QRect>
#include <cstdint>

namespace varnoset {

// The window the user works in, and where it lies on the screen.
class ActiveWindow {
public:
    using Handle = std::uint64_t;  // 0: no window

    virtual ~ActiveWindow() = default;
    // The foreground window at this moment, or 0 when there is none.
    virtual Handle foreground() const = 0;
    // The window with its frame and caption, in screen coordinates; an empty QRect at (0, 0) when
    // the window cannot be asked.
    virtual QRect windowRect(Handle window) const = 0;
    // The window's client area in screen coordinates; an empty QRect at (0, 0) when the window
    // cannot be asked.
    virtual QRect clientRect(Handle window) const = 0;
    // False where no program may learn another's window or its place (Wayland).
    virtual bool canLocate() const { return true; }
};

}  // namespace varnoset
