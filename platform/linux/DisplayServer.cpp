#include "platform/linux/DisplayServer.h"

#include <cstdlib>

namespace varnoset {

namespace {

std::string_view environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string_view(value) : std::string_view();
}

}  // namespace

DisplayServer displayServerFor(std::string_view qtPlatform, std::string_view waylandDisplay,
                               std::string_view sessionType) {
    if (qtPlatform.starts_with("xcb")) {
        return DisplayServer::X11;
    }
    return !waylandDisplay.empty() && sessionType == "wayland" ? DisplayServer::Wayland
                                                               : DisplayServer::X11;
}

DisplayServer currentDisplayServer() {
    return displayServerFor(environment("QT_QPA_PLATFORM"), environment("WAYLAND_DISPLAY"),
                            environment("XDG_SESSION_TYPE"));
}

const char* qtPlatformFor(DisplayServer server) {
    return server == DisplayServer::Wayland ? "wayland" : "xcb";
}

}  // namespace varnoset
