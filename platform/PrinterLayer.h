#pragma once

#include <QString>
#include <vector>

class QImage;
class QPoint;
class QRect;
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

// The desktop's printers and the document being printed. The list of printers is read once and
// kept for the whole run; the default printer is asked for afresh each time. Every refusal throws
// varnoset::Error with the text to show.
class PrinterLayer {
public:
    virtual ~PrinterLayer() = default;

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
    virtual void beginDocument(const QString& title) = 0;
    // Scales the whole image into the target rectangle, given in page coordinates whose origin is
    // the printable area's top-left corner.
    virtual void drawPicture(const QImage& image, const QRect& target) = 0;
    // Draws a line of text whose top-left corner is at the point.
    virtual void drawText(const QPoint& topLeft, const QString& text) = 0;
    // Hands the open document to the print system.
    virtual void endDocument() = 0;
    // Drops the open document without printing it; never throws.
    virtual void abortDocument() noexcept = 0;
    virtual bool isPrinting() const = 0;

    // The desktop's printer set-up dialog for the selected printer; on OK its choices become the
    // layer's current printer and settings. Returns whether it was accepted.
    virtual bool runSetupDialog(QWidget* parent) = 0;
};

}  // namespace varnoset
