#include "output/PrinterList.h"

#include "output/PrinterChoice.h"

namespace varnoset {

QStringList printerListEntries(const std::vector<QString>& printerNames) {
    QStringList entries(printerNames.begin(), printerNames.end());
    if (!entries.isEmpty()) {
        entries << QString(kDefaultPrinterEntry);
    }
    return entries;
}

int printerEntryFor(const QStringList& entries, const QString& storedPrinter) {
    return static_cast<int>(entries.lastIndexOf(storedPrinter));
}

}  // namespace varnoset
