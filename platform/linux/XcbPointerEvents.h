#pragma once

#include <QAbstractNativeEventFilter>
#include <QPoint>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

struct xcb_connection_t;

namespace varnoset {

// Remembers where on the root window the latest pointer events happened, in screen pixels, by
// their server time. Qt hands mouse positions over in whole logical units, so on a scaled screen
// the event alone cannot name every pixel; asking the server where the pointer is now races with
// a pointer that has moved on since. Qt gives its mouse events the server's time, which finds
// the event's own position here.
class XcbPointerEvents final : public QAbstractNativeEventFilter {
public:
    explicit XcbPointerEvents(xcb_connection_t* connection);
    ~XcbPointerEvents() override;
    XcbPointerEvents(const XcbPointerEvents&) = delete;
    XcbPointerEvents& operator=(const XcbPointerEvents&) = delete;

    // The root position of the newest button or motion event (core or XInput 2) of that server
    // time, among the latest few.
    std::optional<QPoint> positionAt(std::uint32_t time) const;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Record {
        std::uint32_t time = 0;
        QPoint position;
    };
    void record(std::uint32_t time, QPoint position);
    // The XInput extension's major opcode; 0 where the server has no XInput.
    std::uint8_t xinputOpcode();

    xcb_connection_t* connection_ = nullptr;
    std::optional<std::uint8_t> xinputOpcode_;  // not known until the first extension event
    std::array<Record, 32> records_{};
    std::size_t next_ = 0;   // where the next record goes
    std::size_t count_ = 0;  // records kept so far, up to the array's size
};

}  // namespace varnoset
