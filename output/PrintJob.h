#pragma once

#include <QSize>
#include <QString>

class QWidget;

namespace varnoset {

class Picture;
class PrinterLayer;
class PrintHost;
struct PrintOptions;
struct PrinterMeasures;

// The document title of every printed copy.
inline constexpr char kPrintDocumentTitle[] = "Varnoset v3.00 Picture";
// The footer's font, at the printer's resolution.
inline constexpr char kFooterFontFamily[] = "Arial";
inline constexpr int kFooterPointSize = 10;

// Prints a picture with the print options: one document per copy, the picture placed by the
// page layout, the footer lines below it, the main window disabled meanwhile and minimised
// afterwards. A printer-layer error ends the job: any open document is dropped, the window, the
// cursor and the progress bar are restored, and the error is passed on to be shown. The preview
// shows the page the job would print, drawn by the same routine.
class PrintJob {
public:
    PrintJob(PrinterLayer& layer, PrintHost& host) : layer_(layer), host_(host) {}

    // screenDpi: the primary screen's logical dots per inch.
    void run(const Picture& picture, const PrintOptions& options, QSize screenDpi);

    // The desktop's print preview of the page run() would print, on the chosen printer with its
    // paper, orientation and resolution. Printing from the preview prints that page and then
    // minimises the window as a job does. Returns whether it printed; nothing happens without a
    // printer.
    bool preview(const Picture& picture, const PrintOptions& options, QSize screenDpi,
                 QWidget* parent);

private:
    // Selects the chosen printer and its orientation, measures it and sets the footer's font,
    // waiting between the steps when settle is set.
    PrinterMeasures preparePrinter(const PrintOptions& options, bool settle);
    void printCopies(const Picture& picture, const PrintOptions& options, QSize screenDpi);

    PrinterLayer& layer_;
    PrintHost& host_;
};

}  // namespace varnoset
