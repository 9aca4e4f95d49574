// The main window as the print job sees it.
#include <QApplication>

#include "app/Main.h"
#include "capture/WaitWithMessages.h"

namespace varnoset {

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
