#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/settings/DesktopBinding.h"
#include "platform/DesktopShortcuts.h"

namespace varnoset {

// The hotkey bound in the desktop's own shortcut settings, so that the desktop sends the key to
// Varnoset: what the menu items, the held-key notification and the command line share.

inline constexpr char kBindKeysCaption[] = "Let the Desktop Send PrintScreen to Varnoset";
inline constexpr char kUnbindKeysCaption[] = "Give PrintScreen Back to the Desktop";

// The key alone and with Alt, each with the command that does what it does in any capture mode.
std::vector<ShortcutKey> shortcutKeysFor(std::uint8_t hotkey);

// The program as the desktop is to start it: "varnoset" where that is this program on the PATH,
// else this program's own path (a copy run from where it was built or unpacked).
QString programCommand();

// What the confirmation shows: the desktop, what the keys do today and what they will do.
QString planText(const ShortcutPlan& plan);

// Binds the hotkey's keys; throws Error with the desktop's settings as they were.
DesktopBinding bindDesktopKeys(DesktopShortcuts& shortcuts, std::uint8_t hotkey);
// Gives the keys back; throws Error where the binding was made on another desktop.
void unbindDesktopKeys(DesktopShortcuts& shortcuts, const DesktopBinding& binding);
// Binds the hotkey's keys and has record keep the binding; where record throws, the keys are
// given back before the error goes on, since without the record they could not be.
void bindAndRecord(DesktopShortcuts& shortcuts, std::uint8_t hotkey,
                   const std::function<void(const DesktopBinding&)>& record);

// `varnoset --bind-keys` and `--unbind-keys`, without a window: the store's hotkey is bound (or
// given back) at once and the store keeps the binding. Returns the exit status: 0 when done,
// 1 with the reason on standard error.
int runDesktopKeysCommand(DesktopShortcuts& shortcuts, bool bind);

}  // namespace varnoset
