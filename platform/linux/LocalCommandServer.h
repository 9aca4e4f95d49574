#pragma once

#include <sys/types.h>
#include <QLocalServer>
#include <QObject>
#include <optional>

#include "platform/CommandChannel.h"

class QLocalSocket;

namespace varnoset {

// The command channel as a local socket (mode 0600) beside the instance lock in the user's
// private runtime folder. Only processes of this user are heard: the peer's user id comes from
// the kernel (SO_PEERCRED), so even a socket reachable by others refuses them.
class LocalCommandServer final : public QObject, public CommandChannel {
    Q_OBJECT
public:
    explicit LocalCommandServer(QObject* parent = nullptr);

    bool listen(const std::string& name, Handler handler) override;

    // The longest message read; a longer one is dropped.
    static constexpr int kMaxMessage = 256;
    // A sender that says nothing complete within this time is dropped.
    static constexpr int kReadTimeoutMs = 3000;

private:
    void accept();
    void read(QLocalSocket* socket);

    QLocalServer server_;
    Handler handler_;
};

// The user id of the process at the other end of a connected local socket.
std::optional<uid_t> peerUserId(int socketDescriptor);

}  // namespace varnoset
