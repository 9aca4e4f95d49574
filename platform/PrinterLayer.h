#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "platform/PageCanvas.h"

class QWidget;

namespace varnoset {

enum class PageOrientation { Portrait, Landscape };

// What the print job measures on the chosen printer, in its device pixels and dots per inch.
struct PrinterMeasures {
    int dpiX = 0;
    int dpiY = 0;
    int offsetX = 0;  // from the paper's edge to the printable area
    int offsetY = 0;
    int pageWidth = 0;  // the printable area
    int pageHeight = 0;
};

// Draws one page on a canvas whose printer measures as given.
using PagePainter = std::function<void(PageCanvas& canvas, const PrinterMeasures& measures)>;

// The desktop's printers and the document being printed, which is the canvas the page is drawn
// on. The list of printers is read once and kept for the whole run; the default printer is asked
// for afresh each time. Every refusal throws varnoset::Error with the text to show.
class PrinterLayer : public PageCanvas {
public:
    ~PrinterLayer() override = default;

    // The printers in the print system's own order, as read when the layer was made.
    virtual std::vector<QString> printerNames() const = 0;

    // The printer at that position of printerNames(); throws when it is gone or out of range.
    virtual void selectPrinter(int index) = 0;
    // Throws "There is no default printer currently selected" when the system has none.
    virtual void selectDefaultPrinter() = 0;
    // The following measurements reflect the orientation.
    virtual void setOrientation(PageOrientation orientation) = 0;
    virtual PrinterMeasures measure() const = 0;
    // The font of the text drawn in the next document; the size in points at the printer's
    // resolution.
    virtual void setFont(const QString& family, int pointSize) = 0;

    // Starts a document of one page; throws "Printing in progress" while one is open.
    // Its page is what drawPicture and drawText draw on.
    virtual void beginDocument(const QString& title) = 0;
    // Hands the open document to the print system.
    virtual void endDocument() = 0;
    // Drops the open document without printing it; never throws.
    virtual void abortDocument() noexcept = 0;
    virtual bool isPrinting() const = 0;

    // The desktop's printer set-up dialog for the selected printer; on OK its choices become the
    // layer's current printer and settings. Returns whether it was accepted.
    virtual bool runSetupDialog(QWidget* parent) = 0;

    // The desktop's print preview of one page on the selected printer, with its paper,
    // orientation and resolution: paintPage draws the page whenever the preview needs it, and
    // once more on the printer when the user prints from the preview (a document titled title, of
    // that many copies unless the print dialog changes them). Returns whether it was printed.
    // Throws what paintPage throws, and when the print system refuses the document.
    virtual bool runPreview(QWidget* parent, const QString& title, int copies,
                            const PagePainter& paintPage) = 0;
};

}  // namespace varnoset
