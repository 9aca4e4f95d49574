#include "platform/linux/XcbActiveWindow.h"

#include <xcb/xcb.h>

#include <cstring>

#include "platform/linux/XcbConnection.h"

namespace varnoset {

XcbActiveWindow::XcbActiveWindow() : XcbActiveWindow(qtXcbConnection()) {}

XcbActiveWindow::XcbActiveWindow(xcb_connection_t* connection) {
    if (xcb_screen_t* screen = displayXcbScreen(connection)) {
        connection_ = connection;
        root_ = screen->root;
    }
}

std::uint32_t XcbActiveWindow::atom(const char* name) const {
    auto reply = xcbReply(xcb_intern_atom_reply(
        connection_,
        xcb_intern_atom(connection_, 1, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

ActiveWindow::Handle XcbActiveWindow::foreground() const {
    if (connection_ == nullptr) {
        return 0;
    }
    if (const xcb_atom_t active = atom("_NET_ACTIVE_WINDOW"); active != XCB_ATOM_NONE) {
        auto reply = xcbReply(xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, root_, active, XCB_ATOM_WINDOW, 0, 1),
            nullptr));
        if (reply && reply->format == 32 && xcb_get_property_value_length(reply.get()) >= 4) {
            const auto window =
                *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
            if (window != XCB_WINDOW_NONE) {
                return window;
            }
        }
    }
    auto focus =
        xcbReply(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    if (!focus || focus->focus == XCB_WINDOW_NONE || focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT ||
        focus->focus == root_) {
        return 0;
    }
    return topLevelOf(focus->focus);
}

// The ancestor of the window that is a child of the root: the frame of a managed window.
std::uint32_t XcbActiveWindow::topLevelOf(std::uint32_t window) const {
    for (;;) {
        auto tree = xcbReply(
            xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), nullptr));
        if (!tree) {
            return 0;
        }
        if (tree->parent == root_ || tree->parent == XCB_WINDOW_NONE) {
            return window;
        }
        window = tree->parent;
    }
}

QRect XcbActiveWindow::clientRect(Handle window) const {
    if (connection_ == nullptr || window == 0) {
        return {};
    }
    const auto id = static_cast<xcb_window_t>(window);
    auto geometry =
        xcbReply(xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, id), nullptr));
    auto position = xcbReply(xcb_translate_coordinates_reply(
        connection_, xcb_translate_coordinates(connection_, id, root_, 0, 0), nullptr));
    if (!geometry || !position) {
        return {};
    }
    return QRect(position->dst_x, position->dst_y, geometry->width, geometry->height);
}

QRect XcbActiveWindow::windowRect(Handle window) const {
    const QRect client = clientRect(window);
    if (client.isNull()) {
        return {};
    }
    const xcb_atom_t extentsAtom = atom("_NET_FRAME_EXTENTS");
    if (extentsAtom == XCB_ATOM_NONE) {
        return client;
    }
    auto reply = xcbReply(
        xcb_get_property_reply(connection_,
                               xcb_get_property(connection_, 0, static_cast<xcb_window_t>(window),
                                                extentsAtom, XCB_ATOM_CARDINAL, 0, 4),
                               nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 16) {
        return client;  // an undecorated window is its own frame
    }
    const auto* extents = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    const int left = static_cast<int>(extents[0]);
    const int right = static_cast<int>(extents[1]);
    const int top = static_cast<int>(extents[2]);
    const int bottom = static_cast<int>(extents[3]);
    return client.adjusted(-left, -top, right, bottom);
}

}  // namespace varnoset
