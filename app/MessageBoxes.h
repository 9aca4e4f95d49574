#pragma once

#include <QString>

class QWidget;

namespace varnoset {

// The text of the standard error box: a full stop appended when the text has none.
QString errorBoxText(const QString& message);

// Shows an error that ended a command: error icon, the text with its full stop, and the
// application's title "Varnoset".
void showErrorBox(const QString& message, QWidget* parent = nullptr);

// An information box (information icon, OK) and a plain one (no icon, OK), titled "Varnoset".
void showInformation(const QString& message, QWidget* parent = nullptr);
void showPlainMessage(const QString& message, QWidget* parent = nullptr);

}  // namespace varnoset
