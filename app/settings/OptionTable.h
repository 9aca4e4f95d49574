#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <variant>

#include "app/settings/OptionHolders.h"

namespace varnoset {

using namespace std::string_view_literals;

// The key that holds every option, below HKEY_CURRENT_USER.
inline constexpr std::string_view kSetupKey = "SOFTWARE\\Kestrane\\NewVarnoset\\v3.00\\Setup";

// FooterString before any option is loaded, and its first-start value.
inline constexpr std::string_view kFooterBanner = "Varnoset® v3.00 - Screen Capture and Printing";

enum class OptionType : std::uint8_t { Bool, Integer, String };

// Who writes a value: the first start, "Save Options", the close, or the program whenever the
// value changes (what it has learnt about the desktop, not an option the user sets).
enum Writer : std::uint8_t { kAtFirstStart = 1, kOnSave = 2, kAtClose = 4, kWhenChanged = 8 };
inline constexpr std::uint8_t kStartAndSave = kAtFirstStart | kOnSave;

// One id per row of the table, in the table's order.
enum class OptionId : std::uint8_t {
    Monochrom,
    Inversed,
    Mirrored,
    Centered,
    Proportion,
    HalfSize,
    Stretched,
    NormalSize,
    Frame,
    SwapBW,
    FooterText,
    FooterTime,
    FooterUser,
    Landscape,
    Portrait,
    Direct,
    PlaySound,
    Client,
    Confirm,
    Red,
    Green,
    Blue,
    Resize,
    WinPosLeft,
    WinPosTop,
    FrameSize,
    Color1,
    Color2,
    DefPrinter,
    Copies,
    SaveFolder,
    LoadFolder,
    FooterString,
    Contrast,
    Brightness,
    Hotkey,
    HotkeyFunction,
    AutoCopy,
    AutoSave,
    AutoSaveFolder,
    AutoSavePattern,
    ThroughDesktop,
    DesktopKeys,
};

// The first-start window position: centred on the screen (computed at the time).
enum class Centred : std::uint8_t { Left, Top };

using Holder = std::variant<std::monostate, Check, Number, Text>;
using OptionDefault = std::variant<std::monostate, bool, std::int32_t, std::string_view, Centred>;

struct OptionRow {
    OptionId id;
    std::string_view name;  // the value name as read
    OptionType type;
    Holder holder;             // what loading sets; none for a value that is never read
    OptionDefault firstStart;  // the value written at first start; none when not written then
    std::uint8_t writers;      // Writer bits
    Holder savedFrom = {};     // what saving reads, when not the holder itself
    std::string_view writtenAs = {};  // the name as written, when spelt otherwise
    // A value added after the first release: a file without it leaves the holder as it is.
    bool mayBeMissing = false;

