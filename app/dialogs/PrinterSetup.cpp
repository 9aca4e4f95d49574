#include "app/dialogs/PrinterSetup.h"

#include "output/PrintHost.h"
#include "output/PrinterChoice.h"
#include "platform/PrinterLayer.h"

namespace varnoset {

void runPrinterSetup(PrinterLayer& layer, PrintHost& host, QWidget* parent) {
    selectChosenPrinter(layer, host.selectedPrinterText(), host.selectedPrinterIndex());
    host.waitWithMessages(50);
    layer.runSetupDialog(parent);
}

}  // namespace varnoset
