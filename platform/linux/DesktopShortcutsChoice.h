#pragma once

#include <memory>
#include <string_view>

#include "platform/DesktopShortcuts.h"

namespace varnoset {

enum class ShortcutDesktop { Gnome, Cinnamon, Mate, Xfce, Kde, Wlroots, Unknown };

// The desktop whose shortcut settings serve, from XDG_CURRENT_DESKTOP ("ubuntu:GNOME",
// "Budgie:GNOME", "X-Cinnamon", "XFCE", "KDE", "sway"): the first name it lists that is known.
ShortcutDesktop shortcutDesktopFor(std::string_view currentDesktop);

// The shortcut settings of this session's desktop. For a desktop not known, every call says so.
std::unique_ptr<DesktopShortcuts> makeDesktopShortcuts();

}  // namespace varnoset
