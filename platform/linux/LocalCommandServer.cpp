#include "platform/linux/LocalCommandServer.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform/linux/RuntimeFolder.h"

namespace varnoset {

namespace {

void complain(const char* what) {
    std::fprintf(stderr, "varnoset: %s\n", what);
}

}  // namespace

// One sender: its socket, watched until it has said a whole line, given up after the read time.
class LocalCommandServer::Connection : public QObject {
public:
    Connection(UniqueFd socket, QObject* parent)
        : QObject(parent), fd(std::move(socket)), readable(fd.get(), QSocketNotifier::Read) {
        QTimer::singleShot(kReadTimeoutMs, this, &QObject::deleteLater);
    }

    const UniqueFd fd;
    QSocketNotifier readable;  // stops watching before the socket closes
    QByteArray received;
};

std::optional<uid_t> peerUserId(int socketDescriptor) {
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (getsockopt(socketDescriptor, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0) {
        return std::nullopt;
    }
    return credentials.uid;
}

LocalCommandServer::LocalCommandServer(QObject* parent) : QObject(parent) {}

LocalCommandServer::~LocalCommandServer() {
    if (socket_) {
        unlink(path_.c_str());
    }
}

bool LocalCommandServer::listen(const std::string& name, Handler handler) {
    handler_ = std::move(handler);
    std::string why;
    const auto folder = privateRuntimeFolder(why);
    if (!folder) {
        std::fprintf(stderr, "varnoset: no commands: %s\n", why.c_str());
        return false;
    }
    path_ = commandSocketPath(*folder, name);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path_.size() >= sizeof address.sun_path) {
        std::fprintf(stderr, "varnoset: no commands: the socket path is too long\n");
        return false;
    }
    std::memcpy(address.sun_path, path_.c_str(), path_.size() + 1);
    // The caller holds the instance lock, so a socket found here is a crashed copy's.
    unlink(path_.c_str());
    UniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd || bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        chmod(path_.c_str(), 0600) != 0 || ::listen(fd.get(), 8) != 0) {
        std::fprintf(stderr, "varnoset: no commands: %s\n", std::strerror(errno));
        return false;
    }
    socket_ = std::move(fd);
    incoming_ = std::make_unique<QSocketNotifier>(socket_.get(), QSocketNotifier::Read);
    connect(incoming_.get(), &QSocketNotifier::activated, this, &LocalCommandServer::accept);
    return true;
}

void LocalCommandServer::accept() {
    for (;;) {
        UniqueFd fd(accept4(socket_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!fd) {
            return;  // none waiting
        }
        const auto peer = peerUserId(fd.get());
        if (!peer || *peer != geteuid()) {
            complain("a command from another user was refused");
            continue;
        }
        auto* connection = new Connection(std::move(fd), this);
        connect(&connection->readable, &QSocketNotifier::activated, connection, [this, connection] {
            if (read(*connection)) {
                connection->readable.setEnabled(false);
                connection->deleteLater();
            }
        });
    }
}

bool LocalCommandServer::read(Connection& connection) {
    char buffer[kMaxMessage + 1];
    const ssize_t got = recv(connection.fd.get(), buffer,
                             sizeof buffer - std::size_t(connection.received.size()), 0);
    if (got < 0) {
        return errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR;
    }
    if (got == 0) {
        return true;  // the sender left before a whole line
    }
    connection.received.append(buffer, got);
    if (connection.received.size() > kMaxMessage) {
        complain("an oversized command was ignored");
        return true;
    }
    if (!connection.received.contains('\n')) {
        return false;  // wait for the rest of the line
    }
    const bool understood = handler_ && handler_(connection.received);
    if (!understood) {
        complain("a malformed command was ignored");
    }
    const std::string_view answer = understood ? "ok\n" : "unknown\n";
    send(connection.fd.get(), answer.data(), answer.size(), MSG_NOSIGNAL);
    return true;
}

}  // namespace varnoset
