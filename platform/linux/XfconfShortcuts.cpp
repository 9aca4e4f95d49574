#include "platform/linux/XfconfShortcuts.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QVariantMap>

#include "core/Error.h"
#include "platform/linux/AcceleratorList.h"
#include "platform/linux/SessionBus.h"
#include "platform/linux/SettingChanges.h"

namespace varnoset {

namespace {

const QString kService = QStringLiteral("org.xfce.Xfconf");
const QString kPath = QStringLiteral("/org/xfce/Xfconf");
const QString kChannel = QStringLiteral("xfce4-keyboard-shortcuts");
constexpr char kCommands[] = "/commands/custom/";
constexpr char kWindowManager[] = "/xfwm4/custom/";

}  // namespace

// One property of the channel at a time; only text properties are touched.
class XfconfShortcuts::Access final : public SettingAccess {
public:
    QDBusMessage call(const QString& method, const QVariantList& arguments) const {
        QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kService, method);
        message.setArguments(arguments);
        return sessionBusCall(message, "Xfce's settings service (xfconf)",
                              QStringLiteral("PropertyNotFound"));
    }

    SettingValue read(const std::string& key) override {
        const QDBusMessage reply =
            call(QStringLiteral("GetProperty"), {kChannel, QString::fromStdString(key)});
        if (reply.type() == QDBusMessage::ErrorMessage) {
            return {};
        }
        const QVariant value = reply.arguments().value(0).value<QDBusVariant>().variant();
        return {value.toString().toStdString(), true};
    }

    void write(const std::string& key, const SettingValue& value) override {
        const QString property = QString::fromStdString(key);
        if (value.text && value.own) {
            const QDBusMessage reply =
                call(QStringLiteral("SetProperty"),
                     {kChannel, property,
                      QVariant::fromValue(QDBusVariant(QString::fromStdString(*value.text)))});
            if (reply.type() == QDBusMessage::ErrorMessage) {
                throw Error("Xfce's settings service refused to set " + key + ".");
            }
        } else {
            call(QStringLiteral("ResetProperty"), {kChannel, property, false});
        }
    }

    QVariantMap all(const char* folder) const {
        const QDBusMessage reply = call(QStringLiteral("GetAllProperties"),
                                        {kChannel, QString::fromLatin1(folder).chopped(1)});
        if (reply.type() == QDBusMessage::ErrorMessage) {
            return {};
        }
        QVariantMap properties;
        reply.arguments().value(0).value<QDBusArgument>() >> properties;
        return properties;
    }
};

XfconfShortcuts::XfconfShortcuts() : access_(std::make_unique<Access>()) {}
XfconfShortcuts::~XfconfShortcuts() = default;

std::vector<std::pair<std::string, std::string>> XfconfShortcuts::commandsUnder(
    const char* folder) {
    requireSessionService(QStringLiteral("org.xfce.SettingsDaemon"),
                          "Xfce's settings daemon (xfsettingsd), which runs keyboard shortcuts");
    std::vector<std::pair<std::string, std::string>> commands;
    const QVariantMap properties = access_->all(folder);
    for (auto it = properties.begin(); it != properties.end(); ++it) {
        QVariant value = it.value();
        if (value.canConvert<QDBusVariant>()) {
            value = value.value<QDBusVariant>().variant();
        }
        commands.emplace_back(it.key().toStdString(), value.toString().toStdString());
    }
    return commands;
}

// The properties of the folder whose accelerator is the key's, however it is spelt there, with
// their commands.
std::vector<std::pair<std::string, std::string>> XfconfShortcuts::propertiesFor(
    const ShortcutKey& key, const char* folder) {
    std::vector<std::pair<std::string, std::string>> found;
    const std::string_view prefix(folder);
    for (auto& [property, command] : commandsUnder(folder)) {
        if (!property.starts_with(prefix)) {
            continue;
        }
        const std::string_view name = std::string_view(property).substr(prefix.size());
        if (name.find('/') == std::string_view::npos &&
            namesAccelerator(name, acceleratorOf(key))) {
            found.emplace_back(std::move(property), std::move(command));
        }
    }
    return found;
}

ShortcutPlan XfconfShortcuts::plan(const std::vector<ShortcutKey>& keys) {
    ShortcutPlan plan;
    plan.desktop = QStringLiteral("Xfce");
    for (const ShortcutKey& key : keys) {
        QStringList uses;
        bool windowManagerUses = false;
        for (const char* folder : {kCommands, kWindowManager}) {
            for (const auto& [property, command] : propertiesFor(key, folder)) {
                uses << QString::fromStdString(command);
                windowManagerUses = windowManagerUses || folder == kWindowManager;
            }
        }
        plan.today << key.form() + QStringLiteral(": ") +
                          (uses.isEmpty() ? QStringLiteral("nothing")
                                          : uses.join(QStringLiteral("; ")));
        plan.lines << key.form() + QStringLiteral(": ") + key.command;
        if (windowManagerUses) {
            plan.note = QStringLiteral(
                "The window manager also uses a key; Xfce may keep it for the window manager.");
        }
    }
    return plan;
}

std::vector<SavedSetting> XfconfShortcuts::bind(const std::vector<ShortcutKey>& keys) {
    std::vector<std::pair<std::string, std::string>> writes;
    for (const ShortcutKey& key : keys) {
        std::vector<std::pair<std::string, std::string>> properties = propertiesFor(key, kCommands);
        if (properties.empty()) {
            properties.emplace_back(kCommands + acceleratorText(acceleratorOf(key)), "");
        }
        for (const auto& [property, command] : properties) {
            writes.emplace_back(property, key.command.toStdString());
        }
    }
    return writeSaving(*access_, writes);
}

void XfconfShortcuts::unbind(const std::vector<SavedSetting>& saved) {
    commandsUnder(kCommands);  // says so when xfsettingsd is not running
    giveBack(*access_, saved);
}

}  // namespace varnoset
