#include "platform/linux/QtPrinterLayer.h"

#include <dlfcn.h>

#include <QComboBox>
#include <QGraphicsView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPageRanges>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <exception>
#include <memory>
#include <optional>

#include "core/Error.h"
#include "platform/linux/PainterCanvas.h"

namespace varnoset {

namespace {

std::vector<QString> readPrinterNames() {
    // QPrinterInfo asks CUPS (cupsGetDests); without a server the list is empty.
    const QStringList names = QPrinterInfo::availablePrinterNames();
    return {names.begin(), names.end()};
}

[[noreturn]] void fail(const QString& message) {
    throw Error(message.toStdString());
}

struct LibraryCloser {
    void operator()(void* library) const { ::dlclose(library); }
};

// Why CUPS refused the last request of this thread, when it did. Qt's CUPS engine hands each
// document over with cupsPrintFile as the painter ends and ignores the result, so a server that
// has gone away shows only here. The library is asked only when the engine has loaded it.
std::optional<QString> cupsRefusal() {
    const std::unique_ptr<void, LibraryCloser> library(
        ::dlopen("libcups.so.2", RTLD_LAZY | RTLD_NOLOAD));
    if (!library) {
        return std::nullopt;
    }
    using LastError = int (*)();
    using LastErrorString = const char* (*)();
    const auto lastError = reinterpret_cast<LastError>(::dlsym(library.get(), "cupsLastError"));
    const auto lastErrorString =
        reinterpret_cast<LastErrorString>(::dlsym(library.get(), "cupsLastErrorString"));
    constexpr int kFirstErrorStatus = 0x0400;  // IPP_STATUS_ERROR_BAD_REQUEST
    if (lastError == nullptr || lastError() < kFirstErrorStatus) {
        return std::nullopt;
    }
    const char* reason = lastErrorString != nullptr ? lastErrorString() : nullptr;
    return reason != nullptr ? QString::fromLocal8Bit(reason) : QString();
}

// Qt's preview names neither its zoom list, nor its page field, nor the pages for screen readers.
// A combo box is named by its label on Linux: the zoom list gets one that is never shown.
void nameForScreenReaders(QPrintPreviewDialog& dialog) {
    for (auto* zoom : dialog.findChildren<QComboBox*>()) {
        auto* caption = new QLabel(QStringLiteral("Zoom"), zoom->parentWidget());
        caption->hide();
        caption->setBuddy(zoom);
        if (zoom->lineEdit() != nullptr) {
            zoom->lineEdit()->setAccessibleName(QStringLiteral("Zoom"));
        }
    }
    for (auto* field : dialog.findChildren<QLineEdit*>()) {
        if (field->accessibleName().isEmpty()) {
            field->setAccessibleName(QStringLiteral("Page"));
        }
    }
    for (auto* pages : dialog.findChildren<QPrintPreviewWidget*>()) {
        pages->setAccessibleName(QStringLiteral("Print Preview"));
        for (auto* view : pages->findChildren<QGraphicsView*>()) {
            view->setAccessibleName(QStringLiteral("Pages"));
            view->viewport()->setAccessibleName(QStringLiteral("Pages"));
        }
    }
}

PrinterMeasures measuresOf(const QPrinter& printer) {
    // The resolution of the print job itself (QPrinter::resolution); physicalDpiX reports the
    // engine's internal one instead.
    const int dpi = printer.resolution();
    const QRect printable = printer.pageLayout().paintRectPixels(dpi);
    return {dpi, dpi, printable.left(), printable.top(), printable.width(), printable.height()};
}

}  // namespace

QtPrinterLayer::QtPrinterLayer(int dotsPerInch) : dotsPerInch_(dotsPerInch) {}

std::vector<QString> QtPrinterLayer::printerNames() const {
    // Asked once, when first wanted: listing can keep the print server busy for a while.
    if (!names_) {
        names_ = readPrinterNames();
    }
    return *names_;
}

QPrinter& QtPrinterLayer::printer() const {
    // Made when first wanted: a QPrinter asks the print server for its default printer.
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        applyResolution(*printer_);
    }
    return *printer_;
}

QtPrinterLayer::~QtPrinterLayer() {
    abortDocument();
}

void QtPrinterLayer::selectPrinter(int index) {
    requireIdle();
    const std::vector<QString> names = printerNames();
    if (index < 0 || index >= static_cast<int>(names.size())) {
        fail(QStringLiteral("Printer selected is not valid"));
    }
    selectByName(names[static_cast<std::size_t>(index)]);
}

void QtPrinterLayer::selectDefaultPrinter() {
    requireIdle();
    // Asked afresh: the default is the one at the time of printing.
    const QString name = QPrinterInfo::defaultPrinterName();
    if (name.isEmpty()) {
        fail(QStringLiteral("There is no default printer currently selected"));
    }
    selectByName(name);
}

void QtPrinterLayer::selectByName(const QString& name) {
    // Printing to a file, chosen in the set-up dialog, is no printer of the list.
    printer().setOutputFileName(QString());
    printer().setPrinterName(name);
    // QPrinter ignores a name CUPS no longer knows and keeps the previous printer; printing there
    // instead would be wrong.
    if (printer().printerName() != name || printer().outputFormat() != QPrinter::NativeFormat) {
        fail(QStringLiteral("The printer \"%1\" is not available").arg(name));
    }
    // QPrinter starts on A4 whatever the printer holds and keeps its paper from printer to
    // printer: a printer takes its own default paper when first chosen, and keeps what the
    // set-up or print dialog chose for it later.
    if (paperOf_ != name) {
        const QPageSize paper = QPrinterInfo::printerInfo(name).defaultPageSize();
        if (paper.isValid()) {
            printer().setPageSize(paper);
        }
        paperOf_ = name;
    }
    applyResolution(printer());
}

