#include "platform/linux/GioLibrary.h"

#include "platform/linux/GSettingsShortcuts.h"

#include <algorithm>
#include <functional>

#include "core/Error.h"
#include "platform/linux/AcceleratorList.h"
#include "platform/linux/SessionBus.h"
#include "platform/linux/SettingChanges.h"

namespace varnoset {

const GSettingsDesktop kGnomeShortcuts{
    "GNOME",
    {{{"org.gnome.shell.keybindings", "show-screenshot-ui"},
      {"org.gnome.shell.keybindings", "screenshot"},
      {"org.gnome.shell.keybindings", "screenshot-window"}}},
    {"org.gnome.shell.keybindings", "org.gnome.desktop.wm.keybindings",
     "org.gnome.mutter.keybindings", "org.gnome.settings-daemon.plugins.media-keys"},
    {"org.gnome.settings-daemon.plugins.media-keys", "custom-keybindings"},
    true,
    "org.gnome.settings-daemon.plugins.media-keys.custom-keybinding",
    "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/",
    "command",
    "org.gnome.SettingsDaemon.MediaKeys",
    "GNOME's media keys service (gsd-media-keys)",
};

const GSettingsDesktop kCinnamonShortcuts{
    "Cinnamon",
    {{{"org.cinnamon.desktop.keybindings.media-keys", "screenshot"},
      {"org.cinnamon.desktop.keybindings.media-keys", "area-screenshot"},
      {"org.cinnamon.desktop.keybindings.media-keys", "window-screenshot"}}},
    {"org.cinnamon.desktop.keybindings.media-keys", "org.cinnamon.desktop.keybindings.wm", "", ""},
    {"org.cinnamon.desktop.keybindings", "custom-list"},
    false,
    "org.cinnamon.desktop.keybindings.custom-keybinding",
    "/org/cinnamon/desktop/keybindings/custom-keybindings/",
    "command",
    "org.Cinnamon",
    "Cinnamon",
};

const GSettingsDesktop kMateShortcuts{
    "MATE",
    {{{"org.mate.Marco.global-keybindings", "run-command-screenshot"},
      {"org.mate.Marco.global-keybindings", "run-command-window-screenshot"},
      {"", ""}}},
    {"org.mate.Marco.global-keybindings", "org.mate.Marco.window-keybindings",
     "org.mate.SettingsDaemon.plugins.media-keys", ""},
    {"", ""},
    false,
    "org.mate.control-center.keybinding",
    "/org/mate/desktop/keybindings/",
    "action",
    "org.mate.SettingsDaemon",
    "MATE's settings daemon (mate-settings-daemon)",
};

namespace {

template <typename T>
using Owned = std::unique_ptr<T, std::function<void(T*)>>;

// "schema key" or "schema:/path/ key", as the command line tool spells a setting.
struct SettingName {
    std::string schema;
    std::string path;
    std::string key;
};

SettingName settingName(const std::string& name) {
    const auto space = name.rfind(' ');
    std::string place = space == std::string::npos ? name : name.substr(0, space);
    SettingName parts{
        place, {}, space == std::string::npos ? std::string() : name.substr(space + 1)};
    if (const auto colon = place.find(':'); colon != std::string::npos) {
        parts.schema = place.substr(0, colon);
        parts.path = place.substr(colon + 1);
    }
    return parts;
}

std::string settingKey(std::string_view schema, std::string_view key) {
    return std::string(schema) + ' ' + std::string(key);
}

}  // namespace

// One setting at a time through GSettings; every value as GVariant text.
class GSettingsShortcuts::Access final : public SettingAccess {
public:
    explicit Access(std::unique_ptr<GioLibrary> gio) : gio_(std::move(gio)) {
        GSettingsBackend* backend = gio_->defaultBackend();
        const std::string type = gio_->typeName(reinterpret_cast<GTypeInstance*>(backend));
        gio_->unref(backend);
        if (type == "GMemorySettingsBackend" || type == "GNullSettingsBackend") {
            throw Error(
                "The desktop's settings cannot be written here: GIO finds no settings store "
                "(the dconf GSettings backend is not installed).");
        }
    }

    bool hasSchema(std::string_view id) const { return schema(id) != nullptr; }

    bool hasKey(std::string_view id, std::string_view key) const {
        const auto found = schema(id);
        return found && gio_->schemaHasKey(found.get(), std::string(key).c_str()) != FALSE;
    }

