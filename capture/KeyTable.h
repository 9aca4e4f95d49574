#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include <QtCore/qnamespace.h>

namespace varnoset {

// One selectable hotkey: its radio item in "Define Hotkey", the Windows virtual-key code that the
// options store, the prompt shown in the tray tooltip, the X keysym that is grabbed for it, and the
// key as the desktops' shortcut settings name it: the keysym's X name and its Qt key.
struct KeyTableRow {
    std::string_view menuItem;
    std::string_view caption;
    std::uint8_t virtualKey;
    std::string_view prompt;
    std::uint32_t keySymbol;
    std::string_view symbolName;
    Qt::Key qtKey;
};

inline constexpr std::uint8_t kPrintScreenKey = 44;

// X keysyms and their names (X11/keysymdef.h), spelled out so that the table needs no X headers.
inline constexpr std::array<KeyTableRow, 17> KeyTable{{
    {"key0", "Printscreen", 44, "Press PrintScreen", 0xff61, "Print", Qt::Key_Print},
    {"key1", "F1", 112, "Press F1", 0xffbe, "F1", Qt::Key_F1},
    {"key2", "F2", 113, "Press F2", 0xffbf, "F2", Qt::Key_F2},
    {"key3", "F3", 114, "Press F3", 0xffc0, "F3", Qt::Key_F3},
    {"key4", "F4", 115, "Press F4", 0xffc1, "F4", Qt::Key_F4},
    {"key5", "F5", 116, "Press F5", 0xffc2, "F5", Qt::Key_F5},
    {"key6", "F6", 117, "Press F6", 0xffc3, "F6", Qt::Key_F6},
    {"key7", "F7", 118, "Press F7", 0xffc4, "F7", Qt::Key_F7},
    {"key8", "F8", 119, "Press F8", 0xffc5, "F8", Qt::Key_F8},
    {"key9", "F9", 120, "Press F9", 0xffc6, "F9", Qt::Key_F9},
    {"key10", "F10", 121, "Press F10", 0xffc7, "F10", Qt::Key_F10},
    {"key11", "F11", 122, "Press F11", 0xffc8, "F11", Qt::Key_F11},
    {"key12", "F12", 123, "Press F12", 0xffc9, "F12", Qt::Key_F12},
    {"key13", "Page Up", 33, "Press Page-UP", 0xff55, "Page_Up", Qt::Key_PageUp},
    {"key14", "Page Down", 34, "Press Page-Down", 0xff56, "Page_Down", Qt::Key_PageDown},
    {"Key15", "Scroll Lock", 145, "Press Scroll-Lock", 0xff14, "Scroll_Lock", Qt::Key_ScrollLock},
    {"Key16", "Pause", 19, "Press Pause", 0xff13, "Pause", Qt::Key_Pause},
}};

// The row of a virtual-key code, or nothing for a code outside the table.
std::optional<int> keyTableRowOf(std::uint8_t virtualKey);

}  // namespace varnoset
