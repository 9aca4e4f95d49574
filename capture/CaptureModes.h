#pragma once

#include <array>
#include <string_view>

namespace varnoset {

// The identifiers under which the two forms of the hotkey arrive.
inline constexpr int kWindowHotkey = -1;  // captures the foreground window
inline constexpr int kScreenHotkey = -2;  // captures the screen, or the dragged rectangle in mode 2

// One of the two registrations a mode makes: the identifier and whether Alt is part of the key.
struct HotkeyBinding {
    int id;
    bool withAlt;
};

// A capture mode (HotkeyFunction): its radio item in "Define Hotkey Function" and the two
// registrations it makes, in the order they are made.
struct CaptureMode {
    std::string_view menuItem;
    std::string_view caption;
    std::array<HotkeyBinding, 2> bindings;
};

inline constexpr int kRectangleMode = 2;
inline constexpr int kEditMode = 3;

// The captions are aligned with runs of spaces; Action4's ends with a space.
inline constexpr std::array<CaptureMode, 4> CaptureModes{{
    {"Action1",
     "Hotkey = ( Desktop )                         Alt+Hotkey = ( Active Window )",
     {{{kWindowHotkey, true}, {kScreenHotkey, false}}}},
    {"Action2",
     "Hotkey = ( Active Window )              Alt+Hotkey = ( Desktop )",
     {{{kScreenHotkey, true}, {kWindowHotkey, false}}}},
    {"Action3",
     "Hotkey = (Get Rectangular Area )     Alt+Hotkey = ( Active Window )",
     {{{kScreenHotkey, false}, {kWindowHotkey, true}}}},
    {"Action4",
     "Hotkey = ( Edit Picture Desktop)       Alt+Hotkey = ( Edit Picture active Window ) ",
     {{{kWindowHotkey, true}, {kScreenHotkey, false}}}},
}};

// The mode for a HotkeyFunction value, or nullptr outside 0..3.
const CaptureMode* captureModeFor(int hotkeyFunction);

}  // namespace varnoset
