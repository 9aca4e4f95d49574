#pragma once

#include "platform/DesktopShortcuts.h"

namespace varnoset {

// sway and the other wlroots desktops keep their keys in the user's configuration file, which
// is the user's to edit: the plan shows the lines to add, and nothing is written.
class SwayShortcuts final : public DesktopShortcuts {
public:
    std::string desktopId() const override { return "sway"; }
    ShortcutPlan plan(const std::vector<ShortcutKey>& keys) override;
    std::vector<SavedSetting> bind(const std::vector<ShortcutKey>& keys) override;
    void unbind(const std::vector<SavedSetting>& saved) override;
};

}  // namespace varnoset
