#include "output/PrinterChoice.h"

#include "platform/PrinterLayer.h"

namespace varnoset {

void selectChosenPrinter(PrinterLayer& layer, const QString& entryText, int entryIndex) {
    if (entryText == kDefaultPrinterEntry || entryIndex < 0) {
        layer.selectDefaultPrinter();
    } else {
        layer.selectPrinter(entryIndex);
    }
}

}  // namespace varnoset
