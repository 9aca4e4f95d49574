#include "platform/linux/FreedesktopNotifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>
#include <cstdio>

namespace varnoset {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
constexpr int kServerDecidesTimeout = -1;

}  // namespace

FreedesktopNotifications::FreedesktopNotifications() = default;

void FreedesktopNotifications::setFallback(std::function<bool(const Notification&)> fallback) {
    fallback_ = std::move(fallback);
}

void FreedesktopNotifications::showElsewhere(const Notification& notification) {
    if (!fallback_ || !fallback_(notification)) {
        std::fprintf(stderr, "varnoset: %s\n%s\n", notification.title.toLocal8Bit().constData(),
                     notification.text.toLocal8Bit().constData());
    }
}

void FreedesktopNotifications::notify(const Notification& notification) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        showElsewhere(notification);
        return;
    }
    if (!listening_) {
        listening_ = true;
        bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                    SLOT(onActionInvoked(uint, QString)));
        bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                    SLOT(onClosed(uint, uint)));
    }
    QStringList actions;
    for (const NotificationAction& action : notification.actions) {
        actions << action.key << action.label;
    }
    // The desktop entry names the sender: the desktop shows its icon and name, and groups and
    // mutes its notifications under them.
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("varnoset")}};
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QStringLiteral("Varnoset") << uint(0) << QStringLiteral("varnoset")
         << notification.title << notification.text << actions << hints << kServerDecidesTimeout;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, notification](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const QDBusPendingReply<uint> reply = *finished;
                if (reply.isError()) {
                    showElsewhere(notification);
                } else if (!notification.actions.empty()) {
                    open_[reply.value()] = notification.actions;
                }
            });
}

void FreedesktopNotifications::onActionInvoked(uint id, const QString& actionKey) {
    const auto open = open_.find(id);
    if (open == open_.end()) {
        return;
    }
    for (const NotificationAction& action : open->second) {
        if (action.key == actionKey && action.run) {
            action.run();
            return;
        }
    }
}

void FreedesktopNotifications::onClosed(uint id, uint) {
    open_.erase(id);
}

}  // namespace varnoset