    // The keys of a schema with their summaries (the key's name where it has none) and their
    // entries as list gives them, read through one settings object.
    std::vector<std::pair<std::string, std::vector<std::string>>> keysOf(
        std::string_view id) const {
        std::vector<std::pair<std::string, std::vector<std::string>>> keys;
        const auto found = schema(id);
        if (!found) {
            return keys;
        }
        const Owned<GSettings> settings = settingsOf(found.get(), {});
        gchar** names = gio_->schemaKeys(found.get());
        for (gchar** name = names; name != nullptr && *name != nullptr; ++name) {
            GSettingsSchemaKey* key = gio_->schemaKey(found.get(), *name);
            const gchar* summary = gio_->keySummary(key);
            const Owned<GVariant> value(gio_->getValue(settings.get(), *name), gio_->unrefVariant);
            keys.emplace_back(summary != nullptr ? summary : *name, entriesOf(key, value.get()));
            gio_->unrefKey(key);
        }
        gio_->freeStrings(names);
        return keys;
    }

    SettingValue read(const std::string& name) override { return readAt(locate(name)); }

    void write(const std::string& name, const SettingValue& value) override {
        const Located at = locate(name);
        const bool set = value.text && value.own;
        if (set) {
            GVariant* parsed = parse(at, *value.text);
            if (gio_->setValue(at.settings.get(), at.key.c_str(), parsed) == FALSE) {
                throw Error("The desktop's settings refuse a change of " + name + ".");
            }
        } else {
            gio_->reset(at.settings.get(), at.key.c_str());
        }
        // dconf writes in the background: wait for it, then read what the store kept.
        gio_->sync();
        const SettingValue now = readAt(at);
        if (set ? now != value : now.own) {
            throw Error("The desktop's settings store did not keep the change of " + name +
                        " (is the dconf service running?).");
        }
    }

    std::optional<std::string> merged(const std::string& name, const std::string& current,
                                      const SavedSetting& saved) override {
        const Located at = locate(name);
        if (typeOf(at) != "as" || !saved.before.text) {
            return std::nullopt;
        }
        return textOf(at, restoredList(listOf(at, current), listOf(at, *saved.before.text),
                                       listOf(at, saved.written)));
    }

    // The entries of a list setting, or the one accelerator of a text setting ("" for none).
    std::vector<std::string> list(const std::string& name) {
        const Located at = locate(name);
        return listOf(at, *readAt(at).text);
    }
    std::string listText(const std::string& name, const std::vector<std::string>& entries) {
        return textOf(locate(name), entries);
    }
    std::string text(const std::string& name, const std::string& value) {
        const Located at = locate(name);
        return typeOf(at) == "as" ? textOf(at, {value}) : print(gio_->newString(value.c_str()));
    }

private:
    struct Located {
        Owned<GSettingsSchema> schema;
        Owned<GSettings> settings;
        Owned<GSettingsSchemaKey> schemaKey;
        std::string key;
    };

    Owned<GSettingsSchema> schema(std::string_view id) const {
        GSettingsSchemaSource* source = gio_->schemaSource();
        GSettingsSchema* found =
            source != nullptr ? gio_->lookupSchema(source, std::string(id).c_str(), TRUE) : nullptr;
        return Owned<GSettingsSchema>(found, gio_->unrefSchema);
    }

    Located locate(const std::string& name) const {
        const SettingName parts = settingName(name);
        Owned<GSettingsSchema> found = schema(parts.schema);
        if (!found) {
            throw Error("The settings schema " + parts.schema +
                        " is not installed: this desktop keeps its shortcuts elsewhere.");
        }
        if (gio_->schemaHasKey(found.get(), parts.key.c_str()) == FALSE) {
            throw Error("The settings schema " + parts.schema + " has no key " + parts.key + ".");
        }
        Owned<GSettings> settings = settingsOf(found.get(), parts.path);
        Owned<GSettingsSchemaKey> key(gio_->schemaKey(found.get(), parts.key.c_str()),
                                      gio_->unrefKey);
        return {std::move(found), std::move(settings), std::move(key), parts.key};
    }

    // The settings of a schema at a path ("" for a schema with a path of its own).
    Owned<GSettings> settingsOf(GSettingsSchema* found, const std::string& path) const {
        GSettings* settings =
            gio_->newSettings(found, nullptr, path.empty() ? nullptr : path.c_str());
        const auto unref = gio_->unref;
        return Owned<GSettings>(settings, [unref](GSettings* s) { unref(s); });
    }

