#pragma once

#include "platform/ActiveWindow.h"

namespace varnoset {

// The active window of a Wayland session: no client may learn another's window or its place.
class UnlocatableActiveWindow final : public ActiveWindow {
public:
    Handle foreground() const override { return 0; }
    QRect windowRect(Handle) const override { return {}; }
    QRect clientRect(Handle) const override { return {}; }
    bool canLocate() const override { return false; }
};

}  // namespace varnoset
