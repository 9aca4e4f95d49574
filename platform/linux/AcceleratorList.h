#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DesktopShortcuts.h"

namespace varnoset {

// A key with its modifiers, as GTK-based desktops spell it in their settings ("<Alt>Print").
struct Accelerator {
    enum Modifier : unsigned { Shift = 1, Control = 2, Alt = 4, Super = 8 };
    std::string key;  // the X key name: "Print", "F5", "Page_Up"
    unsigned modifiers = 0;
    bool operator==(const Accelerator&) const = default;
};

// ASCII lower case: the desktops' names for keys, modifiers and themselves ignore case.
std::string lowered(std::string_view text);
// The accelerator of a form of the hotkey ("<Alt>Print").
Accelerator acceleratorOf(const ShortcutKey& key);

// Reads "<Alt>Print", "<Mod1>print", "<Primary><Shift>F5"; nothing for text that names no key
// ("", "disabled", an unknown modifier).
std::optional<Accelerator> parseAccelerator(std::string_view text);
// "<Alt>Print"
std::string acceleratorText(const Accelerator& accelerator);
// Whether the text names the accelerator, however it is spelt.
bool namesAccelerator(std::string_view text, const Accelerator& accelerator);

// The list without its entries that name one of the accelerators; the others keep their order.
std::vector<std::string> withoutAccelerators(const std::vector<std::string>& list,
                                             const std::vector<Accelerator>& removed);

// Undoes an edit of a list that went from `before` to `written`: `before` itself while the list
// still reads `written`; otherwise the user's `current` list with the entries the edit added
// taken out and those it took out put back in place (after the entry that preceded them).
std::vector<std::string> restoredList(const std::vector<std::string>& current,
                                      const std::vector<std::string>& before,
                                      const std::vector<std::string>& written);

}  // namespace varnoset
