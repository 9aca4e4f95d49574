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
    Hotkey,     // what the key alone does in the chosen mode
    HotkeyAlt,  // what Alt with the key does
    PrintDesktop,
    Open,
    Suspend,
    Resume,
    Quit,
    DesktopKeysChanged,  // another start bound the keys in the desktop or gave them back
};

// The seconds a capture may wait before it starts.
inline constexpr int kMinDelaySeconds = 1;
inline constexpr int kMaxDelaySeconds = 60;

// A command and the seconds to wait before it (0: at once).
struct Request {
    Command command = Command::Open;
    int delaySeconds = 0;

    friend bool operator==(const Request&, const Request&) = default;
};

// The seconds of a delay: whole, in digits only, within the range; nothing for anything else.
std::optional<int> parseDelaySeconds(const QByteArray& text);
// The commands a delay may precede: those that capture.
bool takesDelay(Command command);

// A request travels as one short line of text ("capture desktop\n", "delay 5 hotkey alt\n").
inline constexpr int kMaxCommandMessage = 64;

QByteArray encodeRequest(const Request& request);
// The request of a whole message; nothing for anything else (unknown words, a delay out of range
// or before a command that takes none, no final newline, more than one line, more than
// kMaxCommandMessage bytes).
std::optional<Request> decodeRequest(const QByteArray& message);

}  // namespace varnoset
