#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class QComboBox;

namespace varnoset {

// The printer list's entries: the printers in the print system's order and, when there is at
// least one, "Default Printer" last. An entry's index below the number of printers is that
// printer's index in the printer layer.
QStringList printerListEntries(const std::vector<QString>& printerNames);

// Fills the list with the entries; with no printer it stays empty and is disabled, which tells
// the print job that there is nothing to print on.
void fillPrinterList(QComboBox& list, const std::vector<QString>& printerNames);

// The entry to select for the stored printer: the last one whose text equals it exactly (case
// included), or -1 when none does.
int printerEntryFor(const QStringList& entries, const QString& storedPrinter);

// Selects that entry; with no equal entry the selection stays as it is.
void selectStoredPrinter(QComboBox& list, const QString& storedPrinter);

// The text "Save Options" stores: the selected entry's, empty when none is selected.
QString storedPrinterOf(const QComboBox& list);

}  // namespace varnoset
