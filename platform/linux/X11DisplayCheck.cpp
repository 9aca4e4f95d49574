#include "platform/linux/X11DisplayCheck.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace varnoset {

bool canOpenX11Display(std::string& why) {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        why = "no X display is set (DISPLAY is empty)";
        return false;
    }
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> connection(
        xcb_connect(nullptr, nullptr), &xcb_disconnect);
    if (!connection || xcb_connection_has_error(connection.get()) != 0) {
        why = std::string("cannot open the X display ") + display;
        return false;
    }
    return true;
}

}  // namespace varnoset
