#include "platform/linux/KGlobalAccelShortcuts.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QKeySequence>
#include <algorithm>
#include <sstream>
#include <utility>

#include "core/Error.h"
#include "platform/linux/SessionBus.h"
#include "platform/linux/SettingChanges.h"

namespace varnoset {

namespace {

const QString kService = QStringLiteral("org.kde.kglobalaccel");
const QString kInterface = QStringLiteral("org.kde.KGlobalAccel");
const QString kComponent = QStringLiteral("varnoset");
constexpr char kServiceName[] = "KDE's shortcut service (kglobalaccel)";
// setShortcut's flags: make the action present, and take the keys given rather than the stored.
constexpr uint kSetPresent = 2;
constexpr uint kNoAutoloading = 4;

int qtKeyOf(const ShortcutKey& key) {
    return key.qtKey | (key.withAlt ? int(Qt::AltModifier) : 0);
}

QString actionOf(const ShortcutKey& key) {
    return key.withAlt ? QStringLiteral("hotkey-alt") : QStringLiteral("hotkey");
}

// The service's full name of one of Varnoset's actions, with the names its settings show.
QStringList varnosetActionId(const QString& action) {
    return {kComponent, action, QStringLiteral("Varnoset"),
            action == QStringLiteral("hotkey-alt") ? QStringLiteral("Hotkey with Alt")
                                                   : QStringLiteral("Hotkey")};
}

// A setting is "component action"; its value the action's keys as numbers.
std::string settingKey(const QString& component, const QString& action) {
    return (component + QLatin1Char(' ') + action).toStdString();
}

std::string keysText(const QList<int>& keys) {
    std::string text;
    for (const int key : keys) {
        text += (text.empty() ? "" : " ") + std::to_string(key);
    }
    return text;
}

QList<int> keysOf(const std::string& text) {
    QList<int> keys;
    std::istringstream in(text);
    for (int key = 0; in >> key;) {
        keys << key;
    }
    return keys;
}

}  // namespace

class KGlobalAccelShortcuts::Access final : public SettingAccess {
public:
    QDBusMessage call(const QString& method, const QVariantList& arguments,
                      const QString& path = QStringLiteral("/kglobalaccel"),
                      const QString& interface = kInterface) const {
        QDBusMessage message = QDBusMessage::createMethodCall(kService, path, interface, method);
        message.setArguments(arguments);
        return sessionBusCall(message, kServiceName);
    }

    static QStringList actionId(const std::string& key) {
        const QString text = QString::fromStdString(key);
        const auto space = text.indexOf(QLatin1Char(' '));
        return {text.left(space), text.mid(space + 1), QString(), QString()};
    }

    bool exists(const QStringList& id) const {
        const QDBusMessage reply =
            call(QStringLiteral("allActionsForComponent"), {QStringList{id[0], {}, {}, {}}});
        const auto actions = qdbus_cast<QList<QStringList>>(reply.arguments().value(0));
        return std::any_of(actions.begin(), actions.end(),
                           [&id](const QStringList& action) { return action.value(1) == id[1]; });
    }

    QList<int> keys(const QStringList& id) const {
        return qdbus_cast<QList<int>>(call(QStringLiteral("shortcut"), {id}).arguments().value(0));
    }

    // The action holding a key: component, action, and their names as shown.
    QStringList holder(int key) const {
        return call(QStringLiteral("action"), {key}).arguments().value(0).toStringList();
    }

    SettingValue read(const std::string& key) override {
        const QStringList id = actionId(key);
        if (!exists(id)) {
            return {};
        }
        return {keysText(keys(id)), true};
    }

