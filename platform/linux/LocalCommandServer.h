#pragma once

#include <sys/types.h>
#include <QObject>
#include <memory>
#include <optional>

#include "core/UniqueFd.h"
#include "platform/CommandChannel.h"

class QSocketNotifier;

namespace varnoset {

// The command channel as a local socket (mode 0600) beside the instance lock in the user's
// private runtime folder. Only processes of this user are heard: the peer's user id comes from
// the kernel (SO_PEERCRED), so even a socket reachable by others refuses them. Plain sockets
// under the event loop: Qt's network module would load its own libraries (and those of Kerberos
// and the proxy settings) at every start for this one socket.
class LocalCommandServer final : public QObject, public CommandChannel {
    Q_OBJECT
public:
    explicit LocalCommandServer(QObject* parent = nullptr);
    ~LocalCommandServer() override;

    bool listen(const std::string& name, Handler handler) override;

    // The longest message read; a longer one is dropped.
    static constexpr int kMaxMessage = 256;
    // A sender that says nothing complete within this time is dropped.
    static constexpr int kReadTimeoutMs = 3000;

private:
    class Connection;

    void accept();
    // Reads what the sender has written; true once the connection is done with.
    bool read(Connection& connection);

    UniqueFd socket_;
    std::string path_;
    std::unique_ptr<QSocketNotifier> incoming_;  // stops watching before the socket closes
    Handler handler_;
};

// The user id of the process at the other end of a connected local socket.
std::optional<uid_t> peerUserId(int socketDescriptor);

}  // namespace varnoset
