#include "platform/linux/LocalCommandServer.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QLocalSocket>
#include <QTimer>
#include <cstdio>

#include "platform/linux/RuntimeFolder.h"

namespace varnoset {

namespace {

void complain(const char* what) {
    std::fprintf(stderr, "varnoset: %s\n", what);
}

}  // namespace

std::optional<uid_t> peerUserId(int socketDescriptor) {
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (getsockopt(socketDescriptor, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0) {
        return std::nullopt;
    }
    return credentials.uid;
}

LocalCommandServer::LocalCommandServer(QObject* parent) : QObject(parent) {
    connect(&server_, &QLocalServer::newConnection, this, &LocalCommandServer::accept);
}

bool LocalCommandServer::listen(const std::string& name, Handler handler) {
    handler_ = std::move(handler);
    std::string why;
    const auto folder = privateRuntimeFolder(why);
    if (!folder) {
        std::fprintf(stderr, "varnoset: no commands: %s\n", why.c_str());
        return false;
    }
    const QString path = QString::fromStdString(commandSocketPath(*folder, name));
    // The caller holds the instance lock, so a socket found here is a crashed copy's.
    QLocalServer::removeServer(path);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(path)) {
        std::fprintf(stderr, "varnoset: no commands: %s\n",
                     server_.errorString().toLocal8Bit().constData());
        return false;
    }
    chmod(path.toLocal8Bit().constData(), 0600);
    return true;
}

void LocalCommandServer::accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const auto peer = peerUserId(static_cast<int>(socket->socketDescriptor()));
        if (!peer || *peer != geteuid()) {
            complain("a command from another user was refused");
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        QTimer::singleShot(kReadTimeoutMs, socket, [socket] { socket->abort(); });
        read(socket);
    }
}

void LocalCommandServer::read(QLocalSocket* socket) {
    if (socket->bytesAvailable() > kMaxMessage) {
        complain("an oversized command was ignored");
        socket->abort();
        return;
    }
    if (!socket->canReadLine()) {
        return;  // wait for the rest of the line
    }
    const QByteArray message = socket->readAll();
    const bool understood = handler_ && handler_(message);
    if (!understood) {
        complain("a malformed command was ignored");
    }
    socket->write(understood ? "ok\n" : "unknown\n");
    socket->flush();
    socket->disconnectFromServer();
}

}  // namespace varnoset
