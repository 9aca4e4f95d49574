#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace varnoset {

// The printer list's entries: the printers in the print system's order and, when there is at
// least one, "Default Printer" last. An entry's index below the number of printers is that
// printer's index in the printer layer.
QStringList printerListEntries(const std::vector<QString>& printerNames);

// The entry to select for the stored printer: the last one whose text equals it exactly (case
// included), or -1 when none does.
int printerEntryFor(const QStringList& entries, const QString& storedPrinter);

}  // namespace varnoset
