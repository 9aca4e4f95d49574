#include "PrinterSetup.h"

#include "PrintHost.h"
#include "PrinterChoice.h"
#include "PrinterLayer.h"

namespace varnoset {

void runPrinterSetup(PrinterLayer& layer, PrintHost& host, QWidget* parent) {
    selectChosenPrinter(layer, host.selectedPrinterText(), host.selectedPrinterIndex());
    host.waitWithMessages(50);
    layer.runSetupDialog(parent);
}

}  // namespace varnoset
