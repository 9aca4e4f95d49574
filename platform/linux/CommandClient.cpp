#include "platform/linux/CommandClient.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

#include "core/UniqueFd.h"

namespace varnoset {

CommandDelivery sendCommand(const std::string& socketPath, const std::string& message,
                            int timeoutMs) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path) {
        return CommandDelivery::NotRunning;
    }
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const UniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd ||
        connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return CommandDelivery::NotRunning;
    }
    if (send(fd.get(), message.data(), message.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(message.size())) {
        return CommandDelivery::Refused;
    }
    std::string answer;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (answer.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd wait{fd.get(), POLLIN, 0};
        if (left.count() <= 0 || poll(&wait, 1, static_cast<int>(left.count())) <= 0) {
            break;
        }
        char buffer[64];
        const ssize_t got = recv(fd.get(), buffer, sizeof buffer, 0);
        if (got <= 0) {
            break;
        }
        answer.append(buffer, static_cast<std::size_t>(got));
    }
    return answer == "ok\n" ? CommandDelivery::Delivered : CommandDelivery::Refused;
}

}  // namespace varnoset
