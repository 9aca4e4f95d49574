// Printing: the print command, the printer set-up, the footer and the page options, and the
// main window as the print job sees it.
#include <QApplication>

#include "app/Main.h"
#include "app/dialogs/FooterTextDialog.h"
#include "app/dialogs/KeepProportionsRefusal.h"
#include "app/dialogs/PrinterListBox.h"
#include "app/dialogs/PrinterSetup.h"
#include "capture/WaitWithMessages.h"
#include "output/PrintJob.h"

namespace varnoset {

PrintOptions TVarnosetMain::printOptions() const {
    PrintOptions options;
    options.portrait = RadioButton2->isChecked();
    options.size = RadioButton5->isChecked()   ? PictureSize::Page
                   : RadioButton4->isChecked() ? PictureSize::Half
                                               : PictureSize::Normal;
    options.keepProportions = CheckBox5->isChecked();
    options.centred = CheckBox4->isChecked();
    options.copiesIndex = ComboBox2->currentIndex();
    options.footer = {CheckBox10->isChecked(),
                      CheckBox11->isChecked(),
                      CheckBox9->isChecked(),
                      state_.FooterString,
                      state_.ComputerName,
                      state_.UserName,
                      state_.OsName};
    return options;
}

void TVarnosetMain::BitBtn1Click() {
    PrintJob(*platform_.printerLayer, static_cast<PrintHost&>(*this))
        .run(state_.PreviewPicture, printOptions(), platform_.screen->dotsPerInch());
}

void TVarnosetMain::PrintPreview1Click() {
    PrintJob(*platform_.printerLayer, static_cast<PrintHost&>(*this))
        .preview(state_.PreviewPicture, printOptions(), platform_.screen->dotsPerInch(), this);
}

void TVarnosetMain::SpeedButton9Click() {
    runPrinterSetup(*platform_.printerLayer, static_cast<PrintHost&>(*this), this);
}

void TVarnosetMain::Footer1Click() {
    state_.FooterString = askFooterText(this, state_.FooterString);
    CheckBox9->setToolTip(state_.FooterString);
}

void TVarnosetMain::CheckBox9MouseDown(Qt::MouseButton button) {
    if (button == Qt::RightButton) {
        Footer1Click();
    }
}

void TVarnosetMain::RadioButton5Click() {
    CheckBox5->setChecked(
        false);  // "Picture = Page Size" and "Keep Proportions" exclude each other
}

void TVarnosetMain::CheckBox5MouseUp() {
    refuseKeepProportionsOnPageSize(this, *CheckBox5, *RadioButton5,
                                    [this] { platform_.sound->beep(); });
}

// The main menu's and the tray menu's items each invert their own check mark, so two items that
// start equal stay equal.
void TVarnosetMain::NoDialog1Click() {
    NoDialog1->setChecked(!NoDialog1->isChecked());
    NoDialog2->setChecked(!NoDialog2->isChecked());
}

void TVarnosetMain::listPrinters() const {
    if (printersListed_) {
        return;
    }
    printersListed_ = true;
    // The printers, then "Default Printer" when there is any, then the stored one selected.
    fillPrinterList(*ComboBox1, platform_.printerLayer->printerNames());
    selectStoredPrinter(*ComboBox1, state_.DefPrinter);
    // Without a printer there is no page to preview.
    PrintPreview1->setEnabled(ComboBox1->isEnabled());
}

// ---- PrintHost ----

bool TVarnosetMain::printerListEnabled() const {
    listPrinters();
    return ComboBox1->isEnabled();
}
QString TVarnosetMain::selectedPrinterText() const {
    listPrinters();
    return ComboBox1->currentIndex() >= 0 ? ComboBox1->currentText() : QString();
}
int TVarnosetMain::selectedPrinterIndex() const {
    listPrinters();
    return ComboBox1->currentIndex();
}

void TVarnosetMain::setWindowEnabled(bool enabled) {
    setEnabled(enabled);
}

void TVarnosetMain::stepProgress() {
    ProgressBar1->setValue(std::min(ProgressBar1->value() + 10, ProgressBar1->maximum()));
}
void TVarnosetMain::resetProgress() {
    ProgressBar1->setValue(0);
}

void TVarnosetMain::setWaitCursor(bool on) {
    // Set, not stacked: the job switches it on once per copy.
    if (on && QApplication::overrideCursor() == nullptr) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (!on) {
        while (QApplication::overrideCursor() != nullptr) {
            QApplication::restoreOverrideCursor();
        }
    }
}

void TVarnosetMain::waitWithMessages(int milliseconds) {
    WaitWithMessages(milliseconds);
}
void TVarnosetMain::minimize() {
    MinimizeToTray();
}

}  // namespace varnoset
