#pragma once

#include <QString>

class QWidget;

namespace varnoset {

// The footer text keeps at most this many characters.
inline constexpr int kFooterCapacity = 80;
// The input box's field takes more than the footer keeps.
inline constexpr int kFooterFieldLength = 255;

// The first kFooterCapacity characters of the text.
QString cutToFooterCapacity(const QString& text);

// The footer text input box ("Page footer Text"), opened with the current text. Returns the new
// footer text cut to kFooterCapacity characters; Cancel returns the current one.
QString askFooterText(QWidget* parent, const QString& current);

}  // namespace varnoset
