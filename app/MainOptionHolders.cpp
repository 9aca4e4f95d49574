// The stored options: read at start-up, saved by "Save Options", and the main window's controls
// and option globals as the option set reads and writes them.
#include <QScrollBar>
#include <algorithm>
#include <iterator>
#include <utility>

#include "app/Main.h"
#include "app/MessageBoxes.h"
#include "app/MonitorLayout.h"
#include "app/settings/OptionSet.h"
#include "app/settings/OptionTable.h"
#include "app/settings/SettingsStore.h"
#include "core/Error.h"
#include "output/PrintCopies.h"

namespace varnoset {

void TVarnosetMain::loadOptions() {
    const MonitorLayout monitors = MonitorLayout::current();
    try {
        SettingsStore store(SettingsStore::userFile());
        // Only the first start needs the window's size here, to centre it and store that place.
        const QSize window = store.keyExists(kSetupKey) ? QSize() : laidOutSize();
        LoadOptions(store, *this, monitors.primaryPixels(), monitors.toPixels(window));
    } catch (const Error& error) {
        // Start-up goes on, so the program stays reachable; the error box shows once the event
        // loop runs, through the application's one error report.
        const std::string message = error.what();
        QMetaObject::invokeMethod(
            this, [message] { throw Error(message); }, Qt::QueuedConnection);
    }
    // A store that broke off before the position leaves the window centred on the primary
    // monitor; a position on a monitor since unplugged, or beyond a smaller screen, opens it on the
    // primary monitor instead, and the store keeps its value until closing writes the position.
    // The window is laid out only when that needs its size.
    placeFrameCorner(monitors.placeStored(std::exchange(storedLeft_, std::nullopt),
                                          std::exchange(storedTop_, std::nullopt),
                                          [this] { return laidOutSize(); }));
}

void TVarnosetMain::Save1Click() {
    SettingsStore store(SettingsStore::userFile());
    SaveOptions(store, *this);
    showInformation(
        QString::fromUtf8(kOptionsSavedMessage.data(), int(kOptionsSavedMessage.size())), this);
}

// The control that holds each check option: a check box, a radio button or a menu item.
QObject* TVarnosetMain::checkControl(Check holder) const {
    const std::pair<Check, QObject*> controls[] = {
        {Check::CheckBox1, CheckBox1},
        {Check::CheckBox2, CheckBox2},
        {Check::CheckBox3, CheckBox3},
        {Check::CheckBox4, CheckBox4},
        {Check::CheckBox5, CheckBox5},
        {Check::CheckBox7, CheckBox7},
        {Check::CheckBox8, CheckBox8},
        {Check::CheckBox9, CheckBox9},
        {Check::CheckBox10, CheckBox10},
        {Check::CheckBox11, CheckBox11},
        {Check::CheckBox12, CheckBox12},
        {Check::CheckBox13, CheckBox13},
        {Check::CheckBox14, CheckBox14},
        {Check::RadioButton1, RadioButton1},
        {Check::RadioButton2, RadioButton2},
        {Check::RadioButton3, RadioButton3},
        {Check::RadioButton4, RadioButton4},
        {Check::RadioButton5, RadioButton5},
        {Check::NoDialog1, NoDialog1},
        {Check::NoDialog2, NoDialog2},
        {Check::Sound1, Sound1},
        {Check::Client1, Client1},
        {Check::NoConfirm1, NoConfirm1},
        {Check::Resize1, Resize1},
    };
    const auto found = std::find_if(std::begin(controls), std::end(controls),
                                    [holder](const auto& entry) { return entry.first == holder; });
    return found != std::end(controls) ? found->second : nullptr;
}

bool TVarnosetMain::checked(Check holder) const {
    QObject* control = checkControl(holder);
    if (auto* b = qobject_cast<QAbstractButton*>(control)) {
        return b->isChecked();
    }
    return qobject_cast<QAction*>(control)->isChecked();
}

void TVarnosetMain::setChecked(Check holder, bool on) {
    QObject* control = checkControl(holder);
    if (auto* item = qobject_cast<QAction*>(control)) {
        item->setChecked(on);
        return;
    }
    auto* b = qobject_cast<QAbstractButton*>(control);
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
            return state_.FrameSize;
        case Number::Panel4:
            return static_cast<std::int32_t>(state_.Color1);
        case Number::Panel5:
            return static_cast<std::int32_t>(state_.Color2);
        case Number::ComboBox2:
            return ComboBox2->currentIndex();
        case Number::ScrollBar1:
            return ScrollBar1->value();
        case Number::ScrollBar2:
            return ScrollBar2->value();
        case Number::Hotkey:
            return state_.Hotkey;
        case Number::HotkeyFunction:
            return state_.HotkeyFunction;
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
            state_.FrameSize = value;
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
            state_.Hotkey = static_cast<std::uint8_t>(value);
            break;
        case Number::HotkeyFunction:
            state_.HotkeyFunction = static_cast<std::uint8_t>(value);
            break;
    }
}

std::string TVarnosetMain::text(Text holder) const {
    switch (holder) {
        case Text::DefPrinter:
            return state_.DefPrinter.toStdString();
        case Text::ComboBox1:
            listPrinters();
            return ComboBox1->currentIndex() >= 0 ? ComboBox1->currentText().toStdString()
                                                  : std::string();
        case Text::SaveFolder:
            return state_.SaveFolder.toStdString();
        case Text::LoadFolder:
            return state_.LoadFolder.toStdString();
        case Text::FooterString:
            return state_.FooterString.toStdString();
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
            state_.DefPrinter = text;
            break;
        case Text::ComboBox1:
            break;  // only read: the list is filled from the printers
        case Text::SaveFolder:
            state_.SaveFolder = text;
            break;
        case Text::LoadFolder:
            state_.LoadFolder = text;
            break;
        case Text::FooterString:
            state_.FooterString = text;
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