    SettingValue readAt(const Located& at) const {
        const Owned<GVariant> value(gio_->getValue(at.settings.get(), at.key.c_str()),
                                    gio_->unrefVariant);
        const Owned<GVariant> user(gio_->getUserValue(at.settings.get(), at.key.c_str()),
                                   gio_->unrefVariant);
        return {printed(value.get()), user != nullptr};
    }

    std::string typeOf(const Located& at) const {
        return gio_->typeString(gio_->keyType(at.schemaKey.get()));
    }

    GVariant* parse(const Located& at, const std::string& text) const {
        GError* error = nullptr;
        GVariant* value = gio_->parseVariant(gio_->keyType(at.schemaKey.get()), text.c_str(),
                                             nullptr, nullptr, &error);
        if (value == nullptr) {
            gio_->freeError(error);
            throw Error("A saved setting cannot be read back: " + text + ".");
        }
        return value;
    }

    std::string printed(GVariant* value) const {
        gchar* text = gio_->printVariant(value, FALSE);
        std::string out = text;
        gio_->free(text);
        return out;
    }
    // The text of a value made here, which goes with it.
    std::string print(GVariant* made) const {
        const Owned<GVariant> value(made, gio_->unrefVariant);
        return printed(value.get());
    }

    std::vector<std::string> listOf(const Located& at, const std::string& text) const {
        const Owned<GVariant> value(parse(at, text), gio_->unrefVariant);
        return entriesOf(at.schemaKey.get(), value.get());
    }

    // The entries of a value of the key: a list's strings, or the one accelerator of a text.
    std::vector<std::string> entriesOf(GSettingsSchemaKey* key, GVariant* value) const {
        const std::string type = gio_->typeString(gio_->keyType(key));
        std::vector<std::string> entries;
        if (type == "as") {
            gsize length = 0;
            const gchar** strings = gio_->stringsOf(value, &length);
            entries.assign(strings, strings + length);
            gio_->free(static_cast<gpointer>(strings));
        } else if (type == "s") {
            if (const gchar* single = gio_->stringOf(value, nullptr); *single != '\0') {
                entries.emplace_back(single);
            }
        }
        return entries;
    }

    std::string textOf(const Located& at, const std::vector<std::string>& entries) const {
        if (typeOf(at) != "as") {
            // A single accelerator is switched off by the word the window managers read so.
            return print(gio_->newString(entries.empty() ? "disabled" : entries.front().c_str()));
        }
        std::vector<const gchar*> strings;
        for (const std::string& entry : entries) {
            strings.push_back(entry.c_str());
        }
        return print(gio_->newStrings(strings.data(), static_cast<gssize>(strings.size())));
    }

