// The hotkey and capture commands, and the main window as the capture commands see it.
#include <QActionGroup>

#include "app/Main.h"
#include "app/TrayIcon.h"
#include "capture/CaptureDispatch.h"

namespace varnoset {

CaptureChecks TVarnosetMain::captureChecks() const {
    return {Sound1->isChecked(), Client1->isChecked(), NoDialog1->isChecked()};
}

void TVarnosetMain::KeyClick(int row) {
    capture_->keyClick(row);
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

// ---- CaptureHost ----

void TVarnosetMain::showMainWindow() {
    ShowMainWindow();
}
void TVarnosetMain::hideMainWindow() {
    hide();
}
void TVarnosetMain::rearmHotkeyIfHidden() {
    if (!isVisible()) {
        state_.HotkeyArmed = !Suspend1->isChecked();
    }
}
void TVarnosetMain::setImageOptions() {
    SetImageOptions();
}
void TVarnosetMain::printPicture() {
    BitBtn1Click();
}
void TVarnosetMain::editPicture() {
    EditImage1Click();
}
void TVarnosetMain::notify(const QString& title, const QString& text) {
    platform_.notifications->notify({title, text, {}});
}

}  // namespace varnoset
