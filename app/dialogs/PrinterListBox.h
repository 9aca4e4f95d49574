#pragma once

#include <QString>
#include <vector>

class QComboBox;

namespace varnoset {

// Fills the list with the printer list's entries; with no printer it stays empty and is
// disabled, which tells the print job that there is nothing to print on.
void fillPrinterList(QComboBox& list, const std::vector<QString>& printerNames);

// Selects the entry for the stored printer; with no equal entry the selection stays as it is.
void selectStoredPrinter(QComboBox& list, const QString& storedPrinter);

}  // namespace varnoset
