#pragma once

#include <QFont>
#include <memory>
#include <optional>

#include "platform/PrinterLayer.h"

class QPainter;
class QPrinter;

namespace varnoset {

// The printer layer over Qt PrintSupport, which reaches CUPS: CUPS's printer list and default
// printer, one QPrinter at the printer's own resolution, and a QPainter on it while a document
// is open (Qt renders it to PDF and hands that to CUPS when the document ends).
class QtPrinterLayer final : public PrinterLayer {
public:
    // dotsPerInch: the resolution documents are laid out at; 0 keeps the print engine's own
    // (Qt renders every CUPS printer at 1200 dpi).
    explicit QtPrinterLayer(int dotsPerInch = 0);
    ~QtPrinterLayer() override;
    QtPrinterLayer(const QtPrinterLayer&) = delete;
    QtPrinterLayer& operator=(const QtPrinterLayer&) = delete;

    std::vector<QString> printerNames() const override;
    void selectPrinter(int index) override;
    void selectDefaultPrinter() override;
    void setOrientation(PageOrientation orientation) override;
    PrinterMeasures measure() const override;
    void setFont(const QString& family, int pointSize) override;

    void beginDocument(const QString& title) override;
    void drawPicture(const QImage& image, const QRect& target) override;
    void drawText(const QPoint& topLeft, const QString& text) override;
    void endDocument() override;
    void abortDocument() noexcept override;
    bool isPrinting() const override;

    bool runSetupDialog(QWidget* parent) override;
    bool runPreview(QWidget* parent, const QString& title, int copies,
                    const PagePainter& paintPage) override;

    // The printer that the next document goes to.
    QString selectedPrinterName() const;

private:
    void selectByName(const QString& name);
    void applyResolution(QPrinter& target) const;
    void prepareDocument(const QString& title, int copies);
    void requireIdle() const;
    // Paints one page on the device; whether it ended well.
    bool paintOn(QPrinter& device, const PagePainter& paintPage) const;
    // Throws when the document just ended did not reach the print system.
    void requireHandedOver(bool ended) const;
    QPainter& painter();
    QPrinter& printer() const;

    mutable std::optional<std::vector<QString>> names_;
    mutable std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    QFont font_;
    QString paperOf_;  // the printer whose paper the QPrinter holds
    int dotsPerInch_ = 0;
};

}  // namespace varnoset
