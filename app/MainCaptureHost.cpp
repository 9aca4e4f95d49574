// The main window as the capture commands see it.
#include "app/Main.h"

#include "app/TrayIcon.h"

namespace varnoset {

bool TVarnosetMain::hotkeyArmed() const {
    return HotkeyArmed;
}
void TVarnosetMain::setHotkeyArmed(bool armed) {
    HotkeyArmed = armed;
}
void TVarnosetMain::rearmHotkeyIfHidden() {
    if (!isVisible()) {
        HotkeyArmed = !Suspend1->isChecked();
    }
}
void TVarnosetMain::notify(const QString& title, const QString& text) {
    if (TrayIcon1 != nullptr) {
        TrayIcon1->showMessage(title, text);
    }
}
void TVarnosetMain::setProcessingEnabled(bool enabled) {
    ProcessingEnabled = enabled;
}

std::uint8_t TVarnosetMain::hotkey() const {
    return Hotkey;
}
void TVarnosetMain::setHotkey(std::uint8_t virtualKey) {
    Hotkey = virtualKey;
}
int TVarnosetMain::hotkeyFunction() const {
    return HotkeyFunction;
}
void TVarnosetMain::setHotkeyFunction(int mode) {
    HotkeyFunction = static_cast<std::uint8_t>(mode);
}

bool TVarnosetMain::soundChecked() const {
    return Sound1->isChecked();
}
bool TVarnosetMain::clientChecked() const {
    return Client1->isChecked();
}
bool TVarnosetMain::directChecked() const {
    return NoDialog1->isChecked();
}
void TVarnosetMain::setDirectChecked(bool on) {
    NoDialog1->setChecked(on);
}

bool TVarnosetMain::toggleSuspendChecks() {
    Suspend2->setChecked(!Suspend2->isChecked());
    Suspend1->setChecked(!Suspend1->isChecked());
    return Suspend1->isChecked();
}

const Picture& TVarnosetMain::sourcePicture() const {
    return SourcePicture;
}
void TVarnosetMain::setSourcePicture(Picture picture) {
    SourcePicture = std::move(picture);
}

void TVarnosetMain::showMainWindow() {
    ShowMainWindow();
}
void TVarnosetMain::hideMainWindow() {
    hide();
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

}  // namespace varnoset
