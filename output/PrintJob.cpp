#include "output/PrintJob.h"

#include <QDateTime>
#include <QImage>

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

void PrintJob::printCopies(const Picture& picture, const PrintOptions& options, QSize screenDpi) {
    selectChosenPrinter(layer_, host_.selectedPrinterText(), host_.selectedPrinterIndex());
    host_.waitWithMessages(kSettleMilliseconds);
    layer_.setOrientation(PageOrientation::Landscape);
    if (options.portrait) {
        layer_.setOrientation(PageOrientation::Portrait);
    }
    host_.waitWithMessages(kSettleMilliseconds);

    const PrinterMeasures printer = layer_.measure();
    layer_.setFont(QString::fromLatin1(kFooterFontFamily), kFooterPointSize);
    host_.waitWithMessages(kSettleMilliseconds);

    const PageMeasures measures{printer.dpiX,      printer.dpiY,      printer.offsetX,
                                printer.offsetY,   printer.pageWidth, printer.pageHeight,
                                screenDpi.width(), screenDpi.height()};
    const PageOptions pageOptions{options.size, options.keepProportions, options.centred,
                                  options.footer.lineCount(), kFooterPointSize};
    const PageLayout layout =
        layOutPage(measures, QSize(picture.width(), picture.height()), pageOptions);
    const QImage image = toQImage(picture);

    const int copies = copiesForIndex(options.copiesIndex);
    for (int copy = 0; copy < copies; ++copy) {
        host_.setWaitCursor(true);
        stepProgress(host_, 3);
        layer_.beginDocument(QString::fromLatin1(kPrintDocumentTitle));
        if (!image.isNull()) {
            layer_.drawPicture(image, layout.pictureRect());
        }
        stepProgress(host_, 3);
        for (const FooterLine& line :
             footerLines(options.footer, QDateTime::currentDateTime(), layout)) {
            layer_.drawText(line.topLeft, line.text);
        }
        stepProgress(host_, 1);
        if (layer_.isPrinting()) {
            layer_.endDocument();
        }
        host_.waitWithMessages(kAfterCopyMilliseconds);
        host_.resetProgress();
    }
}

}  // namespace varnoset
