#include <QByteArray>
#include <QCoreApplication>
#include <QStringList>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>

#include "app/CommandLine.h"
#include "app/DesktopKeys.h"
#include "app/Main.h"
#include "app/VarnosetApplication.h"
#include "platform/linux/CommandClient.h"
#include "platform/linux/DesktopShortcutsChoice.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/RuntimeFolder.h"
#include "platform/linux/X11DisplayCheck.h"

namespace {

using namespace varnoset;

constexpr int kCarriedOut = 0;
constexpr int kNotCarriedOut = 1;
constexpr int kUsageError = 2;

QStringList argumentList(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

// The exit status of a request sent to the running copy; nothing while no copy listens.
std::optional<int> deliver(const std::string& socket, const Request& request) {
    const CommandOutcome outcome = sendCommand(socket, encodeRequest(request).toStdString());
    switch (outcome.delivery) {
        case CommandDelivery::Done:
            return kCarriedOut;
        case CommandDelivery::Failed:
            std::fprintf(stderr, "varnoset: %s\n", outcome.why.c_str());
            return kNotCarriedOut;
        case CommandDelivery::Refused:
            std::fprintf(stderr, "varnoset: the running copy refused the command\n");
            return kNotCarriedOut;
        case CommandDelivery::NotRunning:
            break;
    }
    return std::nullopt;
}

// A copy that holds the lock may still be starting: it answers once its socket is up.
int deliverToStartingCopy(const std::string& socket, const Request& request) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (const std::optional<int> status = deliver(socket, request)) {
            return *status;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::fprintf(stderr, "varnoset: the running copy cannot be reached\n");
    return kNotCarriedOut;
}

}  // namespace

int main(int argc, char** argv) {
    const Invocation invocation = parseCommandLine(argumentList(argc, argv));
    switch (invocation.kind) {
        case Invocation::Kind::Help:
            std::fputs(usageText().toLocal8Bit().constData(), stdout);
            return 0;
        case Invocation::Kind::Version:
            std::puts("Varnoset 3.00");
            return 0;
        case Invocation::Kind::UsageError:
            std::fprintf(stderr, "varnoset: %s\n%s", invocation.error.toLocal8Bit().constData(),
                         usageText().toLocal8Bit().constData());
            return kUsageError;
        case Invocation::Kind::Start:
        case Invocation::Kind::Command:
        case Invocation::Kind::BindKeys:
        case Invocation::Kind::UnbindKeys:
            break;
    }
    // The instance lock and the command socket live in one private folder; without one there
    // is no telling whether another copy runs.
    std::string why;
    const auto folder = privateRuntimeFolder(why);
    if (!folder) {
        std::fprintf(stderr, "varnoset: no private folder for the instance lock: %s\n",
                     why.c_str());
        return kNotCarriedOut;
    }
    const std::string socket = commandSocketPath(*folder, kInstanceName);
    if (invocation.kind == Invocation::Kind::BindKeys ||
        invocation.kind == Invocation::Kind::UnbindKeys) {
        // The desktop's settings are written from here, so that the exit status says whether
        // they were; a running copy then reads the binding anew.
        QCoreApplication app(argc, argv);
        const int status = runDesktopKeysCommand(*makeDesktopShortcuts(),
                                                 invocation.kind == Invocation::Kind::BindKeys);
        if (status == kCarriedOut) {
            deliver(socket, Request{Command::DesktopKeysChanged, 0});
        }
        return status;
    }
    const std::optional<Request> request = invocation.request;
    if (request) {
        if (const std::optional<int> status = deliver(socket, *request)) {
            return *status;
        }
        // Starting a copy only to close it again would be a detour with a flash of the icon.
        if (request->command == Command::Quit) {
            std::fprintf(stderr, "varnoset: no copy of Varnoset is running\n");
            return kNotCarriedOut;
        }
        // No copy runs: start one, then carry the command out.
    }

    // A native Wayland program in a Wayland session; an X11 one everywhere else.
    const DisplayServer server = currentDisplayServer();
    qputenv("QT_QPA_PLATFORM", qtPlatformFor(server));
    if (server == DisplayServer::X11 && !canOpenX11Display(why)) {
        std::fprintf(stderr, "varnoset: %s; Varnoset needs an X11 desktop.\n", why.c_str());
        return kNotCarriedOut;
    }
    VarnosetApplication app(argc, argv);
    TVarnosetMain mainWindow(makeLinuxPlatform(server));
    if (!mainWindow.FormCreate()) {
        // Another copy runs: a plain start ends at once, touching nothing.
        return request ? deliverToStartingCopy(socket, *request) : 0;
    }
    if (request) {
        // This copy carries its own command out; nobody waits for the answer.
        QTimer::singleShot(0, &mainWindow,
                           [&mainWindow, r = *request] { mainWindow.RunCommand(r, {}); });
    }
    return app.exec();
}
