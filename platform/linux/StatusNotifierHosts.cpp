#include "platform/linux/StatusNotifierHosts.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>

namespace varnoset {

namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
constexpr int kAnswerMs = 2000;

}  // namespace

StatusNotifierHosts::StatusNotifierHosts(QObject* parent)
    : QObject(parent),
      watcher_(kWatcher, QDBusConnection::sessionBus(), QDBusServiceWatcher::WatchForRegistration) {
    // A panel that starts (or restarts) brings a watcher, whose host registers with it at once
    // or a moment later.
    connect(&watcher_, &QDBusServiceWatcher::serviceRegistered, this,
            &StatusNotifierHosts::hostRegistered);
    QDBusConnection::sessionBus().connect(kWatcher, kWatcherPath, kWatcher,
                                          QStringLiteral("StatusNotifierHostRegistered"), this,
                                          SLOT(hostRegistered()));
}

bool StatusNotifierHosts::registered() const {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    QDBusMessage get = QDBusMessage::createMethodCall(
        kWatcher, kWatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << kWatcher << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusMessage reply = bus.call(get, QDBus::Block, kAnswerMs);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

void StatusNotifierHosts::onHostRegistered(std::function<void()> handler) {
    handler_ = std::move(handler);
}

void StatusNotifierHosts::hostRegistered() {
    if (handler_ && registered()) {
        handler_();
    }
}

}  // namespace varnoset