    constexpr std::string_view writtenName() const { return writtenAs.empty() ? name : writtenAs; }
    constexpr Holder saveHolder() const {
        return std::holds_alternative<std::monostate>(savedFrom) ? holder : savedFrom;
    }
};

// Every stored value, in the order in which loading reads them.
inline constexpr std::array<OptionRow, 43> kOptionTable{{
    {OptionId::Monochrom, "Monochrom", OptionType::Bool, Check::CheckBox1, false, kStartAndSave},
    {OptionId::Inversed, "Inversed", OptionType::Bool, Check::CheckBox2, false, kStartAndSave},
    {OptionId::Mirrored, "Mirrored", OptionType::Bool, Check::CheckBox3, false, kStartAndSave},
    {OptionId::Centered, "Centered", OptionType::Bool, Check::CheckBox4, true, kStartAndSave},
    {OptionId::Proportion, "Proportion", OptionType::Bool, Check::CheckBox5, true, kStartAndSave},
    {OptionId::HalfSize, "HalfSize", OptionType::Bool, Check::RadioButton4, false, kStartAndSave},
    {OptionId::Stretched, "Stretched", OptionType::Bool, Check::RadioButton5, false, kStartAndSave},
    {OptionId::NormalSize, "NormalSize", OptionType::Bool, Check::RadioButton3, true,
     kStartAndSave},
    {OptionId::Frame, "Frame", OptionType::Bool, Check::CheckBox7, false, kStartAndSave},
    {OptionId::SwapBW, "SwapBW", OptionType::Bool, Check::CheckBox8, false, kStartAndSave},
    {OptionId::FooterText, "FooterText", OptionType::Bool, Check::CheckBox9, false, kStartAndSave},
    {OptionId::FooterTime, "FooterTime", OptionType::Bool, Check::CheckBox10, false, kStartAndSave},
    {OptionId::FooterUser, "FooterUser", OptionType::Bool, Check::CheckBox11, false, kStartAndSave},
    {OptionId::Landscape, "Landscape", OptionType::Bool, Check::RadioButton1, true, kStartAndSave},
    {OptionId::Portrait, "Portrait", OptionType::Bool, Check::RadioButton2, false, kStartAndSave},
    // Loading sets both "No Dialog" items from the one value; saving reads NoDialog1.
    {OptionId::Direct, "Direct", OptionType::Bool, Check::NoDialog1, false, kStartAndSave},
    {OptionId::PlaySound, "PlaySound", OptionType::Bool, Check::Sound1, true, kStartAndSave},
    {OptionId::Client, "Client", OptionType::Bool, Check::Client1, false, kStartAndSave},
    {OptionId::Confirm, "Confirm", OptionType::Bool, Check::NoConfirm1, false, kStartAndSave},
    {OptionId::Red, "Red", OptionType::Bool, Check::CheckBox12, true, kStartAndSave},
    {OptionId::Green, "Green", OptionType::Bool, Check::CheckBox13, true, kStartAndSave},
    {OptionId::Blue, "Blue", OptionType::Bool, Check::CheckBox14, true, kStartAndSave},
    {OptionId::Resize, "Resize", OptionType::Bool, Check::Resize1, false, kStartAndSave},
    {OptionId::WinPosLeft, "WinPosLeft", OptionType::Integer, Number::WindowLeft, Centred::Left,
     kAtFirstStart | kAtClose},
    {OptionId::WinPosTop, "WinPosTop", OptionType::Integer, Number::WindowTop, Centred::Top,
     kAtFirstStart | kAtClose},
    {OptionId::FrameSize, "FrameSize", OptionType::Integer, Number::FrameSize, 1, kStartAndSave},
    {OptionId::Color1, "Color1", OptionType::Integer, Number::Panel4, 0x000000, kStartAndSave},
    {OptionId::Color2, "Color2", OptionType::Integer, Number::Panel5, 0xFFFFFF, kStartAndSave},
    // Loading sets the global; saving writes the text of the printer list's selected entry.
    {OptionId::DefPrinter, "DefPrinter", OptionType::String, Text::DefPrinter, "Default Printer"sv,
     kStartAndSave, Text::ComboBox1},
    // The list's index is stored, not the number of copies.
    {OptionId::Copies, "Copies", OptionType::Integer, Number::ComboBox2, 0, kStartAndSave},
    {OptionId::SaveFolder, "SaveFolder", OptionType::String, Text::SaveFolder, {}, kAtClose},
    {OptionId::LoadFolder, "LoadFolder", OptionType::String, Text::LoadFolder, {}, kAtClose},
    {OptionId::FooterString, "FooterString", OptionType::String, Text::FooterString, kFooterBanner,
     kStartAndSave},
    // Crossed names: "Contrast" holds the brightness bar, "Brightness" the contrast bar. Stored
    // keys depend on this pairing, so it stays.
    {OptionId::Contrast, "Contrast", OptionType::Integer, Number::ScrollBar1, 0, kStartAndSave},
    {OptionId::Brightness, "Brightness", OptionType::Integer, Number::ScrollBar2, 0, kStartAndSave},
    {OptionId::Hotkey, "Hotkey", OptionType::Integer, Number::Hotkey, 44, kStartAndSave},
    // Read as "HotkeyFunction", written as "HotKeyFunction": the same value, names matching
    // without regard to case.
    // clang-format off
    {OptionId::HotkeyFunction, "HotkeyFunction", OptionType::Integer, Number::HotkeyFunction, 0,
     kStartAndSave, {}, "HotKeyFunction"},
    // clang-format on
    // Written once at first start and never read.
    {OptionId::AutoCopy, "AutoCopy", OptionType::Bool, {}, true, kAtFirstStart},
    // Saving every capture as a file: off, and no value written, until "Save Options".
    // clang-format off
    {OptionId::AutoSave, "AutoSave", OptionType::Bool, Check::SaveEveryCapture1, {}, kOnSave,
     {}, {}, true},
    {OptionId::AutoSaveFolder, "AutoSaveFolder", OptionType::String, Text::AutoSaveFolder, {},
     kOnSave, {}, {}, true},
    {OptionId::AutoSavePattern, "AutoSavePattern", OptionType::String, Text::AutoSavePattern, {},
     kOnSave, {}, {}, true},
    // The forms of a key held by the desktop that the desktop hands over through the command
    // line ("PrintScreen,Alt+PrintScreen"); written by the program whenever they change.
    {OptionId::ThroughDesktop, "ThroughDesktop", OptionType::String, Text::ThroughDesktop, {},
     kWhenChanged, {}, {}, true},
    // The hotkey as bound in the desktop's shortcut settings, with what they held before
    // (DesktopBinding.h); empty while the keys are the desktop's own.
    {OptionId::DesktopKeys, "DesktopKeys", OptionType::String, Text::DesktopKeys, {}, kWhenChanged,
     {}, {}, true},
    // clang-format on
}};

// The window keeps one row per number and text holder, as many as OptionHolders.h counts: a
// holder added after the last one counted is caught here.
constexpr bool holderCounted(const Holder& holder) {
    if (std::holds_alternative<Check>(holder)) {
        return static_cast<std::size_t>(std::get<Check>(holder)) < kCheckHolders;
    }
    if (std::holds_alternative<Number>(holder)) {
        return static_cast<std::size_t>(std::get<Number>(holder)) < kNumberHolders;
    }
    if (std::holds_alternative<Text>(holder)) {
        return static_cast<std::size_t>(std::get<Text>(holder)) < kTextHolders;
    }
    return true;
}
static_assert(std::ranges::all_of(kOptionTable,
                                  [](const OptionRow& row) {
                                      return holderCounted(row.holder) &&
                                             holderCounted(row.savedFrom);
                                  }),
              "a holder past the counts of OptionHolders.h");

constexpr const OptionRow& optionRow(OptionId id) {
    return kOptionTable[static_cast<std::size_t>(id)];
}

// The order in which the first start writes its values.
inline constexpr std::array kFirstStartOrder{
    OptionId::Monochrom,    OptionId::Inversed,   OptionId::Centered,   OptionId::Stretched,
    OptionId::HalfSize,     OptionId::NormalSize, OptionId::FooterText, OptionId::FooterTime,
    OptionId::FooterUser,   OptionId::SwapBW,     OptionId::Mirrored,   OptionId::Landscape,
    OptionId::Portrait,     OptionId::Proportion, OptionId::Frame,      OptionId::AutoCopy,
    OptionId::Direct,       OptionId::PlaySound,  OptionId::Client,     OptionId::Confirm,
    OptionId::Red,          OptionId::Green,      OptionId::Blue,       OptionId::Resize,
    OptionId::WinPosLeft,   OptionId::WinPosTop,  OptionId::Contrast,   OptionId::Brightness,
    OptionId::FrameSize,    OptionId::Color1,     OptionId::Color2,     OptionId::DefPrinter,
    OptionId::FooterString, OptionId::Copies,     OptionId::Hotkey,     OptionId::HotkeyFunction,
};

// The order in which "Save Options" writes.
inline constexpr std::array kSaveOrder{
    OptionId::Monochrom,  OptionId::Inversed,  OptionId::Mirrored,       OptionId::Centered,
    OptionId::Proportion, OptionId::Stretched, OptionId::NormalSize,     OptionId::HalfSize,
    OptionId::Frame,      OptionId::SwapBW,    OptionId::FooterText,     OptionId::FooterTime,
    OptionId::FooterUser, OptionId::Landscape, OptionId::Portrait,       OptionId::Direct,
    OptionId::PlaySound,  OptionId::Client,    OptionId::Confirm,        OptionId::Red,
    OptionId::Green,      OptionId::Blue,      OptionId::Resize,         OptionId::Contrast,
    OptionId::Brightness, OptionId::FrameSize, OptionId::Hotkey,         OptionId::HotkeyFunction,
    OptionId::Color1,     OptionId::Color2,    OptionId::DefPrinter,     OptionId::FooterString,
    OptionId::Copies,     OptionId::AutoSave,  OptionId::AutoSaveFolder, OptionId::AutoSavePattern,
};

// The order in which closing the main window writes.
inline constexpr std::array kCloseOrder{OptionId::WinPosLeft, OptionId::WinPosTop,
                                        OptionId::SaveFolder, OptionId::LoadFolder};

}  // namespace varnoset
