#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Hotkeys.h"

struct xcb_connection_t;
struct _XCBKeySymbols;

namespace varnoset {

// System-wide keys as passive key grabs on the X root window, through Qt's own xcb connection.
// Each registration grabs its key (every keycode its keysym is on) with its modifier under every
// combination of CapsLock, NumLock and ScrollLock, so that the key works whatever lock is on.
// Presses reach the handler from the event loop. Presses of keys that another client holds are
// seen, only while someone asks, as XInput 2 raw key events on the root window, which the server
// sends whoever holds the key. Without an X11 connection (offscreen) nothing is grabbed and
// nothing arrives.
class XcbHotkeys final : public Hotkeys, private QAbstractNativeEventFilter {
public:
    XcbHotkeys();
    ~XcbHotkeys() override;
    XcbHotkeys(const XcbHotkeys&) = delete;
    XcbHotkeys& operator=(const XcbHotkeys&) = delete;

    void registerHotkey(int id, Modifier modifier, std::uint32_t keySymbol) override;
    void unregisterHotkey(int id) override;
    void setHandler(std::function<void(int id)> handler) override;
    bool isHeld(int id) const override;
    void retryRefused() override;
    void setHeldChangedHandler(std::function<void()> handler) override;
    void setPressedElsewhereHandler(std::function<void(int id)> handler) override;

private:
    struct Registration {
        int id;
        std::uint16_t modifiers;
        std::uint32_t keySymbol;
        std::vector<std::uint8_t> keycodes;
        bool grabbed = false;

        bool onKeycode(std::uint8_t keycode) const {
            return std::find(keycodes.begin(), keycodes.end(), keycode) != keycodes.end();
        }
    };
    using KeySymbols = std::unique_ptr<_XCBKeySymbols, void (*)(_XCBKeySymbols*)>;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    bool keyPressed(std::uint8_t keycode, std::uint16_t state);
    // A raw key event: Alt's state, and a press of a key held elsewhere.
    void rawKey(std::uint8_t keycode, bool pressed);
    void selectRawKeys(bool on);
    // Calls the handler with the identifier once the event loop runs again.
    void post(std::function<void(int)> XcbHotkeys::*handler, int id);
    void readKeyboard();
    void scheduleRemap();
    void remap();
    std::vector<std::uint16_t> lockCombinations() const;
    void grab(Registration& registration);
    void ungrab(Registration& registration);

    xcb_connection_t* connection_ = nullptr;
    std::uint32_t root_ = 0;
    std::uint8_t xkbFirstEvent_ = 0;
    KeySymbols keySymbols_;
    std::uint16_t numLockMask_ = 0;
    std::uint16_t scrollLockMask_ = 0;
    std::vector<std::uint8_t> altKeycodes_;  // the keys on Mod1, the registrations' Alt
    int altsDown_ = 0;
    std::uint8_t xinputOpcode_ = 0;
    bool remapPending_ = false;
    std::vector<Registration> registrations_;
    std::function<void(int)> handler_;
    std::function<void()> heldChanged_;
    std::function<void(int)> pressedElsewhere_;
    QObject deliveries_;  // queued deliveries die with this object
};

}  // namespace varnoset
