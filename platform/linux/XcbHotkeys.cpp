#include "platform/linux/XcbHotkeys.h"

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xinput.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <algorithm>
#include <cstring>

#include "platform/linux/XcbConnection.h"

namespace varnoset {

namespace {

constexpr xcb_keysym_t kNumLockSym = 0xff7f;     // XK_Num_Lock
constexpr xcb_keysym_t kScrollLockSym = 0xff14;  // XK_Scroll_Lock
// XKB event subtypes (xcb/xkb.h), in the byte after the response type.
constexpr std::uint8_t kXkbNewKeyboardNotify = 0;
constexpr std::uint8_t kXkbMapNotify = 1;
// Shift, Lock, Control and Mod1..Mod5: the modifier bits of a key event's state.
constexpr std::uint16_t kModifierBits = 0xff;

void freeKeySymbols(_XCBKeySymbols* symbols) {
    if (symbols != nullptr) {
        xcb_key_symbols_free(symbols);
    }
}

}  // namespace

XcbHotkeys::XcbHotkeys() : keySymbols_(nullptr, &freeKeySymbols) {
    connection_ = qtXcbConnection();
    xcb_screen_t* screen = displayXcbScreen(connection_);
    if (screen == nullptr) {
        connection_ = nullptr;
        return;
    }
    root_ = screen->root;
    // Qt listens to XKB, and then the server may announce keyboard changes only as XKB events.
    // The question goes out before the keyboard's maps are read, so one wait answers all three.
    static constexpr char kXkb[] = "XKEYBOARD";
    const xcb_query_extension_cookie_t xkbQuery =
        xcb_query_extension(connection_, std::strlen(kXkb), kXkb);
    readKeyboard();
    auto xkb = xcbReply(xcb_query_extension_reply(connection_, xkbQuery, nullptr));
    if (xkb && xkb->present) {
        xkbFirstEvent_ = xkb->first_event;
    }
    // Qt has announced XInput 2.2 on this connection, under which raw events ignore grabs.
    const xcb_query_extension_reply_t* xinput = xcb_get_extension_data(connection_, &xcb_input_id);
    xinputOpcode_ = xinput != nullptr && xinput->present != 0 ? xinput->major_opcode : 0;
    QCoreApplication::instance()->installNativeEventFilter(this);
}

XcbHotkeys::~XcbHotkeys() {
    // The connection belongs to Qt: once the application object is gone, so are the grabs.
    if (connection_ == nullptr || QCoreApplication::instance() == nullptr) {
        return;
    }
    QCoreApplication::instance()->removeNativeEventFilter(this);
    selectRawKeys(false);
    for (Registration& registration : registrations_) {
        ungrab(registration);
    }
}

void XcbHotkeys::setHandler(std::function<void(int)> handler) {
    handler_ = std::move(handler);
}

void XcbHotkeys::registerHotkey(int id, Modifier modifier, std::uint32_t keySymbol) {
    const auto modifiers =
        static_cast<std::uint16_t>(modifier == Modifier::Alt ? XCB_MOD_MASK_1 : 0);
    // The same key held again: it stays held, without a moment in which another program could
    // take it and without the server's round trips.
    const bool alreadyHeld =
        std::any_of(registrations_.begin(), registrations_.end(), [&](const Registration& r) {
            return r.id == id && r.grabbed && r.modifiers == modifiers && r.keySymbol == keySymbol;
        });
    if (alreadyHeld) {
        return;
    }
    unregisterHotkey(id);
    Registration registration{id, modifiers, keySymbol, {}, false};
    grab(registration);
    registrations_.push_back(std::move(registration));
}

void XcbHotkeys::unregisterHotkey(int id) {
    const auto it = std::find_if(registrations_.begin(), registrations_.end(),
                                 [id](const Registration& r) { return r.id == id; });
    if (it == registrations_.end()) {
        return;
    }
    ungrab(*it);
    registrations_.erase(it);
}

bool XcbHotkeys::isHeld(int id) const {
    return std::any_of(registrations_.begin(), registrations_.end(),
                       [id](const Registration& r) { return r.id == id && r.grabbed; });
}

void XcbHotkeys::retryRefused() {
    for (Registration& registration : registrations_) {
        if (!registration.grabbed) {
            grab(registration);
        }
    }
}

void XcbHotkeys::setHeldChangedHandler(std::function<void()> handler) {
    heldChanged_ = std::move(handler);
}

void XcbHotkeys::setPressedElsewhereHandler(std::function<void(int)> handler) {
    if (static_cast<bool>(handler) != static_cast<bool>(pressedElsewhere_)) {
        selectRawKeys(static_cast<bool>(handler));
    }
    pressedElsewhere_ = std::move(handler);
}

// Every key of the keyboard reaches a client that selects raw events, so they are selected only
// while someone waits to hear of presses held elsewhere.
void XcbHotkeys::selectRawKeys(bool on) {
    if (connection_ == nullptr || xinputOpcode_ == 0) {
        return;
    }
    struct {
        xcb_input_event_mask_t head;
        std::uint32_t bits;
    } mask{{XCB_INPUT_DEVICE_ALL_MASTER, 1},
           on ? std::uint32_t{XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS |
                              XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE}
              : 0u};
    xcb_input_xi_select_events(connection_, root_, 1, &mask.head);
    xcb_flush(connection_);
    altsDown_ = 0;
}

// The lock modifiers' bits: NumLock and ScrollLock sit on whichever of Mod1..Mod5 the modifier
// map gives them (xcb_get_modifier_mapping), CapsLock is always Lock.
void XcbHotkeys::readKeyboard() {
    keySymbols_.reset(xcb_key_symbols_alloc(connection_));
    numLockMask_ = 0;
    scrollLockMask_ = 0;
    altKeycodes_.clear();
    auto map = xcbReply(xcb_get_modifier_mapping_reply(
        connection_, xcb_get_modifier_mapping(connection_), nullptr));
    if (!map || !keySymbols_) {
        return;
    }
    const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(map.get());
    const int perModifier = map->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t keycode = keycodes[modifier * perModifier + i];
            if (keycode == 0) {
                continue;
            }
            if ((1u << modifier) == XCB_MOD_MASK_1) {
                altKeycodes_.push_back(keycode);
            }
            for (int column = 0; column < 4; ++column) {
                const xcb_keysym_t sym =
                    xcb_key_symbols_get_keysym(keySymbols_.get(), keycode, column);
                if (sym == kNumLockSym) {
                    numLockMask_ |= static_cast<std::uint16_t>(1u << modifier);
                } else if (sym == kScrollLockSym) {
                    scrollLockMask_ |= static_cast<std::uint16_t>(1u << modifier);
                }
            }
        }
    }
}

