#include "platform/linux/XcbPointerEvents.h"

#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <QByteArray>
#include <QCoreApplication>
#include <algorithm>
#include <cmath>

namespace varnoset {

namespace {

int fromFixed1616(xcb_input_fp1616_t value) {
    return static_cast<int>(std::floor(value / 65536.0));
}

}  // namespace

XcbPointerEvents::XcbPointerEvents(xcb_connection_t* connection) {
    if (connection != nullptr) {
        // Qt's xcb plugin reads the pointer through XInput 2 where the server has it. The
        // extension's number is asked now and read with the first extension event.
        xcb_prefetch_extension_data(connection, &xcb_input_id);
        connection_ = connection;
    }
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
}

XcbPointerEvents::~XcbPointerEvents() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

void XcbPointerEvents::record(std::uint32_t time, QPoint position) {
    records_[next_] = {time, position};
    next_ = (next_ + 1) % records_.size();
    count_ = std::min(count_ + 1, records_.size());
}

std::optional<QPoint> XcbPointerEvents::positionAt(std::uint32_t time) const {
    for (std::size_t back = 1; back <= count_; ++back) {
        const Record& r = records_[(next_ + records_.size() - back) % records_.size()];
        if (r.time == time) {
            return r.position;
        }
    }
    return std::nullopt;
}

std::uint8_t XcbPointerEvents::xinputOpcode() {
    if (!xinputOpcode_) {
        const xcb_query_extension_reply_t* xinput =
            connection_ != nullptr ? xcb_get_extension_data(connection_, &xcb_input_id) : nullptr;
        xinputOpcode_ = xinput != nullptr && xinput->present != 0 ? xinput->major_opcode : 0;
    }
    return *xinputOpcode_;
}

bool XcbPointerEvents::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    switch (event->response_type & 0x7f) {
        case XCB_BUTTON_PRESS:
        case XCB_BUTTON_RELEASE:
        case XCB_MOTION_NOTIFY: {
            // Press, release and motion share the layout of their first fields.
            const auto* button = static_cast<const xcb_button_press_event_t*>(message);
            record(button->time, QPoint(button->root_x, button->root_y));
            break;
        }
        case XCB_GE_GENERIC: {
            const auto* generic = static_cast<const xcb_ge_generic_event_t*>(message);
            if (generic->extension != xinputOpcode()) {
                break;
            }
            if (generic->event_type == XCB_INPUT_BUTTON_PRESS ||
                generic->event_type == XCB_INPUT_BUTTON_RELEASE ||
                generic->event_type == XCB_INPUT_MOTION) {
                const auto* device = static_cast<const xcb_input_button_press_event_t*>(message);
                record(device->time,
                       QPoint(fromFixed1616(device->root_x), fromFixed1616(device->root_y)));
            }
            break;
        }
        default:
            break;
    }
    return false;  // Qt handles the event as ever
}

}  // namespace varnoset
