#include "app/dialogs/PrinterListBox.h"

#include <QComboBox>

#include "output/PrinterList.h"

namespace varnoset {

void fillPrinterList(QComboBox& list, const std::vector<QString>& printerNames) {
    const QStringList entries = printerListEntries(printerNames);
    list.clear();
    list.addItems(entries);
    list.setCurrentIndex(-1);
    list.setEnabled(!entries.isEmpty());
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

}  // namespace varnoset
