// The private folder, the command socket and its client, against the real file system, the real
// kernel and, for the check of the sender's user, a real process of another user.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <cstring>
#include <future>

#include "app/CommandMessage.h"
#include "core/UniqueFd.h"
#include "platform/linux/CommandClient.h"
#include "platform/linux/LocalCommandServer.h"
#include "platform/linux/RuntimeFolder.h"
#include "tests/support/EnvironmentOverride.h"

using namespace varnoset;
using varnoset::test::EnvironmentOverride;

namespace {

mode_t modeOf(const std::string& path) {
    struct stat st {};
    lstat(path.c_str(), &st);
    return st.st_mode & 07777;
}

// The client blocks until it has its answer, so it runs beside the server's event loop.
CommandOutcome sendServed(const std::string& path, const std::string& message) {
    auto result = std::async(std::launch::async, [&] { return sendCommand(path, message); });
    while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
        QCoreApplication::processEvents();
    }
    return result.get();
}

// What a crashed copy leaves: a socket file nobody listens on.
void leaveStaleSocket(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    const UniqueFd fd(socket(AF_UNIX, SOCK_STREAM, 0));
    ASSERT_EQ(bind(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
}

}  // namespace

TEST(RuntimeFolder, TheUsersOwnRuntimeFolderOrAPrivateOneBelowTheFallback) {
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const std::string base = scratch.path().toStdString();
    const std::string own = base + "/own";
    const std::string open = base + "/open";
    const std::string fallback = base + "/fallback";
    mkdir(own.c_str(), 0700);
    mkdir(open.c_str(), 0755);
    mkdir(fallback.c_str(), 0755);
    const std::string made = fallback + "/varnoset-" + std::to_string(geteuid());
    std::string why;

    EXPECT_EQ(choosePrivateFolder(own.c_str(), fallback, why), own);
    // Not usable as the runtime folder: unset, empty, open to others, missing, a file.
    for (const char* runtime : {static_cast<const char*>(nullptr), "", open.c_str(),
                                "/nonexistent/runtime", "/etc/hostname"}) {
        EXPECT_EQ(choosePrivateFolder(runtime, fallback, why), made)
            << (runtime ? runtime : "(unset)");
        EXPECT_EQ(modeOf(made), 0700u);
    }
    // A fallback of ours that someone opened up is closed again.
    chmod(made.c_str(), 0777);
    EXPECT_EQ(choosePrivateFolder(nullptr, fallback, why), made);
    EXPECT_EQ(modeOf(made), 0700u);

    // A fallback that is a link, or no folder at all, or cannot be made: no folder, and why.
    rmdir(made.c_str());
    ASSERT_EQ(symlink(own.c_str(), made.c_str()), 0);
    why.clear();
    EXPECT_FALSE(choosePrivateFolder(nullptr, fallback, why).has_value());
    EXPECT_NE(why.find(made), std::string::npos) << why;
    unlink(made.c_str());
    ASSERT_TRUE(QFile(QString::fromStdString(made)).open(QIODevice::WriteOnly));
    EXPECT_FALSE(choosePrivateFolder(nullptr, fallback, why).has_value());
    EXPECT_FALSE(choosePrivateFolder(nullptr, base + "/missing", why).has_value());
}

TEST(CommandChannel, ServesThisUsersWholeShortMessagesAndRefusesEveryoneElse) {
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    const EnvironmentOverride scoped("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    const std::string path = commandSocketPath(runtime.path().toStdString(), "Test_v1");

    leaveStaleSocket(path);
    EXPECT_EQ(sendCommand(path, "open\n").delivery, CommandDelivery::NotRunning);

    // Answered: "open" at once, a capture later, a region with why not; the rest never.
    QByteArrayList heard;
    LocalCommandServer server;
    ASSERT_TRUE(
        server.listen("Test_v1", [&](const QByteArray& message, CommandChannel::Answer answer) {
            heard << message;
            const auto request = decodeRequest(message);
            if (request && request->command == Command::Open) {
                answer(std::nullopt);
            } else if (request && request->command == Command::CaptureDesktop) {
                QTimer::singleShot(300, [answer] { answer(std::nullopt); });
            } else if (request && request->command == Command::CaptureRegion) {
                answer(QStringLiteral("no rectangle\nwas dragged"));
            }
            return request.has_value();
        }));
    EXPECT_EQ(modeOf(path) & 0777, 0600u);

    EXPECT_EQ(sendServed(path, "open\n").delivery, CommandDelivery::Done);
    EXPECT_EQ(sendServed(path, "capture desktop\n").delivery, CommandDelivery::Done);
    const CommandOutcome region = sendServed(path, "capture region\n");
    EXPECT_EQ(region.delivery, CommandDelivery::Failed);
    EXPECT_EQ(region.why, "no rectangle was dragged");
    EXPECT_EQ(sendServed(path, "nonsense\n").delivery, CommandDelivery::Refused);
    // Larger than the server reads: dropped unread.
    EXPECT_EQ(sendServed(path, std::string(LocalCommandServer::kMaxMessage + 50, 'x')).delivery,
              CommandDelivery::Refused);
    EXPECT_EQ(heard,
              (QByteArrayList{"open\n", "capture desktop\n", "capture region\n", "nonsense\n"}));

    // Another user who can reach the socket is refused all the same.
    if (geteuid() == 0) {
        chmod(runtime.path().toLocal8Bit().constData(), 0711);
        chmod(path.c_str(), 0666);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const uid_t nobody = 65534;
            if (setgid(nobody) != 0 || setuid(nobody) != 0) {
                _exit(10);
            }
            _exit(static_cast<int>(sendCommand(path, "quit\n").delivery));
        }
        int status = 0;
        while (waitpid(child, &status, WNOHANG) == 0) {
            QCoreApplication::processEvents();
            usleep(5000);
        }
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), static_cast<int>(CommandDelivery::Refused));
        EXPECT_EQ(heard.size(), 4);
        chmod(runtime.path().toLocal8Bit().constData(), 0700);
    }

    // A sender that stops half-way holds up nobody else.
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    const UniqueFd halfWay(socket(AF_UNIX, SOCK_STREAM, 0));
    ASSERT_EQ(connect(halfWay.get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(send(halfWay.get(), "op", 2, MSG_NOSIGNAL), 2);

    // Unharmed by all of it; a command taken but never answered counts as failed.
    EXPECT_EQ(sendServed(path, "quit\n").why, "the command was dropped");
    EXPECT_EQ(heard.size(), 5);
}
