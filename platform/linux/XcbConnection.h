#pragma once

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace varnoset {

// Every reply and error that xcb hands out is released with free().
template <typename T>
using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
XcbReply<T> xcbReply(T* reply) {
    return XcbReply<T>(reply, &std::free);
}

// The connection of Qt's X11 platform, or nullptr on any other platform (offscreen, Wayland).
xcb_connection_t* qtXcbConnection();

// The screen that DISPLAY names (its root window is "the screen"), or nullptr.
xcb_screen_t* displayXcbScreen(xcb_connection_t* connection);

}  // namespace varnoset
