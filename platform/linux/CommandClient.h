#pragma once

#include <string>

namespace varnoset {

// How a command sent to the running copy fared.
enum class CommandDelivery {
    Done,        // carried out
    Failed,      // understood but not carried out; the answer says why
    NotRunning,  // nothing listens on the socket
    Refused,     // a copy listens but did not take the command
};

struct CommandOutcome {
    CommandDelivery delivery = CommandDelivery::NotRunning;
    std::string why;  // with Failed
};

// The running copy's answers, one line each: first whether it took the command, then, for a
// command it took, how the command ended ("ok", or "failed " and why).
inline constexpr char kAnswerStarted[] = "started\n";
inline constexpr char kAnswerUnknown[] = "unknown\n";
inline constexpr char kAnswerDone[] = "ok\n";
inline constexpr char kAnswerFailed[] = "failed ";

// Sends one message over the local socket at that path and waits, at most acceptTimeoutMs, to
// hear whether the running copy took it; then as long as the command takes (a rectangle waits
// for the user's drag). Needs no application object, so it can run before any display is opened.
CommandOutcome sendCommand(const std::string& socketPath, const std::string& message,
                           int acceptTimeoutMs = 5000);

}  // namespace varnoset
