#pragma once

#include <array>
#include <memory>
#include <string_view>

#include "platform/DesktopShortcuts.h"

namespace varnoset {

struct SchemaKey {
    std::string_view schema;
    std::string_view key;
};

// Where a desktop built on GSettings keeps its screenshot keys and its custom shortcuts.
struct GSettingsDesktop {
    std::string_view id;                          // stored with a binding and shown
    std::array<SchemaKey, 3> screenshotKeys;      // the keys freed (lists or single accelerators)
    std::array<std::string_view, 4> keyListings;  // schemas whose keys tell what a key does today
    SchemaKey customList;                         // the list of custom shortcuts; none for MATE
    bool listHoldsPaths;                          // entries are paths (GNOME) or names (Cinnamon)
    std::string_view customSchema;                // the relocatable schema of one custom shortcut
    std::string_view customFolder;                // where the custom shortcuts' paths lie
    std::string_view commandKey;                  // "command", or "action" on MATE
    std::string_view daemonBusName;               // who runs custom shortcuts, on the session bus
    std::string_view daemonName;                  // the same, for a message
};

extern const GSettingsDesktop kGnomeShortcuts;
extern const GSettingsDesktop kCinnamonShortcuts;
extern const GSettingsDesktop kMateShortcuts;

// The shortcuts of GNOME (and the desktops on its settings: Ubuntu, Budgie), Cinnamon and MATE,
// through GSettings as GIO offers it (dconf underneath). The key is taken out of the screenshot
// keys' lists, other accelerators in them staying, and two custom shortcuts run the commands.
// Each schema is looked up in the schema source first: GSettings ends the process for a schema
// that is not installed.
class GSettingsShortcuts final : public DesktopShortcuts {
public:
    explicit GSettingsShortcuts(const GSettingsDesktop& desktop);
    ~GSettingsShortcuts() override;

    std::string desktopId() const override { return std::string(desktop_.id); }
    ShortcutPlan plan(const std::vector<ShortcutKey>& keys) override;
    std::vector<SavedSetting> bind(const std::vector<ShortcutKey>& keys) override;
    void unbind(const std::vector<SavedSetting>& saved) override;

private:
    class Access;
    Access& access();
    void requireDaemon() const;
    std::vector<std::pair<std::string, std::string>> writesFor(
        const std::vector<ShortcutKey>& keys);
    QString todayOf(const ShortcutKey& key);

    const GSettingsDesktop& desktop_;
    std::unique_ptr<Access> access_;
};

}  // namespace varnoset
