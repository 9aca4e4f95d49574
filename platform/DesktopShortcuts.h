#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace varnoset {

// A form of the hotkey and the command the desktop is to run for it.
struct ShortcutKey {
    std::string symbolName;  // the key's X name, as shortcut settings spell it: "Print"
    int qtKey = 0;           // Qt::Key_Print
    bool withAlt = false;
    QString keyName;  // as the user reads it: "PrintScreen"
    QString command;  // "varnoset --hotkey alt"

    // "Alt+PrintScreen"
    QString form() const { return (withAlt ? QStringLiteral("Alt+") : QString()) + keyName; }
};

// One setting of a desktop's store as text in the store's own notation.
struct SettingValue {
    std::optional<std::string> text;  // nothing: the setting does not exist
    bool own = false;                 // the user's own value; false: the store's default
    bool operator==(const SettingValue&) const = default;
};

// A setting that binding changed: what it held before and what binding wrote, so that giving
// the keys back restores it exactly (a default is reset, not written).
struct SavedSetting {
    std::string key;
    SettingValue before;
    std::string written;
    bool operator==(const SavedSetting&) const = default;
};

// What binding the keys would change, shown before anything is written.
struct ShortcutPlan {
    QString desktop;     // "GNOME", "Xfce", "KDE Plasma", "sway"
    QStringList today;   // per key: what it does now
    QStringList lines;   // per key: what it will do; where nothing is written, the lines to add
    bool writes = true;  // false: the desktop's configuration is the user's to edit
    QString note;        // anything the user must know (a new login, a key that stays taken)
};

// The desktop's own keyboard shortcut settings: binding the hotkey there, so that the desktop
// hands the key to Varnoset, and giving it back exactly as it was. Every failure (no settings
// service, a schema missing, a write refused) is thrown as Error after what was already written
// has been put back: a change is never left half made.
class DesktopShortcuts {
public:
    virtual ~DesktopShortcuts() = default;
    // A short name stored with a binding ("GNOME", "Xfce", "KDE").
    virtual std::string desktopId() const = 0;
    // False for a desktop whose shortcut settings are not known: every call says so.
    virtual bool known() const { return true; }
    // Reads the store; throws Error where the store cannot be used.
    virtual ShortcutPlan plan(const std::vector<ShortcutKey>& keys) = 0;
    // Frees the keys from what holds them and binds them; returns what each changed setting held.
    virtual std::vector<SavedSetting> bind(const std::vector<ShortcutKey>& keys) = 0;
    // Puts the settings back; one the user changed since keeps the user's change.
    virtual void unbind(const std::vector<SavedSetting>& saved) = 0;
    // Where the desktop hands the key to the running program itself rather than starting a
    // command (KDE's shortcut service), each press reaches the handler.
    virtual void setPressedHandler(std::function<void(bool withAlt)> handler) { (void)handler; }
};

}  // namespace varnoset
