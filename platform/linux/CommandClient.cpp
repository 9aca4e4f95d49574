#include "platform/linux/CommandClient.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <string_view>

#include "core/UniqueFd.h"

namespace varnoset {

namespace {

// Reads up to and including the next newline, waiting at most timeoutMs for it (no limit when
// negative); nothing when the time is up or the other end closed first.
std::optional<std::string> readLine(int fd, std::string& pending, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (const auto end = pending.find('\n'); end != std::string::npos) {
            std::string line = pending.substr(0, end + 1);
            pending.erase(0, end + 1);
            return line;
        }
        int wait = -1;
        if (timeoutMs >= 0) {
            wait = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        deadline - std::chrono::steady_clock::now())
                                        .count());
            if (wait <= 0) {
                return std::nullopt;
            }
        }
        pollfd readable{fd, POLLIN, 0};
        const int ready = poll(&readable, 1, wait);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return std::nullopt;
        }
        char buffer[256];
        const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) {
            return std::nullopt;
        }
        pending.append(buffer, static_cast<std::size_t>(got));
    }
}

}  // namespace

CommandOutcome sendCommand(const std::string& socketPath, const std::string& message,
                           int acceptTimeoutMs) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path) {
        return {};
    }
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const UniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd ||
        connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return {};
    }
    if (send(fd.get(), message.data(), message.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(message.size())) {
        return {CommandDelivery::Refused, {}};
    }
    std::string pending;
    if (readLine(fd.get(), pending, acceptTimeoutMs) != kAnswerStarted) {
        return {CommandDelivery::Refused, {}};
    }
    const std::optional<std::string> end = readLine(fd.get(), pending, -1);
    if (!end) {
        return {CommandDelivery::Failed,
                "the running copy ended before it carried the command out"};
    }
    if (*end == kAnswerDone) {
        return {CommandDelivery::Done, {}};
    }
    const std::string_view failed = kAnswerFailed;
    if (end->starts_with(failed)) {
        return {CommandDelivery::Failed,
                end->substr(failed.size(), end->size() - failed.size() - 1)};
    }
    return {CommandDelivery::Failed, "the running copy gave no clear answer"};
}

}  // namespace varnoset
