// The hotkey and capture commands, the commands of the command line, and the main window as
// the capture commands see it.
#include <QActionGroup>
#include <QTimer>

#include "app/DelayedCommand.h"
#include "app/Main.h"
#include "app/TrayIcon.h"
#include "app/settings/OptionSet.h"
#include "app/settings/OptionTable.h"
#include "app/settings/SettingsStore.h"
#include "capture/CaptureDispatch.h"
#include "capture/HotkeyRegistrar.h"

namespace varnoset {

namespace {

// The seconds of the tray's delayed capture.
constexpr int kTrayDelaySeconds = 5;

// Why a capture command was not carried out, for the one who sent it.
std::optional<QString> failureOf(CommandResult result) {
    switch (result) {
        case CommandResult::Done:
            return std::nullopt;
        case CommandResult::NothingTaken:
            return QStringLiteral("no rectangle was dragged out, so nothing was captured");
        case CommandResult::Busy:
            return QStringLiteral("another capture is under way");
        case CommandResult::Suspended:
            return QStringLiteral("Varnoset is suspended (varnoset --resume)");
        case CommandResult::NoMode:
            return QStringLiteral(
                "no capture mode is chosen (Options \u25B8 Define Hotkey "
                "Function)");
        case CommandResult::NoPrinter:
            return QStringLiteral("there is no printer to print on");
    }
    return QStringLiteral("the command failed");
}

}  // namespace

CaptureChecks TVarnosetMain::captureChecks() const {
    return {Sound1->isChecked(), Client1->isChecked(), NoDialog1->isChecked()};
}

void TVarnosetMain::KeyClick(int row) {
    const std::uint8_t previous = state_.Hotkey;
    capture_->keyClick(row);
    moveDesktopBinding(previous);
}

void TVarnosetMain::ActionClick(int mode) {
    actionGroup_->actions().at(mode)->setChecked(true);
    capture_->actionClick(mode);
}

// The tray menu's item and the main menu's each invert their own check mark; the main menu's
// says whether the program is suspended now.
void TVarnosetMain::Suspend1Click() {
    Suspend2->setChecked(!Suspend2->isChecked());
    Suspend1->setChecked(!Suspend1->isChecked());
    capture_->setSuspended(Suspend1->isChecked());
}

void TVarnosetMain::Open1Click() {
    capture_->Open1Click();
}

void TVarnosetMain::PrinttheDesktop1Click() {
    capture_->PrinttheDesktop1Click(captureChecks());
}

void TVarnosetMain::GetRectangulararea1Click() {
    capture_->GetRectangulararea1Click();
}

void TVarnosetMain::DelayedCapture1Click() {
    delayed_->start(Command::CaptureDesktop, kTrayDelaySeconds);
}

void TVarnosetMain::CancelDelay1Click() {
    delayed_->cancel();
}

std::optional<QString> TVarnosetMain::carryOut(Command command) {
    const CaptureChecks checks = captureChecks();
    const auto capture = [this, checks](CaptureKind kind, Delivery delivery) {
        return failureOf(capture_->commandCapture(kind, checks, delivery));
    };
    switch (command) {
        case Command::CaptureDesktop:
            return capture(CaptureKind::Desktop, Delivery::AsHotkey);
        case Command::CaptureWindow:
            return capture(CaptureKind::Window, Delivery::AsHotkey);
        case Command::CaptureClient:
            return capture(CaptureKind::Client, Delivery::AsHotkey);
        case Command::CaptureRegion:
            return capture(CaptureKind::Region, Delivery::AsHotkey);
        case Command::Hotkey:
        case Command::HotkeyAlt:
            return failureOf(capture_->hotkeyCommand(command == Command::HotkeyAlt, checks));
        case Command::PrintDesktop:
            return capture(CaptureKind::Desktop, Delivery::Printer);
        case Command::Open:
            return capture(CaptureKind::Desktop, Delivery::Window);
        case Command::Suspend:
        case Command::Resume:
            if (Suspend1->isChecked() != (command == Command::Suspend)) {
                Suspend1Click();
            }
            return std::nullopt;
        case Command::Quit:
            PoliteEnd();  // the event loop ends after the answer has gone
            return std::nullopt;
        case Command::DesktopKeysChanged:
            reloadDesktopBinding();
            return std::nullopt;
    }
    return std::nullopt;
}

void TVarnosetMain::showCountdown(std::optional<int> secondsLeft) {
    CancelDelay1->setVisible(secondsLeft.has_value());
    cancelSeparator_->setVisible(secondsLeft.has_value());
    if (!secondsLeft) {
        registrar_->updateTrayTip();
        return;
    }
    if (TrayIcon1 != nullptr) {
        TrayIcon1->setToolTip(HotkeyRegistrar::trayTip(
            QStringLiteral("Capture in %1 s, click to cancel").arg(*secondsLeft)));
    }
}

void TVarnosetMain::rememberThroughDesktop(const QString& forms) {
    state_.ThroughDesktop = forms;
    // Written on its own, so that a store that cannot be written holds up no capture; its error
    // is shown as any handler's.
    QTimer::singleShot(0, this, [this] {
        SettingsStore store(SettingsStore::userFile());
        SaveChangedOption(store, *this, OptionId::ThroughDesktop);
    });
}

// ---- CaptureHost ----

void TVarnosetMain::showMainWindow() {
    ShowMainWindow();
}
void TVarnosetMain::hideMainWindow() {
    hide();
}
bool TVarnosetMain::mainWindowShown() const {
    return isVisible();
}
void TVarnosetMain::rearmHotkeyIfHidden() {
    if (!isVisible()) {
        state_.HotkeyArmed = !Suspend1->isChecked();
    }
}
void TVarnosetMain::setImageOptions() {
    SetImageOptions();
}
bool TVarnosetMain::printPicture() {
    const bool printer = printerListEnabled();  // the print command does nothing without one
    BitBtn1Click();
    return printer;
}
void TVarnosetMain::editPicture() {
    EditImage1Click();
}
void TVarnosetMain::notify(const QString& title, const QString& text) {
    platform_.notifications->notify({title, text, {}});
}

}  // namespace varnoset