std::vector<std::uint16_t> XcbHotkeys::lockCombinations() const {
    const std::uint16_t locks[] = {XCB_MOD_MASK_LOCK, numLockMask_, scrollLockMask_};
    std::vector<std::uint16_t> combinations{0};
    for (const std::uint16_t lock : locks) {
        if (lock == 0) {
            continue;
        }
        const std::size_t count = combinations.size();
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint16_t with = static_cast<std::uint16_t>(combinations[i] | lock);
            if (std::find(combinations.begin(), combinations.end(), with) == combinations.end()) {
                combinations.push_back(with);
            }
        }
    }
    return combinations;
}

void XcbHotkeys::grab(Registration& registration) {
    registration.keycodes.clear();
    registration.grabbed = false;
    if (connection_ == nullptr || !keySymbols_ || registration.keySymbol == 0) {
        return;
    }
    if (auto codes =
            xcbReply(xcb_key_symbols_get_keycode(keySymbols_.get(), registration.keySymbol))) {
        for (const xcb_keycode_t* code = codes.get(); *code != XCB_NO_SYMBOL; ++code) {
            registration.keycodes.push_back(*code);
        }
    }
    if (registration.keycodes.empty()) {
        return;
    }
    // Every grab goes out before the first answer is awaited: one round trip however many
    // keycodes and lock states the key has.
    std::vector<xcb_void_cookie_t> cookies;
    for (const std::uint8_t keycode : registration.keycodes) {
        for (const std::uint16_t locks : lockCombinations()) {
            cookies.push_back(xcb_grab_key_checked(
                connection_, 1, root_, static_cast<std::uint16_t>(registration.modifiers | locks),
                keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        }
    }
    bool refused = false;
    for (const xcb_void_cookie_t cookie : cookies) {
        // BadAccess: another client holds this key with these modifiers.
        if (auto error = xcbReply(xcb_request_check(connection_, cookie))) {
            refused = true;
        }
    }
    registration.grabbed = true;
    if (refused) {
        // Half a key would work under some lock states only: give back what was taken.
        ungrab(registration);
    }
}

void XcbHotkeys::ungrab(Registration& registration) {
    if (connection_ == nullptr || !registration.grabbed) {
        return;
    }
    xcb_void_cookie_t last{};
    for (const std::uint8_t keycode : registration.keycodes) {
        for (const std::uint16_t locks : lockCombinations()) {
            last =
                xcb_ungrab_key_checked(connection_, keycode, root_,
                                       static_cast<std::uint16_t>(registration.modifiers | locks));
        }
    }
    // Waiting for the last one means the server has released the key before this returns, so
    // another program can take it at once.
    xcbReply(xcb_request_check(connection_, last));
    registration.grabbed = false;
}

bool XcbHotkeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    if (type == XCB_KEY_PRESS) {
        const auto* press = static_cast<const xcb_key_press_event_t*>(message);
        return keyPressed(press->detail, press->state);
    }
    if (type == XCB_GE_GENERIC && xinputOpcode_ != 0) {
        const auto* generic = static_cast<const xcb_ge_generic_event_t*>(message);
        if (generic->extension == xinputOpcode_ &&
            (generic->event_type == XCB_INPUT_RAW_KEY_PRESS ||
             generic->event_type == XCB_INPUT_RAW_KEY_RELEASE)) {
            const auto* raw = static_cast<const xcb_input_raw_key_press_event_t*>(message);
            rawKey(static_cast<std::uint8_t>(raw->detail),
                   generic->event_type == XCB_INPUT_RAW_KEY_PRESS);
            return true;  // selected by nobody else
        }
    }
    if (type == XCB_MAPPING_NOTIFY) {
        const auto* mapping = static_cast<const xcb_mapping_notify_event_t*>(message);
        if (mapping->request != XCB_MAPPING_POINTER) {
            scheduleRemap();
        }
    } else if (xkbFirstEvent_ != 0 && type == xkbFirstEvent_) {
        const std::uint8_t xkbType = event->pad0;
        if (xkbType == kXkbMapNotify || xkbType == kXkbNewKeyboardNotify) {
            scheduleRemap();
        }
    }
    return false;  // Qt needs the keyboard changes too
}

bool XcbHotkeys::keyPressed(std::uint8_t keycode, std::uint16_t state) {
    const auto relevant = static_cast<std::uint16_t>(
        kModifierBits & ~(XCB_MOD_MASK_LOCK | numLockMask_ | scrollLockMask_));
    for (const Registration& registration : registrations_) {
        if (registration.grabbed && registration.onKeycode(keycode) &&
            (state & relevant) == registration.modifiers) {
            post(&XcbHotkeys::handler_, registration.id);
            return true;
        }
    }
    return false;
}

void XcbHotkeys::rawKey(std::uint8_t keycode, bool pressed) {
    if (std::find(altKeycodes_.begin(), altKeycodes_.end(), keycode) != altKeycodes_.end()) {
        altsDown_ = std::max(0, altsDown_ + (pressed ? 1 : -1));
        return;
    }
    if (!pressed || !pressedElsewhere_) {
        return;
    }
    const auto modifiers = static_cast<std::uint16_t>(altsDown_ > 0 ? XCB_MOD_MASK_1 : 0);
    for (const Registration& registration : registrations_) {
        if (!registration.grabbed && registration.modifiers == modifiers &&
            registration.onKeycode(keycode)) {
            post(&XcbHotkeys::pressedElsewhere_, registration.id);
        }
    }
}

// Delivered from the event loop, like a posted message: the capture runs nested event loops,
// which must not start inside Qt's own event reading.
void XcbHotkeys::post(std::function<void(int)> XcbHotkeys::*handler, int id) {
    QMetaObject::invokeMethod(
        &deliveries_,
        [this, handler, id] {
            if (this->*handler) {
                (this->*handler)(id);
            }
        },
        Qt::QueuedConnection);
}

void XcbHotkeys::scheduleRemap() {
    if (remapPending_) {
        return;
    }
    remapPending_ = true;
    QMetaObject::invokeMethod(
        &deliveries_, [this] { remap(); }, Qt::QueuedConnection);
}

// The keys may sit on other keycodes now, and the locks on other modifier bits: release every
// grab under the old layout, then grab again under the new one.
void XcbHotkeys::remap() {
    remapPending_ = false;
    for (Registration& registration : registrations_) {
        ungrab(registration);
    }
    readKeyboard();
    for (Registration& registration : registrations_) {
        grab(registration);
    }
    if (heldChanged_) {
        heldChanged_();
    }
}

}  // namespace varnoset
