#include "output/PrintJob.h"

#include <QDateTime>
#include <QImage>
#include <algorithm>

#include "imaging/Picture.h"
#include "imaging/QtPictureConversion.h"
#include "output/FooterLines.h"
#include "output/PageLayout.h"
#include "output/PrintCopies.h"
#include "output/PrintHost.h"
#include "output/PrintOptions.h"
#include "output/PrinterChoice.h"
#include "platform/PrinterLayer.h"

namespace varnoset {

namespace {

constexpr int kSettleMilliseconds = 50;
constexpr int kAfterCopyMilliseconds = 100;

void stepProgress(PrintHost& host, int steps) {
    for (int i = 0; i < steps; ++i) {
        host.stepProgress();
    }
}

PageLayout layoutFor(const PrinterMeasures& printer, QSize picture, QSize screenDpi,
                     const PrintOptions& options) {
    return layOutPage(
        {printer.dpiX, printer.dpiY, printer.offsetX, printer.offsetY, printer.pageWidth,
         printer.pageHeight, screenDpi.width(), screenDpi.height()},
        picture,
        {options.size, options.keepProportions, options.centred, options.footer.lineCount(),
         kFooterPointSize});
}

// The page, as printed and as previewed: the picture where the layout puts it, then the footer
// lines under it.
void paintPage(PageCanvas& canvas, const QImage& image, const PageLayout& layout,
               const FooterContent& footer) {
    if (!image.isNull()) {
        canvas.drawPicture(image, layout.pictureRect());
    }
    for (const FooterLine& line : footerLines(footer, QDateTime::currentDateTime(), layout)) {
        canvas.drawText(line.topLeft, line.text);
    }
}

}  // namespace

void PrintJob::run(const Picture& picture, const PrintOptions& options, QSize screenDpi) {
    // A disabled list means there is no printer to print on.
    if (!host_.printerListEnabled()) {
        return;
    }
    host_.setWindowEnabled(false);
    try {
        printCopies(picture, options, screenDpi);
    } catch (...) {
        if (layer_.isPrinting()) {
            layer_.abortDocument();
        }
        host_.resetProgress();
        host_.setWaitCursor(false);
        host_.setWindowEnabled(true);
        throw;
    }
    host_.setWindowEnabled(true);
    host_.setWaitCursor(false);
    host_.minimize();
}

bool PrintJob::preview(const Picture& picture, const PrintOptions& options, QSize screenDpi,
                       QWidget* parent) {
    if (!host_.printerListEnabled()) {
        return false;
    }
    // The preview waits for nothing: it is drawn again whenever the user changes it.
    const PrinterMeasures measures = preparePrinter(options, false);
    const QSize size(picture.width(), picture.height());
    // A page that cannot be laid out is reported before any preview opens.
    layoutFor(measures, size, screenDpi, options);
    const QImage image = toQImage(picture);
    const bool printed = layer_.runPreview(
        parent, QString::fromLatin1(kPrintDocumentTitle),
        std::max(1, copiesForIndex(options.copiesIndex)),
        [&](PageCanvas& canvas, const PrinterMeasures& shown) {
            paintPage(canvas, image, layoutFor(shown, size, screenDpi, options), options.footer);
        });
    if (printed) {
        host_.minimize();
    }
    return printed;
}

PrinterMeasures PrintJob::preparePrinter(const PrintOptions& options, bool settle) {
    const auto wait = [&] {
        if (settle) {
            host_.waitWithMessages(kSettleMilliseconds);
        }
    };
    selectChosenPrinter(layer_, host_.selectedPrinterText(), host_.selectedPrinterIndex());
    wait();
    layer_.setOrientation(PageOrientation::Landscape);
    if (options.portrait) {
        layer_.setOrientation(PageOrientation::Portrait);
    }
    wait();
    const PrinterMeasures measures = layer_.measure();
    layer_.setFont(QString::fromLatin1(kFooterFontFamily), kFooterPointSize);
    return measures;
}

void PrintJob::printCopies(const Picture& picture, const PrintOptions& options, QSize screenDpi) {
    const PrinterMeasures measures = preparePrinter(options, true);
    host_.waitWithMessages(kSettleMilliseconds);
    const PageLayout layout =
        layoutFor(measures, QSize(picture.width(), picture.height()), screenDpi, options);
    const QImage image = toQImage(picture);

    const int copies = copiesForIndex(options.copiesIndex);
    for (int copy = 0; copy < copies; ++copy) {
        host_.setWaitCursor(true);
        stepProgress(host_, 3);
        layer_.beginDocument(QString::fromLatin1(kPrintDocumentTitle));
        paintPage(layer_, image, layout, options.footer);
        stepProgress(host_, 4);
        if (layer_.isPrinting()) {
            layer_.endDocument();
        }
        host_.waitWithMessages(kAfterCopyMilliseconds);
        host_.resetProgress();
    }
}

}  // namespace varnoset
