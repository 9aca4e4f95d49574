#include "app/dialogs/KeepProportionsRefusal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace varnoset {

void refuseKeepProportionsOnPageSize(QWidget* parent, QAbstractButton& keepProportions,
                                     const QAbstractButton& pageSize,
                                     const std::function<void()>& beep) {
    if (!pageSize.isChecked()) {
        return;
    }
    if (beep) {
        beep();
    }
    // The carriage return separates the two lines; a Qt label breaks lines at '\n'.
    QString text(kKeepProportionsRefusal);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox::information(parent, QApplication::applicationDisplayName(), text);
    keepProportions.setChecked(false);
}

}  // namespace varnoset
