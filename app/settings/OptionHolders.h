#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace varnoset {

// The holders of the stored options: controls of the main window and option globals, named
// after them.

// Check states and check marks: check boxes, radio buttons, menu items.
enum class Check : std::uint8_t {
    CheckBox1,          // "Grayed Colors"
    CheckBox2,          // "Invert Colors"
    CheckBox3,          // "Mirrored Picture"
    CheckBox4,          // "Centered on Page"
    CheckBox5,          // "Keep Proportions"
    CheckBox7,          // "Add a Frame"
    CheckBox8,          // "Swap Colors"
    CheckBox9,          // "Print FooterText"
    CheckBox10,         // "Print Date && Time"
    CheckBox11,         // "Print User Info"
    CheckBox12,         // "R"
    CheckBox13,         // "G"
    CheckBox14,         // "B"
    RadioButton1,       // "Landscape Mode"
    RadioButton2,       // "Portrait Mode"
    RadioButton3,       // "Normal Picture Size"
    RadioButton4,       // "1/2 Picture Size"
    RadioButton5,       // "Picture = Page Size"
    NoDialog1,          // main menu "Print the Picture Directly  ( No Dialog )"
    NoDialog2,          // the same item in the tray menu
    Sound1,             // "Play Sound on Pressing the Hotkey"
    Client1,            // "Get only Client Area of Window"
    NoConfirm1,         // "Do not Confirm on Close && Exit"
    Resize1,            // "Increase the Size of the Dialog Form"
    SaveEveryCapture1,  // "Save Every Capture...": every capture is also saved as a file
};
// How many check holders there are: one past the last.
inline constexpr std::size_t kCheckHolders = static_cast<std::size_t>(Check::SaveEveryCapture1) + 1;

enum class Number : std::uint8_t {
    WindowLeft,      // the main window's left edge, screen pixels
    WindowTop,       // the main window's top edge
    FrameSize,       // global, dots
    Panel4,          // colour of "Choose 1. Color", 0x00BBGGRR
    Panel5,          // colour of "Choose 2. Color"
    ComboBox2,       // selected index of the copies list, -1 when nothing is selected
    ScrollBar1,      // position of the brightness bar
    ScrollBar2,      // position of the contrast bar
    Hotkey,          // global, one byte
    HotkeyFunction,  // global, one byte
};
// How many number holders there are: one past the last.
inline constexpr std::size_t kNumberHolders = static_cast<std::size_t>(Number::HotkeyFunction) + 1;

enum class Text : std::uint8_t {
    DefPrinter,       // global: the printer entry to select
    ComboBox1,        // text of the printer list's selected entry, empty when none (only read)
    SaveFolder,       // global
    LoadFolder,       // global
    FooterString,     // global, at most 80 characters
    Label1,           // "Brightness = " and the brightness bar's position (only written)
    Label2,           // "Contrast    = " and the contrast bar's position (only written)
    AutoSaveFolder,   // global: where every capture is saved
    AutoSavePattern,  // global: the file name pattern of a saved capture
    ThroughDesktop,   // global: the forms of the key the desktop hands over
    DesktopKeys,      // global: the hotkey as bound in the desktop's shortcut settings
};
inline constexpr std::size_t kTextHolders = static_cast<std::size_t>(Text::DesktopKeys) + 1;

// What the main window offers the option set. Each setter changes exactly the one holder it
// names: the rules that tie holders together (radio groups, "Picture = Page Size" clearing "Keep
// Proportions", the bar labels, both "No Dialog" items) are applied by the option set itself.
// A setter may run the control's click handler as a user's click would (the image pass does
// nothing while processing is off), and must honour false for a radio button even when it is the
// only one checked in its group: stored options can leave a group with none on.
class OptionHolders {
public:
    virtual ~OptionHolders() = default;

    virtual bool checked(Check holder) const = 0;
    virtual void setChecked(Check holder, bool on) = 0;
    virtual std::int32_t number(Number holder) const = 0;
    virtual void setNumber(Number holder, std::int32_t value) = 0;
    virtual std::string text(Text holder) const = 0;
    virtual void setText(Text holder, const std::string& value) = 0;
};

}  // namespace varnoset