void QtPrinterLayer::applyResolution(QPrinter& target) const {
    if (dotsPerInch_ > 0) {
        target.setResolution(dotsPerInch_);
    }
}

void QtPrinterLayer::setOrientation(PageOrientation orientation) {
    requireIdle();
    if (!printer().isValid()) {
        fail(QStringLiteral("Operation not supported on selected printer"));
    }
    printer().setPageOrientation(orientation == PageOrientation::Landscape ? QPageLayout::Landscape
                                                                           : QPageLayout::Portrait);
}

PrinterMeasures QtPrinterLayer::measure() const {
    return measuresOf(printer());
}

void QtPrinterLayer::setFont(const QString& family, int pointSize) {
    font_ = QFont(family, pointSize);
}

void QtPrinterLayer::prepareDocument(const QString& title, int copies) {
    // One page, whatever the set-up dialog chose.
    printer().setCopyCount(copies);
    printer().setPrintRange(QPrinter::AllPages);
    printer().setPageRanges(QPageRanges());
    printer().setDocName(title);
}

void QtPrinterLayer::beginDocument(const QString& title) {
    requireIdle();
    // Every copy is a document of its own.
    prepareDocument(title, 1);
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(&printer())) {
        fail(QStringLiteral("Printing on \"%1\" could not start").arg(printer().printerName()));
    }
    // A point size set on the painter is taken at the printer's resolution.
    painter->setFont(font_);
    painter_ = std::move(painter);
}

void QtPrinterLayer::drawPicture(const QImage& image, const QRect& target) {
    PainterCanvas(painter()).drawPicture(image, target);
}

void QtPrinterLayer::drawText(const QPoint& topLeft, const QString& text) {
    PainterCanvas(painter()).drawText(topLeft, text);
}

void QtPrinterLayer::endDocument() {
    if (!painter_) {
        return;
    }
    const bool ended = painter_->end();
    painter_.reset();
    requireHandedOver(ended);
}

void QtPrinterLayer::requireHandedOver(bool ended) const {
    // Ending the painter hands the document to CUPS (cupsPrintFile); a refusal shows here.
    const std::optional<QString> refusal =
        ended && printer().outputFileName().isEmpty() ? cupsRefusal() : std::nullopt;
    if (!ended || printer().printerState() == QPrinter::Error || refusal) {
        QString message = QStringLiteral("The document could not be sent to the printer \"%1\"")
                              .arg(printer().printerName());
        if (refusal && !refusal->isEmpty()) {
            message += QStringLiteral(": ") + *refusal;
        }
        fail(message);
    }
}

void QtPrinterLayer::abortDocument() noexcept {
    if (!painter_) {
        return;
    }
    printer_->abort();  // painting means the printer exists
    painter_->end();
    painter_.reset();
}

bool QtPrinterLayer::isPrinting() const {
    return painter_ != nullptr;
}

bool QtPrinterLayer::runSetupDialog(QWidget* parent) {
    requireIdle();
    // QPrintDialog writes the accepted choices into the printer and leaves it alone on Cancel.
    QPrintDialog dialog(&printer(), parent);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (accepted) {
        paperOf_ = printer().printerName();
    }
    return accepted;
}

bool QtPrinterLayer::runPreview(QWidget* parent, const QString& title, int copies,
                                const PagePainter& paintPage) {
    requireIdle();
    prepareDocument(title, copies);
    // The preview paints on this printer, standing in for it: the same paper, orientation and
    // resolution. Printing from it asks the print dialog first, then paints on the printer itself.
    QPrintPreviewDialog dialog(&printer(), parent);
    nameForScreenReaders(dialog);
    std::exception_ptr failure;
    bool ended = false;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* device) {
        // Nothing may be thrown through Qt: kept, the dialog closed, then thrown.
        try {
            if (!failure) {
                ended = paintOn(*device, paintPage);
            }
        } catch (...) {
            failure = std::current_exception();
            QMetaObject::invokeMethod(&dialog, &QDialog::reject, Qt::QueuedConnection);
        }
    });
    const bool printed = dialog.exec() == QDialog::Accepted;
    if (printed) {
        paperOf_ = printer().printerName();  // as the print dialog chose
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    if (printed) {
        requireHandedOver(ended);
    }
    return printed;
}

bool QtPrinterLayer::paintOn(QPrinter& device, const PagePainter& paintPage) const {
    QPainter painter;
    if (!painter.begin(&device)) {
        fail(QStringLiteral("Printing on \"%1\" could not start").arg(device.printerName()));
    }
    painter.setFont(font_);
    try {
        PainterCanvas canvas(painter);
        paintPage(canvas, measuresOf(device));
    } catch (...) {
        device.abort();  // a page drawn in part is never printed
        painter.end();
        throw;
    }
    return painter.end();
}

QString QtPrinterLayer::selectedPrinterName() const {
    return printer().printerName();
}

void QtPrinterLayer::requireIdle() const {
    if (isPrinting()) {
        fail(QStringLiteral("Printing in progress"));
    }
}

QPainter& QtPrinterLayer::painter() {
    if (!painter_) {
        fail(QStringLiteral("Printer is not currently printing"));
    }
    return *painter_;
}

}  // namespace varnoset
