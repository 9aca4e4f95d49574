#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "app/settings/OptionHolders.h"
#include "app/settings/OptionTable.h"

namespace varnoset {

// The rules that turn stored values into holder states and back. The main window calls the
// single rules from its own handlers too (bar scrolls, footer edit), so each lives only here.

using OptionValue = std::variant<bool, std::int32_t, std::string>;

inline constexpr std::int32_t kBarLowest = -127;
inline constexpr std::int32_t kBarHighest = 127;
inline constexpr std::size_t kFooterStringCapacity = 80;
inline constexpr std::int32_t kCopiesEntries = 18;  // "1" … "10", "20" … "90"

// A scroll bar position within -127..127, a value outside clamped to the nearer end.
std::int32_t clampBarPosition(std::int32_t position);
// The label beside a bar: "Brightness = 5" for ScrollBar1, "Contrast    = 5" for ScrollBar2.
std::string barLabel(Number bar, std::int32_t position);
// The first 80 characters of a footer text.
std::string cutFooter(std::string_view text);
// The copies list index for a stored index; -1 (nothing selected) outside 0..17.
std::int32_t copiesIndex(std::int32_t stored);

bool isRadioButton(Check holder);
// Switching a radio button on turns the others of its group off ({RadioButton1, RadioButton2},
// {RadioButton3, RadioButton4, RadioButton5}); "Picture = Page Size" also switches "Keep
// Proportions" off. Switching one off clears only that one.
void setRadioButton(OptionHolders& holders, Check button, bool on);

// Sets a holder from a value as loading does, with every rule above; a Direct value goes to both
// "No Dialog" items.
void setHolder(OptionHolders& holders, const Holder& holder, const OptionValue& value);
// The value that saving writes for a holder (Hotkey and HotkeyFunction as their byte).
OptionValue holderValue(const OptionHolders& holders, const Holder& holder);

struct PixelSize {
    int width = 0;
    int height = 0;
};
// An area of the screen, such as one monitor, in screen pixels.
struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};
struct WindowPlace {
    int left = 0;
    int top = 0;
};
// The window centred on the area, each half difference rounded to nearest, ties to even.
WindowPlace centredPlace(PixelRect area, PixelSize window);

// The printer list entry to select for DefPrinter: the last entry equal to it (exact, case
// matters), -1 when none is.
int printerEntryToSelect(const std::vector<std::string>& entries, std::string_view defPrinter);

}  // namespace varnoset
