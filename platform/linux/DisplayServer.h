#pragma once

#include <string_view>

namespace varnoset {

enum class DisplayServer { X11, Wayland };

// Wayland in a Wayland session (WAYLAND_DISPLAY set, XDG_SESSION_TYPE=wayland) unless
// QT_QPA_PLATFORM asks for xcb; X11 everywhere else, XWayland included.
DisplayServer displayServerFor(std::string_view qtPlatform, std::string_view waylandDisplay,
                               std::string_view sessionType);
// The same for this process's environment.
DisplayServer currentDisplayServer();
// The Qt platform plugin that serves the display server.
const char* qtPlatformFor(DisplayServer server);

}  // namespace varnoset
