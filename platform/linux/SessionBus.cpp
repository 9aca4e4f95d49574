#include "platform/linux/SessionBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

#include "core/Error.h"

namespace varnoset {

namespace {

constexpr int kTimeoutMs = 10000;

}  // namespace

bool sessionBusHas(const QString& name) {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface()->isServiceRegistered(name).value();
}

void requireSessionService(const QString& name, const std::string& what) {
    if (!sessionBusHas(name)) {
        throw Error(what + " is not running: nothing was changed.");
    }
}

QDBusMessage sessionBusCall(const QDBusMessage& call, const std::string& what,
                            const QString& expectedError) {
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, kTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage &&
        (expectedError.isEmpty() || !reply.errorName().endsWith(expectedError))) {
        throw Error(what + " refused: " + reply.errorMessage().toStdString());
    }
    return reply;
}

}  // namespace varnoset
