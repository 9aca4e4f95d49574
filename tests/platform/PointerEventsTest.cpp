// The pointer positions kept by server time, fed with the events as the server sends them.
#include <gtest/gtest.h>
#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <QByteArray>

#include "platform/linux/XcbPointerEvents.h"

namespace varnoset {
namespace {

void feed(XcbPointerEvents& events, std::uint8_t type, std::uint32_t time, int x, int y) {
    xcb_button_press_event_t event{};
    event.response_type = type;
    event.time = time;
    event.root_x = static_cast<std::int16_t>(x);
    event.root_y = static_cast<std::int16_t>(y);
    events.nativeEventFilter(QByteArrayLiteral("xcb_generic_event_t"), &event, nullptr);
}

TEST(PointerEvents, EachEventIsFoundByItsTimeAmongTheLatest) {
    XcbPointerEvents events(nullptr);
    EXPECT_EQ(events.positionAt(10), std::nullopt);

    feed(events, XCB_BUTTON_PRESS, 10, 1601, 201);
    feed(events, XCB_MOTION_NOTIFY, 11, 1700, 250);
    feed(events, XCB_MOTION_NOTIFY | 0x80, 11, 1703, 251);  // sent by another client: the same
    feed(events, XCB_BUTTON_RELEASE, 12, 1703, 251);
    feed(events, XCB_KEY_PRESS, 13, 5, 5);  // not a pointer event
    // The press is found after the pointer has moved on; of two events in one millisecond, the
    // newer one.
    EXPECT_EQ(events.positionAt(10), QPoint(1601, 201));
    EXPECT_EQ(events.positionAt(11), QPoint(1703, 251));
    EXPECT_EQ(events.positionAt(12), QPoint(1703, 251));
    EXPECT_EQ(events.positionAt(13), std::nullopt);

    // Only the latest few are kept.
    for (std::uint32_t time = 100; time < 200; ++time) {
        feed(events, XCB_MOTION_NOTIFY, time, static_cast<int>(time), 0);
    }
    EXPECT_EQ(events.positionAt(10), std::nullopt);
    EXPECT_EQ(events.positionAt(199), QPoint(199, 0));
    EXPECT_EQ(events.positionAt(180), QPoint(180, 0));
}

}  // namespace
}  // namespace varnoset
