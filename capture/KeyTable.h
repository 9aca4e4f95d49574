#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace varnoset {

// One selectable hotkey: its radio item in "Define Hotkey", the Windows virtual-key code that the
// options store, the prompt shown in the tray tooltip, and the X keysym that is grabbed for it.
struct KeyTableRow {
    std::string_view menuItem;
    std::string_view caption;
    std::uint8_t virtualKey;
    std::string_view prompt;
    std::uint32_t keySymbol;
};

inline constexpr std::uint8_t kPrintScreenKey = 44;

// X keysyms (X11/keysymdef.h), spelled out here so that the table needs no X headers.
inline constexpr std::array<KeyTableRow, 17> KeyTable{{
    {"key0", "Printscreen", 44, "Press PrintScreen", 0xff61},  // XK_Print
    {"key1", "F1", 112, "Press F1", 0xffbe},                   // XK_F1
    {"key2", "F2", 113, "Press F2", 0xffbf},
    {"key3", "F3", 114, "Press F3", 0xffc0},
    {"key4", "F4", 115, "Press F4", 0xffc1},
    {"key5", "F5", 116, "Press F5", 0xffc2},
    {"key6", "F6", 117, "Press F6", 0xffc3},
    {"key7", "F7", 118, "Press F7", 0xffc4},
    {"key8", "F8", 119, "Press F8", 0xffc5},
    {"key9", "F9", 120, "Press F9", 0xffc6},
    {"key10", "F10", 121, "Press F10", 0xffc7},
    {"key11", "F11", 122, "Press F11", 0xffc8},
    {"key12", "F12", 123, "Press F12", 0xffc9},                  // XK_F12
    {"key13", "Page Up", 33, "Press Page-UP", 0xff55},           // XK_Prior
    {"key14", "Page Down", 34, "Press Page-Down", 0xff56},       // XK_Next
    {"Key15", "Scroll Lock", 145, "Press Scroll-Lock", 0xff14},  // XK_Scroll_Lock
    {"Key16", "Pause", 19, "Press Pause", 0xff13},               // XK_Pause
}};

// The row of a virtual-key code, or nothing for a code outside the table.
std::optional<int> keyTableRowOf(std::uint8_t virtualKey);

}  // namespace varnoset
