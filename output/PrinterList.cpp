#include "PrinterList.h"

#include <QComboBox>

#include "PrinterChoice.h"

namespace varnoset {

QStringList printerListEntries(const std::vector<QString>& printerNames) {
    QStringList entries(printerNames.begin(), printerNames.end());
    if (!entries.isEmpty()) {
        entries << QString(kDefaultPrinterEntry);
    }
    return entries;
}

void fillPrinterList(QComboBox& list, const std::vector<QString>& printerNames) {
    const QStringList entries = printerListEntries(printerNames);
    list.clear();
    list.addItems(entries);
    list.setCurrentIndex(-1);
    list.setEnabled(!entries.isEmpty());
}

int printerEntryFor(const QStringList& entries, const QString& storedPrinter) {
    return static_cast<int>(entries.lastIndexOf(storedPrinter));
}

void selectStoredPrinter(QComboBox& list, const QString& storedPrinter) {
    QStringList entries;
    for (int i = 0; i < list.count(); ++i) {
        entries << list.itemText(i);
    }
    const int index = printerEntryFor(entries, storedPrinter);
    if (index >= 0) {
        list.setCurrentIndex(index);
    }
}

QString storedPrinterOf(const QComboBox& list) {
    return list.currentIndex() >= 0 ? list.currentText() : QString();
}

}  // namespace varnoset
