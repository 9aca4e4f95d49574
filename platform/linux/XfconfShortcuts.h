#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/DesktopShortcuts.h"

namespace varnoset {

// Xfce's keyboard shortcuts: the xfce4-keyboard-shortcuts channel of xfconf, over D-Bus
// (org.xfce.Xfconf). Each form of the key becomes an application shortcut,
// /commands/custom/<Alt>Print say, whose command is Varnoset's: the entry that ran the
// screenshot tool is given the new command, so nothing else needs freeing. xfsettingsd follows
// the change at once.
class XfconfShortcuts final : public DesktopShortcuts {
public:
    XfconfShortcuts();
    ~XfconfShortcuts() override;

    std::string desktopId() const override { return "Xfce"; }
    ShortcutPlan plan(const std::vector<ShortcutKey>& keys) override;
    std::vector<SavedSetting> bind(const std::vector<ShortcutKey>& keys) override;
    void unbind(const std::vector<SavedSetting>& saved) override;

private:
    class Access;
    // The properties under a folder of the channel, by name.
    std::vector<std::pair<std::string, std::string>> commandsUnder(const char* folder);
    std::vector<std::pair<std::string, std::string>> propertiesFor(const ShortcutKey& key,
                                                                   const char* folder);

    std::unique_ptr<Access> access_;
};

}  // namespace varnoset
