#include "app/dialogs/FooterTextDialog.h"

#include <QInputDialog>
#include <QLineEdit>

namespace varnoset {

QString cutToFooterCapacity(const QString& text) {
    return text.left(kFooterCapacity);
}

QString askFooterText(QWidget* parent, const QString& current) {
    QInputDialog dialog(parent);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(QStringLiteral("Page footer Text"));
    dialog.setLabelText(QStringLiteral("Enter the Text (Max 80 char)"));
    // QInputDialog has no length setting of its own; its one line edit carries it.
    if (auto* field = dialog.findChild<QLineEdit*>()) {
        field->setMaxLength(kFooterFieldLength);
    }
    dialog.setTextValue(current);
    const QString result = dialog.exec() == QDialog::Accepted ? dialog.textValue() : current;
    return cutToFooterCapacity(result);
}

}  // namespace varnoset
