#include <gtest/gtest.h>

#include "platform/linux/DisplayServer.h"

using namespace varnoset;

TEST(DisplayServer, OnlyAWaylandSessionWithoutAForcedXcbRunsOnWayland) {
    struct Case {
        const char* qtPlatform;
        const char* waylandDisplay;
        const char* sessionType;
        DisplayServer expected;
    };
    const Case cases[] = {
        {"", "wayland-0", "wayland", DisplayServer::Wayland},
        {"wayland", "wayland-1", "wayland", DisplayServer::Wayland},
        {"xcb", "wayland-0", "wayland", DisplayServer::X11},  // forced X11 through XWayland
        {"xcb:nograb", "wayland-0", "wayland", DisplayServer::X11},
        {"", "", "wayland", DisplayServer::X11},       // no compositor to reach
        {"", "wayland-0", "x11", DisplayServer::X11},  // nested compositor in an X11 session
        {"", "wayland-0", "", DisplayServer::X11},
        {"", "", "", DisplayServer::X11},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(displayServerFor(c.qtPlatform, c.waylandDisplay, c.sessionType), c.expected)
            << c.qtPlatform << " | " << c.waylandDisplay << " | " << c.sessionType;
    }
    EXPECT_STREQ(qtPlatformFor(DisplayServer::Wayland), "wayland");
    EXPECT_STREQ(qtPlatformFor(DisplayServer::X11), "xcb");
}
