#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DesktopShortcuts.h"

namespace varnoset {

// The hotkey as bound in the desktop's own shortcut settings: the desktop, the key, and every
// setting the binding changed with what it held before, so that it can be given back exactly.
struct DesktopBinding {
    std::string desktop;      // as DesktopShortcuts::desktopId() gives it
    std::uint8_t hotkey = 0;  // the virtual-key code bound
    std::vector<SavedSetting> settings;
    bool operator==(const DesktopBinding&) const = default;
};

// One line of text for the options file:
//   GNOME;44;org.gnome.shell.keybindings show-screenshot-ui=*['Print'%3E[]
// after the desktop and the key, one entry per setting: its name, '=', '+' (the user's own
// value), '*' (the default) or '-' (none), the value it held, '>', the value written. '%', ';',
// '=' and '>' inside names and values are written %25, %3B, %3D and %3E.
std::string encodeDesktopBinding(const DesktopBinding& binding);
// Nothing for empty text (no binding) and for text not in that form.
std::optional<DesktopBinding> decodeDesktopBinding(std::string_view text);

}  // namespace varnoset
