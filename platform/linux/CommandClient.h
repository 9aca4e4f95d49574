#pragma once

#include <string>

namespace varnoset {

// How a command sent to the running copy fared.
enum class CommandDelivery {
    Delivered,   // the running copy understood it
    NotRunning,  // nothing listens on the socket
    Refused,     // a copy listens but did not take the command
};

// Sends one message over the local socket at that path and waits, at most timeoutMs, for the
// answer. Needs no application object, so it can run before any display is opened.
CommandDelivery sendCommand(const std::string& socketPath, const std::string& message,
                            int timeoutMs = 5000);

}  // namespace varnoset
