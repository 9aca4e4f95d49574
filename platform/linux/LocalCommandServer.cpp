#include "platform/linux/LocalCommandServer.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string_view>
#include <utility>

#include "platform/linux/CommandClient.h"
#include "platform/linux/RuntimeFolder.h"

namespace varnoset {

namespace {

void complain(const char* what) {
    std::fprintf(stderr, "varnoset: %s\n", what);
}

}  // namespace

// One sender: its socket, watched until it has said a whole line (given up after the read time),
// then kept until its command has ended and the sender has heard how.
class LocalCommandServer::Connection : public QObject {
public:
    Connection(UniqueFd socket, QObject* parent)
        : QObject(parent), fd(std::move(socket)), readable(fd.get(), QSocketNotifier::Read) {
        readTime.setSingleShot(true);
        connect(&readTime, &QTimer::timeout, this, &QObject::deleteLater);
        readTime.start(kReadTimeoutMs);
    }

    void say(std::string_view line) const {
        send(fd.get(), line.data(), line.size(), MSG_NOSIGNAL);
    }

    const UniqueFd fd;
    QSocketNotifier readable;  // stops watching before the socket closes
    QTimer readTime;
    QByteArray received;
};

namespace {

// The end of one command, told to its sender once, after the line that says the command was
// taken; a command whose answer is dropped unsaid counts as failed, so no sender waits for ever.
class PendingAnswer {
public:
    using Say = std::function<void(const std::string& line)>;
    PendingAnswer(QPointer<QObject> connection, Say say)
        : connection_(std::move(connection)), say_(std::move(say)) {}
    ~PendingAnswer() { give(QStringLiteral("the command was dropped")); }
    PendingAnswer(const PendingAnswer&) = delete;
    PendingAnswer& operator=(const PendingAnswer&) = delete;

    // The sender has heard that the command was taken: an answer given meanwhile follows now.
    void taken() {
        taken_ = true;
        if (held_) {
            finish(*std::exchange(held_, std::nullopt));
        }
    }
    // The message was not understood: the sender hears so instead of an answer.
    void drop() { given_ = true; }

    void give(const std::optional<QString>& failure) {
        if (std::exchange(given_, true)) {
            return;
        }
        std::string line = kAnswerDone;
        if (failure) {
            // One line: the sender reads up to the newline.
            QString why = *failure;
            why.replace(QLatin1Char('\n'), QLatin1Char(' '));
            line = kAnswerFailed + why.toStdString() + '\n';
        }
        if (taken_) {
            finish(line);
        } else {
            held_ = line;
        }
    }

private:
    void finish(const std::string& line) {
        if (!connection_.isNull()) {
            say_(line);
            connection_->deleteLater();
        }
    }

    QPointer<QObject> connection_;
    Say say_;
    bool given_ = false;
    bool taken_ = false;
    std::optional<std::string> held_;
};

}  // namespace

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
    connection.readTime.stop();
    connection.readable.setEnabled(false);
    Connection* sender = &connection;
    auto pending = std::make_shared<PendingAnswer>(
        QPointer<QObject>(sender), [sender](const std::string& line) { sender->say(line); });
    const bool understood =
        handler_ && handler_(connection.received, [pending](const std::optional<QString>& failure) {
            pending->give(failure);
        });
    if (!understood) {
        pending->drop();
        complain("a malformed command was ignored");
        connection.say(kAnswerUnknown);
        return true;
    }
    connection.say(kAnswerStarted);
    pending->taken();
    return false;  // kept until the answer is given
}

}  // namespace varnoset
