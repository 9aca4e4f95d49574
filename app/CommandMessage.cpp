#include "app/CommandMessage.h"

#include <array>
#include <utility>

namespace varnoset {

namespace {

constexpr std::array<std::pair<Command, const char*>, 10> kWords{{
    {Command::CaptureDesktop, "capture desktop"},
    {Command::CaptureWindow, "capture window"},
    {Command::CaptureClient, "capture client"},
    {Command::CaptureRegion, "capture region"},
    {Command::PrintDesktop, "print-desktop"},
    {Command::Open, "open"},
    {Command::Suspend, "suspend"},
    {Command::Resume, "resume"},
    {Command::Quit, "quit"},
    {Command::DesktopKeysChanged, "desktop-keys"},
}};

}  // namespace

QByteArray encodeCommand(Command command) {
    for (const auto& [known, words] : kWords) {
        if (known == command) {
            return QByteArray(words) + '\n';
        }
    }
    return {};
}

std::optional<Command> decodeCommand(const QByteArray& message) {
    if (message.size() > kMaxCommandMessage || !message.endsWith('\n') ||
        message.count('\n') != 1) {
        return std::nullopt;
    }
    const QByteArray words = message.chopped(1);
    for (const auto& [command, known] : kWords) {
        if (words == known) {
            return command;
        }
    }
    return std::nullopt;
}

}  // namespace varnoset