    void write(const std::string& key, const SettingValue& value) override {
        QStringList id = actionId(key);
        if (!value.text || !value.own) {
            call(QStringLiteral("unregister"), {id[0], id[1]});
            return;
        }
        const QList<int> wanted = keysOf(*value.text);
        if (id[0] == kComponent) {
            id = varnosetActionId(id[1]);
            call(QStringLiteral("doRegister"), {id});
            const QDBusMessage reply =
                call(QStringLiteral("setShortcut"),
                     {id, QVariant::fromValue(wanted), kSetPresent | kNoAutoloading});
            if (qdbus_cast<QList<int>>(reply.arguments().value(0)) != wanted) {
                throw Error(
                    "KDE's shortcut service did not give the key to Varnoset: another "
                    "action still holds it.");
            }
            return;
        }
        call(QStringLiteral("setForeignShortcut"), {id, QVariant::fromValue(wanted)});
        if (keys(id) != wanted) {
            throw Error("KDE's shortcut service did not change the keys of " + key + ".");
        }
    }
};

KGlobalAccelShortcuts::KGlobalAccelShortcuts() : access_(std::make_unique<Access>()) {
    qDBusRegisterMetaType<QList<int>>();
    qDBusRegisterMetaType<QList<QStringList>>();
}

KGlobalAccelShortcuts::~KGlobalAccelShortcuts() = default;

ShortcutPlan KGlobalAccelShortcuts::plan(const std::vector<ShortcutKey>& keys) {
    requireSessionService(kService, kServiceName);
    ShortcutPlan plan;
    plan.desktop = QStringLiteral("KDE Plasma");
    for (const ShortcutKey& key : keys) {
        const QStringList holder = access_->holder(qtKeyOf(key));
        const QString today = holder.size() < 4 ? QStringLiteral("nothing")
                                                : holder[2] + QStringLiteral(": ") + holder[3];
        plan.today << key.form() + QStringLiteral(": ") + today;
        plan.lines << key.form() + QStringLiteral(": Varnoset's hotkey (as ") + key.command +
                          QLatin1Char(')');
    }
    plan.note =
        QStringLiteral("Plasma hands the key to Varnoset while it runs; no new login is needed.");
    return plan;
}

std::vector<SavedSetting> KGlobalAccelShortcuts::bind(const std::vector<ShortcutKey>& keys) {
    requireSessionService(kService, kServiceName);
    std::vector<std::pair<std::string, std::string>> writes;
    for (const ShortcutKey& key : keys) {
        const int qtKey = qtKeyOf(key);
        const QStringList holder = access_->holder(qtKey);
        if (holder.size() >= 2 && holder[0] != kComponent) {
            QList<int> kept = access_->keys(holder);
            kept.removeAll(qtKey);
            writes.emplace_back(settingKey(holder[0], holder[1]), keysText(kept));
        }
    }
    for (const ShortcutKey& key : keys) {
        writes.emplace_back(settingKey(kComponent, actionOf(key)), keysText({qtKeyOf(key)}));
    }
    std::vector<SavedSetting> saved = writeSaving(*access_, writes);
    listen();
    return saved;
}

void KGlobalAccelShortcuts::unbind(const std::vector<SavedSetting>& saved) {
    requireSessionService(kService, kServiceName);
    giveBack(*access_, saved);
}

void KGlobalAccelShortcuts::setPressedHandler(std::function<void(bool)> handler) {
    pressed_ = std::move(handler);
    listen();
    // After a restart of the service the actions are loaded as absent: announce them again,
    // keeping the keys it stored.
    try {
        for (const QString& action : {QStringLiteral("hotkey"), QStringLiteral("hotkey-alt")}) {
            const QStringList id = varnosetActionId(action);
            if (access_->exists(id)) {
                access_->call(QStringLiteral("doRegister"), {id});
                access_->call(QStringLiteral("setShortcut"),
                              {id, QVariant::fromValue(QList<int>{}), kSetPresent});
            }
        }
    } catch (const Error&) {
        // No shortcut service now: the keys arrive once it runs and Varnoset starts again.
    }
}

void KGlobalAccelShortcuts::listen() {
    if (listening_) {
        return;
    }
    listening_ = QDBusConnection::sessionBus().connect(
        kService, QStringLiteral("/component/") + kComponent,
        QStringLiteral("org.kde.kglobalaccel.Component"), QStringLiteral("globalShortcutPressed"),
        this, SLOT(globalShortcutPressed(QString, QString, qlonglong)));
}

void KGlobalAccelShortcuts::globalShortcutPressed(const QString& component, const QString& action,
                                                  qlonglong) {
    if (component == kComponent && pressed_) {
        pressed_(action == QStringLiteral("hotkey-alt"));
    }
}

}  // namespace varnoset
