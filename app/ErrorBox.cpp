#include "ErrorBox.h"

#include <QApplication>
#include <QMessageBox>

namespace varnoset {

QString errorBoxText(const QString& message) {
    QString text = message.trimmed();
    if (!text.endsWith(QLatin1Char('.'))) {
        text += QLatin1Char('.');
    }
    return text;
}

void showErrorBox(const QString& message, QWidget* parent) {
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(),
                    errorBoxText(message), QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace varnoset
