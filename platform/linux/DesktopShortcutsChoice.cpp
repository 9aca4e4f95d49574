#include "platform/linux/DesktopShortcutsChoice.h"

#include <array>
#include <cstdlib>
#include <string>
#include <utility>

#include "core/Error.h"
#include "platform/linux/AcceleratorList.h"
#include "platform/linux/GSettingsShortcuts.h"
#include "platform/linux/KGlobalAccelShortcuts.h"
#include "platform/linux/SwayShortcuts.h"
#include "platform/linux/XfconfShortcuts.h"

namespace varnoset {

namespace {

constexpr std::array<std::pair<std::string_view, ShortcutDesktop>, 12> kDesktopNames{{
    {"gnome", ShortcutDesktop::Gnome},
    {"gnome-classic", ShortcutDesktop::Gnome},
    {"gnome-flashback", ShortcutDesktop::Gnome},
    {"budgie", ShortcutDesktop::Gnome},
    {"x-cinnamon", ShortcutDesktop::Cinnamon},
    {"cinnamon", ShortcutDesktop::Cinnamon},
    {"mate", ShortcutDesktop::Mate},
    {"xfce", ShortcutDesktop::Xfce},
    {"kde", ShortcutDesktop::Kde},
    {"sway", ShortcutDesktop::Wlroots},
    {"wlroots", ShortcutDesktop::Wlroots},
    {"river", ShortcutDesktop::Wlroots},
}};

// A desktop whose shortcut settings Varnoset does not know.
class UnknownDesktopShortcuts final : public DesktopShortcuts {
public:
    explicit UnknownDesktopShortcuts(std::string name) : name_(std::move(name)) {}
    std::string desktopId() const override { return name_; }
    bool known() const override { return false; }
    ShortcutPlan plan(const std::vector<ShortcutKey>&) override { throw refusal(); }
    std::vector<SavedSetting> bind(const std::vector<ShortcutKey>&) override { throw refusal(); }
    void unbind(const std::vector<SavedSetting>&) override { throw refusal(); }

private:
    Error refusal() const {
        return Error("Varnoset does not know where this desktop (" +
                     (name_.empty() ? std::string("XDG_CURRENT_DESKTOP not set") : name_) +
                     ") keeps its keyboard shortcuts: bind the keys in its keyboard settings.");
    }
    std::string name_;
};

}  // namespace

ShortcutDesktop shortcutDesktopFor(std::string_view currentDesktop) {
    while (!currentDesktop.empty()) {
        const auto colon = currentDesktop.find(':');
        const std::string name = lowered(currentDesktop.substr(0, colon));
        for (const auto& [known, desktop] : kDesktopNames) {
            if (name == known) {
                return desktop;
            }
        }
        currentDesktop.remove_prefix(colon == std::string_view::npos ? currentDesktop.size()
                                                                     : colon + 1);
    }
    return ShortcutDesktop::Unknown;
}

std::unique_ptr<DesktopShortcuts> makeDesktopShortcuts() {
    const char* current = std::getenv("XDG_CURRENT_DESKTOP");
    const std::string name = current != nullptr ? current : "";
    switch (shortcutDesktopFor(name)) {
        case ShortcutDesktop::Gnome:
            return std::make_unique<GSettingsShortcuts>(kGnomeShortcuts);
        case ShortcutDesktop::Cinnamon:
            return std::make_unique<GSettingsShortcuts>(kCinnamonShortcuts);
        case ShortcutDesktop::Mate:
            return std::make_unique<GSettingsShortcuts>(kMateShortcuts);
        case ShortcutDesktop::Xfce:
            return std::make_unique<XfconfShortcuts>();
        case ShortcutDesktop::Kde:
            return std::make_unique<KGlobalAccelShortcuts>();
        case ShortcutDesktop::Wlroots:
            return std::make_unique<SwayShortcuts>();
        case ShortcutDesktop::Unknown:
            break;
    }
    return std::make_unique<UnknownDesktopShortcuts>(name);
}

}  // namespace varnoset
