#pragma once

#include <QByteArray>
#include <optional>

namespace varnoset {

// What another start of the program asks the running copy to do.
enum class Command {
    CaptureDesktop,
    CaptureWindow,  // the foreground window with its frame
    CaptureClient,  // the foreground window's client area
    CaptureRegion,
    PrintDesktop,
    Open,
    Suspend,
    Resume,
    Quit,
    DesktopKeysChanged,  // another start bound the keys in the desktop or gave them back
};

// A command travels as one short line of text ("capture desktop\n", "quit\n").
inline constexpr int kMaxCommandMessage = 64;

QByteArray encodeCommand(Command command);
// The command of a whole message; nothing for anything else (unknown words, no final newline,
// more than one line, more than kMaxCommandMessage bytes).
std::optional<Command> decodeCommand(const QByteArray& message);

}  // namespace varnoset
