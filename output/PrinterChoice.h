#pragma once

#include <QLatin1String>
#include <QString>

namespace varnoset {

class PrinterLayer;

// The last entry of the printer list, standing for the system's default printer.
inline constexpr QLatin1String kDefaultPrinterEntry("Default Printer");

// Selects the printer a list entry stands for: "Default Printer" and no selection (index -1)
// select the system's default printer, any other entry the printer at its index.
void selectChosenPrinter(PrinterLayer& layer, const QString& entryText, int entryIndex);

}  // namespace varnoset
