#include "MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

namespace varnoset {

namespace {

void showBox(QMessageBox::Icon icon, const QString& text, QWidget* parent) {
    QMessageBox box(icon, QCoreApplication::applicationName(), text, QMessageBox::Ok, parent);
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
