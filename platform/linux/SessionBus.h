#pragma once

#include <QDBusMessage>
#include <QString>
#include <string>

namespace varnoset {

// Whether a service owns the name on the session bus now (false without a session bus).
bool sessionBusHas(const QString& name);

// Throws "<what> is not running: nothing was changed." unless a service owns the name.
void requireSessionService(const QString& name, const std::string& what);

// Calls a method on the session bus and waits for the reply. An error reply throws
// "<what> refused: <its message>", except one whose name ends with `expectedError`, which is
// returned for the caller to read.
QDBusMessage sessionBusCall(const QDBusMessage& call, const std::string& what,
                            const QString& expectedError = {});

}  // namespace varnoset
