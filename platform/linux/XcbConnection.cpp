#include "platform/linux/XcbConnection.h"

#include <QGuiApplication>

namespace varnoset {

xcb_connection_t* qtXcbConnection() {
    auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return app ? app->connection() : nullptr;
}

xcb_screen_t* displayXcbScreen(xcb_connection_t* connection) {
    if (connection == nullptr) {
        return nullptr;
    }
    char* host = nullptr;
    int display = 0;
    int screenNumber = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screenNumber) == 0) {
        screenNumber = 0;
    }
    std::free(host);
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; it.rem > 0; xcb_screen_next(&it), ++i) {
        if (i == screenNumber) {
            return it.data;
        }
    }
    return nullptr;
}

}  // namespace varnoset
