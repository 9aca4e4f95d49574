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
    // Replaces any registration under the same identifier. The result is not reported: a key that
    // another program holds simply never arrives. keySymbol is the X keysym of the key (0: none).
    virtual void registerHotkey(int id, Modifier modifier, std::uint32_t keySymbol) = 0;
    virtual void unregisterHotkey(int id) = 0;
    virtual void setHandler(std::function<void(int id)> handler) = 0;
};

}  // namespace varnoset
