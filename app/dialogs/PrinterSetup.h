#pragma once

class QWidget;

namespace varnoset {

class PrinterLayer;
class PrintHost;

// The printer set-up button: selects the printer of the list's entry (as the print job does),
// lets the messages run for 50 ms, then shows the desktop's printer set-up dialog for it. The
// printer list is not updated from the dialog. Throws the layer's error when there is no such
// printer (no dialog opens then).
void runPrinterSetup(PrinterLayer& layer, PrintHost& host, QWidget* parent);

}  // namespace varnoset
