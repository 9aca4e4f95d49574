#pragma once

#include <cstdint>
#include <functional>

namespace varnoset {

// System-wide keys. Each registration binds one key, alone or with Alt, to an identifier; a press
// of it anywhere on the desktop reaches the handler as that identifier, from the event loop.
class Hotkeys {
public:
    enum class Modifier { None, Alt };

    virtual ~Hotkeys() = default;
    // Replaces any registration under the same identifier. keySymbol is the X keysym of the key
    // (0: none). A key that another program holds is registered all the same, but not held.
    virtual void registerHotkey(int id, Modifier modifier, std::uint32_t keySymbol) = 0;
    virtual void unregisterHotkey(int id) = 0;
    virtual void setHandler(std::function<void(int id)> handler) = 0;

    // Whether the registration under the identifier holds its key in every lock state.
    virtual bool isHeld(int id) const = 0;
    // Tries once more to take the keys of the registrations that are not held (a round trip or
    // two while the other program still holds them).
    virtual void retryRefused() = 0;
    // Called after the held states may have changed without a call here (a keyboard change makes
    // every key be taken again).
    virtual void setHeldChangedHandler(std::function<void()> handler) = 0;
    // While a handler is set, a press of a registered key (with its modifier) that another
    // program holds is reported with the registration's identifier, from the event loop: that
    // program got the press. Where such presses cannot be seen, none is reported.
    virtual void setPressedElsewhereHandler(std::function<void(int id)> /*handler*/) {}
    // True where no program may take keys for itself (Wayland): the desktop's own shortcut
    // settings bind the key to a command line, and registrations only record the choice.
    virtual bool boundByDesktop() const { return false; }
};

}  // namespace varnoset
