#include "app/CommandMessage.h"

#include <array>
#include <utility>

namespace varnoset {

namespace {

constexpr std::array<std::pair<Command, const char*>, 12> kWords{{
    {Command::CaptureDesktop, "capture desktop"},
    {Command::CaptureWindow, "capture window"},
    {Command::CaptureClient, "capture client"},
    {Command::CaptureRegion, "capture region"},
    {Command::Hotkey, "hotkey"},
    {Command::HotkeyAlt, "hotkey alt"},
    {Command::PrintDesktop, "print-desktop"},
    {Command::Open, "open"},
    {Command::Suspend, "suspend"},
    {Command::Resume, "resume"},
    {Command::Quit, "quit"},
    {Command::DesktopKeysChanged, "desktop-keys"},
}};

std::optional<Command> commandOf(const QByteArray& words) {
    for (const auto& [command, known] : kWords) {
        if (words == known) {
            return command;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<int> parseDelaySeconds(const QByteArray& text) {
    bool isNumber = false;
    const int seconds = text.toInt(&isNumber);
    if (!isNumber || QByteArray::number(seconds) != text || seconds < kMinDelaySeconds ||
        seconds > kMaxDelaySeconds) {
        return std::nullopt;
    }
    return seconds;
}

bool takesDelay(Command command) {
    return command != Command::Suspend && command != Command::Resume && command != Command::Quit &&
           command != Command::DesktopKeysChanged;
}

QByteArray encodeRequest(const Request& request) {
    QByteArray message;
    if (request.delaySeconds > 0) {
        message = "delay " + QByteArray::number(request.delaySeconds) + ' ';
    }
    for (const auto& [known, words] : kWords) {
        if (known == request.command) {
            return message + words + '\n';
        }
    }
    return {};
}

std::optional<Request> decodeRequest(const QByteArray& message) {
    if (message.size() > kMaxCommandMessage || !message.endsWith('\n') ||
        message.count('\n') != 1) {
        return std::nullopt;
    }
    QByteArray words = message.chopped(1);
    int delay = 0;
    if (words.startsWith("delay ")) {
        const qsizetype end = words.indexOf(' ', 6);
        const std::optional<int> seconds = parseDelaySeconds(words.mid(6, end < 0 ? -1 : end - 6));
        if (!seconds || end < 0) {
            return std::nullopt;
        }
        delay = *seconds;
        words = words.mid(end + 1);
    }
    const std::optional<Command> command = commandOf(words);
    if (!command || (delay > 0 && !takesDelay(*command))) {
        return std::nullopt;
    }
    return Request{*command, delay};
}

}  // namespace varnoset
