#pragma once

#include "platform/Hotkeys.h"

namespace varnoset {

// The keys of a Wayland session: no client may take a key for itself, so the user binds the key
// to the command line in the desktop's shortcut settings. Registrations change nothing here, count
// as held, and no press ever arrives.
class DesktopBoundHotkeys final : public Hotkeys {
public:
    void registerHotkey(int, Modifier, std::uint32_t) override {}
    void unregisterHotkey(int) override {}
    void setHandler(std::function<void(int)>) override {}
    bool isHeld(int) const override { return true; }
    void retryRefused() override {}
    void setHeldChangedHandler(std::function<void()>) override {}
    bool boundByDesktop() const override { return true; }
};

}  // namespace varnoset
