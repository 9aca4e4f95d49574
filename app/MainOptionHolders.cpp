// The stored options: read at start-up, saved by "Save Options", and the main window's controls
// and option globals as the option set reads and writes them.
#include <QScrollBar>
#include <algorithm>
#include <array>
#include <cstddef>
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
        const QSize window = IsFirstStart(store) ? laidOutSize() : QSize();
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
        {Check::SaveEveryCapture1, SaveEveryCapture1},
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

// How the window reads and sets one number holder.
struct TVarnosetMain::NumberRow {
    Number holder;
    std::int32_t (*get)(const TVarnosetMain& self);
    void (*set)(TVarnosetMain& self, std::int32_t value);
};

// How the window reads and sets one text holder: an option global as it is, or a control.
struct TVarnosetMain::TextRow {
    Text holder;
    QString WindowState::*global;
    QString (*get)(const TVarnosetMain& self) = nullptr;
    void (*set)(TVarnosetMain& self, const QString& text) = nullptr;
};

namespace {

// Row i holds the holder whose value is i, so a holder finds its row by its value.
template <typename Rows>
constexpr bool inHolderOrder(const Rows& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (static_cast<std::size_t>(rows[i].holder) != i) {
            return false;
        }
    }
    return true;
}

}  // namespace

const TVarnosetMain::NumberRow& TVarnosetMain::numberRow(Number holder) {
    using Self = TVarnosetMain;
    static constexpr std::array<NumberRow, kNumberHolders> rows{{
        // Only the store sets the position: loadOptions places the window once it is read.
        {Number::WindowLeft,
         [](const Self& self) { return MonitorLayout::current().toPixels(self.frameCorner()).x(); },
         [](Self& self, std::int32_t value) { self.storedLeft_ = value; }},
        {Number::WindowTop,
         [](const Self& self) { return MonitorLayout::current().toPixels(self.frameCorner()).y(); },
         [](Self& self, std::int32_t value) { self.storedTop_ = value; }},
        {Number::FrameSize, [](const Self& self) { return self.state_.FrameSize; },
         [](Self& self, std::int32_t value) { self.state_.FrameSize = value; }},
        {Number::Panel4,
         [](const Self& self) { return static_cast<std::int32_t>(self.state_.Color1); },
         [](Self& self, std::int32_t value) {
             self.setPanelColor(self.Panel4, static_cast<ColorValue>(value));
         }},
        {Number::Panel5,
         [](const Self& self) { return static_cast<std::int32_t>(self.state_.Color2); },
         [](Self& self, std::int32_t value) {
             self.setPanelColor(self.Panel5, static_cast<ColorValue>(value));
         }},
        // A stored value that selects no entry shows "1"; the store keeps it until a save.
        {Number::ComboBox2, [](const Self& self) { return self.ComboBox2->currentIndex(); },
         [](Self& self, std::int32_t value) {
             self.ComboBox2->setCurrentIndex(copiesForIndex(value) > 0 ? value : 0);
         }},
        {Number::ScrollBar1, [](const Self& self) { return self.ScrollBar1->value(); },
         [](Self& self, std::int32_t value) { self.ScrollBar1->setValue(value); }},
        {Number::ScrollBar2, [](const Self& self) { return self.ScrollBar2->value(); },
         [](Self& self, std::int32_t value) { self.ScrollBar2->setValue(value); }},
        {Number::Hotkey, [](const Self& self) { return std::int32_t{self.state_.Hotkey}; },
         [](Self& self, std::int32_t value) {
             self.state_.Hotkey = static_cast<std::uint8_t>(value);
         }},
        {Number::HotkeyFunction,
         [](const Self& self) { return std::int32_t{self.state_.HotkeyFunction}; },
         [](Self& self, std::int32_t value) {
             self.state_.HotkeyFunction = static_cast<std::uint8_t>(value);
         }},
    }};
    static_assert(inHolderOrder(rows), "one number row per holder, in the order of Number");
    return rows[static_cast<std::size_t>(holder)];
}

const TVarnosetMain::TextRow& TVarnosetMain::textRow(Text holder) {
    using Self = TVarnosetMain;
    static constexpr std::array<TextRow, kTextHolders> rows{{
        {Text::DefPrinter, &WindowState::DefPrinter},
        // Only read: the list is filled from the printers.
        {Text::ComboBox1, nullptr,
         [](const Self& self) {
             self.listPrinters();
             return self.ComboBox1->currentIndex() >= 0 ? self.ComboBox1->currentText() : QString();
         },
         [](Self&, const QString&) {}},
        {Text::SaveFolder, &WindowState::SaveFolder},
        {Text::LoadFolder, &WindowState::LoadFolder},
        {Text::FooterString, &WindowState::FooterString},
        {Text::Label1, nullptr, [](const Self& self) { return self.Label1->text(); },
         [](Self& self, const QString& text) { self.Label1->setText(text); }},
        {Text::Label2, nullptr, [](const Self& self) { return self.Label2->text(); },
         [](Self& self, const QString& text) { self.Label2->setText(text); }},
        {Text::AutoSaveFolder, &WindowState::AutoSaveFolder},
        {Text::AutoSavePattern, &WindowState::AutoSavePattern},
        {Text::ThroughDesktop, &WindowState::ThroughDesktop},
        {Text::DesktopKeys, &WindowState::DesktopKeys},
    }};
    static_assert(inHolderOrder(rows), "one text row per holder, in the order of Text");
    return rows[static_cast<std::size_t>(holder)];
}

std::int32_t TVarnosetMain::number(Number holder) const {
    return numberRow(holder).get(*this);
}

void TVarnosetMain::setNumber(Number holder, std::int32_t value) {
    numberRow(holder).set(*this, value);
}

std::string TVarnosetMain::text(Text holder) const {
    const TextRow& row = textRow(holder);
    return (row.global != nullptr ? state_.*row.global : row.get(*this)).toStdString();
}

void TVarnosetMain::setText(Text holder, const std::string& value) {
    const TextRow& row = textRow(holder);
    const QString text = QString::fromStdString(value);
    if (row.global != nullptr) {
        state_.*row.global = text;
    } else {
        row.set(*this, text);
    }
}

}  // namespace varnoset
