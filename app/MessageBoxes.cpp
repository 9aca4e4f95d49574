#include "app/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>

namespace varnoset {

namespace {

// The program's main window, the one top-level window named so.
QWidget* mainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("VarnosetMain")) {
            return widget;
        }
    }
    return nullptr;
}

// A box with no window to stand over goes to the middle of the main window's monitor, hidden or
// not, rather than to the monitor of the pointer.
class MessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);  // the box takes its final size here
        const QWidget* owner = mainWindow();
        if (parentWidget() == nullptr && owner != nullptr && owner->screen() != nullptr) {
            QRect frame = frameGeometry();
            frame.moveCenter(owner->screen()->availableGeometry().center());
            move(frame.topLeft());
        }
    }
};

void showBox(QMessageBox::Icon icon, const QString& text, QWidget* parent) {
    MessageBox box(icon, QCoreApplication::applicationName(), text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace

QString errorBoxText(const QString& message) {
    QString text = message.trimmed();
    if (!text.endsWith(QLatin1Char('.'))) {
        text += QLatin1Char('.');
    }
    return text;
}

void showErrorBox(const QString& message, QWidget* parent) {
    showBox(QMessageBox::Critical, errorBoxText(message), parent);
}

void showInformation(const QString& message, QWidget* parent) {
    showBox(QMessageBox::Information, message, parent);
}

void showPlainMessage(const QString& message, QWidget* parent) {
    showBox(QMessageBox::NoIcon, message, parent);
}

}  // namespace varnoset
