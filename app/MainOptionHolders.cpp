// The main window's controls and option globals as the option set reads and writes them.
#include <QScrollBar>
#include <algorithm>

#include "Main.h"
#include "MonitorLayout.h"
#include "PrintCopies.h"

namespace varnoset {

QAbstractButton* TVarnosetMain::button(Check holder) const {
    switch (holder) {
        case Check::CheckBox1:
            return CheckBox1;
        case Check::CheckBox2:
            return CheckBox2;
        case Check::CheckBox3:
            return CheckBox3;
        case Check::CheckBox4:
            return CheckBox4;
        case Check::CheckBox5:
            return CheckBox5;
        case Check::CheckBox7:
            return CheckBox7;
        case Check::CheckBox8:
            return CheckBox8;
        case Check::CheckBox9:
            return CheckBox9;
        case Check::CheckBox10:
            return CheckBox10;
        case Check::CheckBox11:
            return CheckBox11;
        case Check::CheckBox12:
            return CheckBox12;
        case Check::CheckBox13:
            return CheckBox13;
        case Check::CheckBox14:
            return CheckBox14;
        case Check::RadioButton1:
            return RadioButton1;
        case Check::RadioButton2:
            return RadioButton2;
        case Check::RadioButton3:
            return RadioButton3;
        case Check::RadioButton4:
            return RadioButton4;
        case Check::RadioButton5:
            return RadioButton5;
        default:
            return nullptr;
    }
}

QAction* TVarnosetMain::menuItem(Check holder) const {
    switch (holder) {
        case Check::NoDialog1:
            return NoDialog1;
        case Check::NoDialog2:
            return NoDialog2;
        case Check::Sound1:
            return Sound1;
        case Check::Client1:
            return Client1;
        case Check::NoConfirm1:
            return NoConfirm1;
        case Check::Resize1:
            return Resize1;
        default:
            return nullptr;
    }
}

bool TVarnosetMain::checked(Check holder) const {
    if (QAbstractButton* b = button(holder)) {
        return b->isChecked();
    }
    return menuItem(holder)->isChecked();
}

void TVarnosetMain::setChecked(Check holder, bool on) {
    if (QAction* item = menuItem(holder)) {
        item->setChecked(on);
        return;
    }
    QAbstractButton* b = button(holder);
    // A radio button of an exclusive group refuses to go off on its own; stored options may
    // leave a group with none on.
    const bool exclusive = b->autoExclusive();
    if (!on && exclusive) {
        b->setAutoExclusive(false);
    }
    b->setChecked(on);
    b->setAutoExclusive(exclusive);
}

// Tab reaches a radio group at its checked button, as Qt arranges when a user checks one; set by
// the stored options, with the group's exclusivity off for a moment, the stop may stay on another
// button. With none checked, every button of the group is a stop.
void TVarnosetMain::giveTabStopToChecked(const QAbstractButton& member) {
    QList<QAbstractButton*> group;
    for (QAbstractButton* b : member.parentWidget()->findChildren<QAbstractButton*>(
             QString(), Qt::FindDirectChildrenOnly)) {
        if (b->autoExclusive() && b->isCheckable()) {
            group << b;
        }
    }
    const bool anyChecked =
        std::any_of(group.begin(), group.end(), [](auto* b) { return b->isChecked(); });
    for (QAbstractButton* b : group) {
        const bool stop = b->isChecked() || !anyChecked;
        b->setFocusPolicy(stop ? Qt::FocusPolicy(b->focusPolicy() | Qt::TabFocus)
                               : Qt::FocusPolicy(b->focusPolicy() & ~Qt::TabFocus));
    }
}

std::int32_t TVarnosetMain::number(Number holder) const {
    switch (holder) {
        case Number::WindowLeft:
            return MonitorLayout::current().toPixels(frameCorner()).x();
        case Number::WindowTop:
            return MonitorLayout::current().toPixels(frameCorner()).y();
        case Number::FrameSize:
            return FrameSize;
        case Number::Panel4:
            return static_cast<std::int32_t>(Color1);
        case Number::Panel5:
            return static_cast<std::int32_t>(Color2);
        case Number::ComboBox2:
            return ComboBox2->currentIndex();
        case Number::ScrollBar1:
            return ScrollBar1->value();
        case Number::ScrollBar2:
            return ScrollBar2->value();
        case Number::Hotkey:
            return Hotkey;
        case Number::HotkeyFunction:
            return HotkeyFunction;
    }
    return 0;
}

void TVarnosetMain::setNumber(Number holder, std::int32_t value) {
    switch (holder) {
        case Number::WindowLeft:
            // Only the store sets the position: loadOptions places the window once it is read.
            storedLeft_ = value;
            break;
        case Number::WindowTop:
            storedTop_ = value;
            break;
        case Number::FrameSize:
            FrameSize = value;
            break;
        case Number::Panel4:
            setPanelColor(Panel4, static_cast<ColorValue>(value));
            break;
        case Number::Panel5:
            setPanelColor(Panel5, static_cast<ColorValue>(value));
            break;
        case Number::ComboBox2:
            // A stored value that selects no entry shows "1"; the store keeps it until a save.
            ComboBox2->setCurrentIndex(copiesForIndex(value) > 0 ? value : 0);
            break;
        case Number::ScrollBar1:
            ScrollBar1->setValue(value);
            break;
        case Number::ScrollBar2:
            ScrollBar2->setValue(value);
            break;
        case Number::Hotkey:
            Hotkey = static_cast<std::uint8_t>(value);
            break;
        case Number::HotkeyFunction:
            HotkeyFunction = static_cast<std::uint8_t>(value);
            break;
    }
}

std::string TVarnosetMain::text(Text holder) const {
    switch (holder) {
        case Text::DefPrinter:
            return DefPrinter.toStdString();
        case Text::ComboBox1:
            listPrinters();
            return ComboBox1->currentIndex() >= 0 ? ComboBox1->currentText().toStdString()
                                                  : std::string();
        case Text::SaveFolder:
            return SaveFolder.toStdString();
        case Text::LoadFolder:
            return LoadFolder.toStdString();
        case Text::FooterString:
            return FooterString.toStdString();
        case Text::Label1:
            return Label1->text().toStdString();
        case Text::Label2:
            return Label2->text().toStdString();
    }
    return {};
}

void TVarnosetMain::setText(Text holder, const std::string& value) {
    const QString text = QString::fromStdString(value);
    switch (holder) {
        case Text::DefPrinter:
            DefPrinter = text;
            break;
        case Text::ComboBox1:
            break;  // only read: the list is filled from the printers
        case Text::SaveFolder:
            SaveFolder = text;
            break;
        case Text::LoadFolder:
            LoadFolder = text;
            break;
        case Text::FooterString:
            FooterString = text;
            break;
        case Text::Label1:
            Label1->setText(text);
            break;
        case Text::Label2:
            Label2->setText(text);
            break;
    }
}

}  // namespace varnoset
