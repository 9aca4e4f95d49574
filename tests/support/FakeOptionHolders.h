#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/settings/OptionHolders.h"
#include "app/settings/OptionTable.h"

namespace varnoset::test {

// The main window's option holders as plain maps, starting in the window's design state. Each
// setter changes only its own holder, as the real window's must.
class FakeOptionHolders : public OptionHolders {
public:
    FakeOptionHolders() {
        for (const Check on : {Check::CheckBox12, Check::CheckBox13, Check::CheckBox14,
                               Check::RadioButton2, Check::RadioButton3, Check::Sound1}) {
            checks[on] = true;
        }
        numbers = {{Number::WindowLeft, 192},  {Number::WindowTop, 107},   {Number::FrameSize, 0},
                   {Number::Panel4, 0},        {Number::Panel5, 0xFFFFFF}, {Number::ComboBox2, -1},
                   {Number::ScrollBar1, 0},    {Number::ScrollBar2, 0},    {Number::Hotkey, 44},
                   {Number::HotkeyFunction, 0}};
        texts = {{Text::DefPrinter, "Default Printer"},
                 {Text::SaveFolder, ""},
                 {Text::LoadFolder, ""},
                 {Text::FooterString, std::string(kFooterBanner)},
                 {Text::Label1, "Brightness = 0"},
                 {Text::Label2, "Contrast    = 0"},
                 {Text::AutoSaveFolder, ""},
                 {Text::AutoSavePattern, ""},
                 {Text::DesktopKeys, ""}};
    }

    bool checked(Check holder) const override {
        const auto found = checks.find(holder);
        return found != checks.end() && found->second;
    }
    void setChecked(Check holder, bool on) override { checks[holder] = on; }
    std::int32_t number(Number holder) const override { return numbers.at(holder); }
    void setNumber(Number holder, std::int32_t value) override { numbers[holder] = value; }
    std::string text(Text holder) const override {
        if (holder == Text::ComboBox1) {
            return selectedPrinter >= 0 ? printers.at(static_cast<std::size_t>(selectedPrinter))
                                        : std::string();
        }
        return texts.at(holder);
    }
    void setText(Text holder, const std::string& value) override { texts[holder] = value; }

    bool operator==(const FakeOptionHolders& other) const {
        for (std::size_t i = 0; i < kCheckHolders; ++i) {
            if (checked(Check(i)) != other.checked(Check(i))) {
                return false;
            }
        }
        return numbers == other.numbers && texts == other.texts;
    }

    std::map<Check, bool> checks;
    std::map<Number, std::int32_t> numbers;
    std::map<Text, std::string> texts;
    std::vector<std::string> printers;  // the printer list's entries
    int selectedPrinter = -1;
};

}  // namespace varnoset::test
