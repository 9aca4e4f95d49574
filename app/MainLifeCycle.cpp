// The main window's life: shown, hidden to the tray, closed; its icon and the About box.
#include <QCloseEvent>
#include <QCursor>
#include <QMenu>
#include <QMessageBox>
#include <QShowEvent>
#include <QTimer>
#include <initializer_list>
#include <utility>

#include "app/AboutBox.h"
#include "app/Main.h"

namespace varnoset {

// The program's icon in the sizes of title bars, dialogs and the tray. The window's own icon,
// which adds the large size for window switchers, and the tool buttons' glyphs wait until the
// window is first shown: decoding them is work nobody sees before.
void TVarnosetMain::applyIcon() {
    QApplication::setWindowIcon(programIcon({16, 32, 48}));
}

QIcon TVarnosetMain::programIcon(std::initializer_list<int> sizes) {
    QIcon icon;
    for (int size : sizes) {
        icon.addFile(QStringLiteral(":/icons/varnoset-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

void TVarnosetMain::prepareFirstShow() {
    if (shownBefore_) {
        return;
    }
    shownBefore_ = true;
    laidOutSize();  // captions fitted by their text alone, before the glyphs go on
    setWindowIcon(programIcon({16, 32, 48, 256}));
    const std::pair<QAbstractButton*, const char*> glyphs[] = {
        {SpeedButton1, "open"},  {SpeedButton2, "save"},  {SpeedButton6, "copy"},
        {SpeedButton5, "paste"}, {SpeedButton3, "edit"},  {SpeedButton4, "rectangle"},
        {BitBtn1, "print"},      {SpeedButton14, "undo"},
    };
    for (const auto& [button, name] : glyphs) {
        const QPixmap glyph(QStringLiteral(":/glyphs/%1.png").arg(QLatin1String(name)));
        button->setIcon(glyph);
        button->setIconSize(glyph.size());
    }
    // The set-up glyph is a strip of two cells; the button shows the printer with the wrench.
    const QPixmap setup = QPixmap(QStringLiteral(":/glyphs/printer_setup.png")).copy(20, 0, 20, 20);
    SpeedButton9->setIcon(setup);
    SpeedButton9->setIconSize(setup.size());
    if (pendingCorner_) {
        moveFrameCorner(*std::exchange(pendingCorner_, std::nullopt));
    }
}

void TVarnosetMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TVarnosetMain::FormShow() {
    // The list shows once the window is up, so the first capture does not wait for the printers.
    QTimer::singleShot(0, this, &TVarnosetMain::listPrinters);
    state_.ProcessingEnabled = true;
    state_.SourceAltered = false;
    SetImageOptions();
    giveTabStopToChecked(*RadioButton1);
    giveTabStopToChecked(*RadioButton3);
    activateWindow();
    raise();
    BitBtn1->setFocus();
}

void TVarnosetMain::ShowMainWindow() {
    if (!isVisible()) {
        prepareFirstShow();
        showNormal();  // runs FormShow; never comes back iconified from an earlier minimise
    } else {
        FormShow();  // a new picture into the open window
    }
    raise();
    activateWindow();
}

void TVarnosetMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized)) {
        // Never to the taskbar: the minimise button hides the window instead.
        setWindowState(windowState() & ~Qt::WindowMinimized);
        MinimizeToTray();
    }
}

void TVarnosetMain::MinimizeToTray() {
    state_.ProcessingEnabled = false;
    hide();
    state_.HotkeyArmed = !Suspend1->isChecked();
}

void TVarnosetMain::Close1Click() {
    close();
}

void TVarnosetMain::Minimize1Click() {
    MinimizeToTray();
}

bool TVarnosetMain::confirmClose() {
    if (NoConfirm1->isChecked()) {
        return true;
    }
    platform_.sound->beep();
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"),
                    QStringLiteral("Close and Terminate Varnoset ?"), QMessageBox::NoButton,
                    isVisible() ? this : nullptr);
    QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.exec();
    return box.clickedButton() == yes;
}

void TVarnosetMain::closeEvent(QCloseEvent* event) {
    if (!closeAccepted_ && !confirmClose()) {
        event->ignore();
        return;
    }
    event->accept();
    if (!formClosed_) {
        FormClose();
    }
    QCoreApplication::quit();
}

void TVarnosetMain::PoliteEnd() {
    closeAccepted_ = true;
    close();
}

void TVarnosetMain::TrayIcon1Click(QObject*) {
    activateWindow();
    PopupMenu1->exec(QCursor::pos());  // returns when the menu has closed
}

void TVarnosetMain::About1Click() {
    // Made when first asked for, then kept: laying out its text is work nobody sees before.
    if (AboutBox == nullptr) {
        AboutBox = new TAboutBox(this);
    }
    AboutBox->ShowAboutBox();
}

}  // namespace varnoset
