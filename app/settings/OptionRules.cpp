#include "app/settings/OptionRules.h"

#include <algorithm>
#include <array>

#include "app/settings/TextRules.h"

namespace varnoset {

namespace {

constexpr std::array kOrientationGroup{Check::RadioButton1, Check::RadioButton2};
constexpr std::array kSizeGroup{Check::RadioButton3, Check::RadioButton4, Check::RadioButton5};

bool holdsByte(Number holder) {
    return holder == Number::Hotkey || holder == Number::HotkeyFunction;
}

std::int32_t lowByte(std::int32_t value) {
    return value & 0xFF;
}

// Half of `difference`, rounded to nearest with ties to even (317 -> 158, 319 -> 160).
int halfToEven(int difference) {
    const int half = difference / 2;
    const int rest = difference % 2;  // -1, 0 or 1
    return (rest == 0 || half % 2 == 0) ? half : half + rest;
}

}  // namespace

std::int32_t clampBarPosition(std::int32_t position) {
    return std::clamp(position, kBarLowest, kBarHighest);
}

std::string barLabel(Number bar, std::int32_t position) {
    return (bar == Number::ScrollBar1 ? "Brightness = " : "Contrast    = ") +
           std::to_string(position);
}

std::string cutFooter(std::string_view text) {
    return std::string(firstCharacters(text, kFooterStringCapacity));
}

std::int32_t copiesIndex(std::int32_t stored) {
    return stored >= 0 && stored < kCopiesEntries ? stored : -1;
}

bool isRadioButton(Check holder) {
    return std::ranges::find(kOrientationGroup, holder) != kOrientationGroup.end() ||
           std::ranges::find(kSizeGroup, holder) != kSizeGroup.end();
}

void setRadioButton(OptionHolders& holders, Check button, bool on) {
    if (!on) {
        holders.setChecked(button, false);
        return;
    }
    const auto clearOthers = [&](const auto& group) {
        if (std::ranges::find(group, button) != group.end()) {
            for (const Check other : group) {
                if (other != button) {
                    holders.setChecked(other, false);
                }
            }
        }
    };
    clearOthers(kOrientationGroup);
    clearOthers(kSizeGroup);
    holders.setChecked(button, true);
    if (button == Check::RadioButton5) {
        holders.setChecked(Check::CheckBox5, false);
    }
}

void setHolder(OptionHolders& holders, const Holder& holder, const OptionValue& value) {
    if (const Check* check = std::get_if<Check>(&holder)) {
        const bool on = std::get<bool>(value);
        if (isRadioButton(*check)) {
            setRadioButton(holders, *check, on);
        } else if (*check == Check::NoDialog1) {
            holders.setChecked(Check::NoDialog1, on);
            holders.setChecked(Check::NoDialog2, on);
        } else {
            holders.setChecked(*check, on);
        }
    } else if (const Number* number = std::get_if<Number>(&holder)) {
        const std::int32_t stored = std::get<std::int32_t>(value);
        switch (*number) {
            case Number::ScrollBar1:
            case Number::ScrollBar2: {
                const std::int32_t position = clampBarPosition(stored);
                holders.setNumber(*number, position);
                holders.setText(*number == Number::ScrollBar1 ? Text::Label1 : Text::Label2,
                                barLabel(*number, position));
                break;
            }
            case Number::ComboBox2:
                holders.setNumber(*number, copiesIndex(stored));
                break;
            default:
                holders.setNumber(*number, holdsByte(*number) ? lowByte(stored) : stored);
        }
    } else if (const Text* text = std::get_if<Text>(&holder)) {
        const std::string& stored = std::get<std::string>(value);
        holders.setText(*text, *text == Text::FooterString ? cutFooter(stored) : stored);
    }
}

OptionValue holderValue(const OptionHolders& holders, const Holder& holder) {
    if (const Check* check = std::get_if<Check>(&holder)) {
        return holders.checked(*check);
    }
    if (const Number* number = std::get_if<Number>(&holder)) {
        const std::int32_t value = holders.number(*number);
        return holdsByte(*number) ? lowByte(value) : value;
    }
    return holders.text(std::get<Text>(holder));
}

WindowPlace centredPlace(PixelRect area, PixelSize window) {
    return {area.left + halfToEven(area.width - window.width),
            area.top + halfToEven(area.height - window.height)};
}

int printerEntryToSelect(const std::vector<std::string>& entries, std::string_view defPrinter) {
    int selected = -1;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] == defPrinter) {
            selected = static_cast<int>(i);
        }
    }
    return selected;
}

}  // namespace varnoset