    std::unique_ptr<GioLibrary> gio_;
};

GSettingsShortcuts::GSettingsShortcuts(const GSettingsDesktop& desktop) : desktop_(desktop) {}
GSettingsShortcuts::~GSettingsShortcuts() = default;

GSettingsShortcuts::Access& GSettingsShortcuts::access() {
    if (!access_) {
        std::unique_ptr<GioLibrary> gio = GioLibrary::open();
        if (!gio) {
            throw Error("The desktop's settings cannot be reached: GIO is not installed.");
        }
        auto access = std::make_unique<Access>(std::move(gio));
        if (!access->hasSchema(desktop_.customSchema)) {
            throw Error("The settings schema " + std::string(desktop_.customSchema) +
                        " is not installed: " + std::string(desktop_.id) +
                        "'s custom shortcuts cannot be written.");
        }
        access_ = std::move(access);
    }
    return *access_;
}

void GSettingsShortcuts::requireDaemon() const {
    requireSessionService(QString::fromUtf8(desktop_.daemonBusName.data(),
                                            static_cast<qsizetype>(desktop_.daemonBusName.size())),
                          std::string(desktop_.daemonName) + ", which runs custom shortcuts");
}

namespace {

std::string customName(const ShortcutKey& key) {
    return key.withAlt ? "varnoset-alt" : "varnoset";
}

}  // namespace

std::vector<std::pair<std::string, std::string>> GSettingsShortcuts::writesFor(
    const std::vector<ShortcutKey>& keys) {
    Access& store = access();
    std::vector<Accelerator> accelerators;
    for (const ShortcutKey& key : keys) {
        accelerators.push_back(acceleratorOf(key));
    }
    std::vector<std::pair<std::string, std::string>> writes;
    // First free the keys, keeping every other accelerator of those lists.
    for (const SchemaKey& place : desktop_.screenshotKeys) {
        if (place.schema.empty() || !store.hasKey(place.schema, place.key)) {
            continue;
        }
        const std::string name = settingKey(place.schema, place.key);
        const std::vector<std::string> list = store.list(name);
        const std::vector<std::string> freed = withoutAccelerators(list, accelerators);
        if (freed != list) {
            writes.emplace_back(name, store.listText(name, freed));
        }
    }
    // Then one custom shortcut per form of the key, and last the list that names them, so that
    // the daemon finds each one whole.
    std::vector<std::string> entries;
    for (const ShortcutKey& key : keys) {
        const std::string path = std::string(desktop_.customFolder) + customName(key) + "/";
        const std::string place = std::string(desktop_.customSchema) + ":" + path + " ";
        const QString title = QStringLiteral("Varnoset ") + key.form();
        writes.emplace_back(place + "name", store.text(place + "name", title.toStdString()));
        writes.emplace_back(
            place + std::string(desktop_.commandKey),
            store.text(place + std::string(desktop_.commandKey), key.command.toStdString()));
        writes.emplace_back(place + "binding",
                            store.text(place + "binding", acceleratorText(acceleratorOf(key))));
        entries.push_back(desktop_.listHoldsPaths ? path : customName(key));
    }
    if (!desktop_.customList.schema.empty()) {
        const std::string name = settingKey(desktop_.customList.schema, desktop_.customList.key);
        std::vector<std::string> list = store.list(name);
        const std::size_t before = list.size();
        for (const std::string& entry : entries) {
            if (std::find(list.begin(), list.end(), entry) == list.end()) {
                list.push_back(entry);
            }
        }
        if (list.size() != before) {
            writes.emplace_back(name, store.listText(name, list));
        }
    }
    return writes;
}

QString GSettingsShortcuts::todayOf(const ShortcutKey& key) {
    Access& store = access();
    const Accelerator accelerator = acceleratorOf(key);
    QStringList uses;
    for (const std::string_view schema : desktop_.keyListings) {
        if (schema.empty()) {
            continue;
        }
        for (const auto& [summary, list] : store.keysOf(schema)) {
            if (std::any_of(list.begin(), list.end(), [&](const std::string& entry) {
                    return namesAccelerator(entry, accelerator);
                })) {
                uses << QString::fromStdString(summary);
            }
        }
    }
    // The custom shortcuts the user made.
    const auto names = [this](const std::string& entry) {
        const std::string path =
            desktop_.listHoldsPaths ? entry : std::string(desktop_.customFolder) + entry + "/";
        return std::string(desktop_.customSchema) + ":" + path + " ";
    };
    if (!desktop_.customList.schema.empty()) {
        for (const std::string& entry :
             store.list(settingKey(desktop_.customList.schema, desktop_.customList.key))) {
            const std::string place = names(entry);
            const std::vector<std::string> binding = store.list(place + "binding");
            if (std::any_of(binding.begin(), binding.end(), [&](const std::string& text) {
                    return namesAccelerator(text, accelerator);
                })) {
                const std::vector<std::string> title = store.list(place + "name");
                uses << QStringLiteral("the custom shortcut \u201C%1\u201D")
                            .arg(QString::fromStdString(title.empty() ? entry : title.front()));
            }
        }
    }
    return uses.isEmpty() ? QStringLiteral("nothing") : uses.join(QStringLiteral("; "));
}

ShortcutPlan GSettingsShortcuts::plan(const std::vector<ShortcutKey>& keys) {
    requireDaemon();
    ShortcutPlan plan;
    plan.desktop =
        QString::fromUtf8(desktop_.id.data(), static_cast<qsizetype>(desktop_.id.size()));
    for (const ShortcutKey& key : keys) {
        plan.today << key.form() + QStringLiteral(": ") + todayOf(key);
        plan.lines << key.form() + QStringLiteral(": ") + key.command;
    }
    return plan;
}

std::vector<SavedSetting> GSettingsShortcuts::bind(const std::vector<ShortcutKey>& keys) {
    requireDaemon();
    const auto writes = writesFor(keys);
    return writeSaving(access(), writes);
}

void GSettingsShortcuts::unbind(const std::vector<SavedSetting>& saved) {
    giveBack(access(), saved);
}

}  // namespace varnoset
