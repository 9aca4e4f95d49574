#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/Hotkeys.h"
#include "tests/support/FakeLog.h"

namespace varnoset::test {

// Logs and keeps what is registered, and lets a test press a hotkey: the press reaches the
// handler that was installed, as a key grab's event would.
class FakeHotkeys final : public Hotkeys {
public:
    explicit FakeHotkeys(Log& log) : log_(log) {}
    struct Registration {
        int id;
        Modifier modifier;
        std::uint32_t keySymbol;
    };
    std::vector<Registration> registered;  // what is registered now
    // Keys that another program holds: registered, never held while listed here.
    std::vector<std::uint32_t> takenElsewhere;
    int retries = 0;
    bool desktopBinds = false;
    std::function<void()> heldChanged;

    void registerHotkey(int id, Modifier modifier, std::uint32_t keySymbol) override;
    void unregisterHotkey(int id) override;
    void setHandler(std::function<void(int)> handler) override { handler_ = std::move(handler); }
    bool isHeld(int id) const override;
    void retryRefused() override { ++retries; }
    bool boundByDesktop() const override { return desktopBinds; }
    void setHeldChangedHandler(std::function<void()> handler) override {
        heldChanged = std::move(handler);
    }

    const Registration* find(int id) const;
    // False when no handler is installed, so nothing could have been delivered.
    bool press(int id);

private:
    void unregister(int id);

    Log& log_;
    std::function<void(int)> handler_;
};

}  // namespace varnoset::test
