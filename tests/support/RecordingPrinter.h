#pragma once

#include <QEventLoop>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QTimer>
#include <algorithm>
#include <string>
#include <vector>

#include "core/Error.h"
#include "output/PrintHost.h"
#include "platform/PrinterLayer.h"

namespace varnoset::test {

// One log for the layer and the host, so the order of their calls can be checked together.
using CallLog = std::vector<std::string>;

inline std::string str(const QString& s) {
    return s.toStdString();
}

// A printer layer that records every call and can refuse the n-th call of one kind.
class RecordingPrinterLayer final : public PrinterLayer {
public:
    explicit RecordingPrinterLayer(CallLog& log) : log_(log) {}

    std::vector<QString> names{QStringLiteral("Laser"), QStringLiteral("Inkjet")};
    QString defaultName = QStringLiteral("Laser");
    PrinterMeasures portrait{600, 600, 100, 100, 4900, 6800};
    // Refuse the call of this kind (its first word in the log) when it comes for the n-th time.
    std::string failOn;
    int failAt = 1;
    std::vector<QImage> pictures;
    // Whether the user prints from the preview: its page is then painted a second time.
    bool printFromPreview = false;

    std::vector<QString> printerNames() const override {
        record("names");
        return names;
    }
    void selectPrinter(int index) override {
        record("select " + std::to_string(index));
        if (index < 0 || index >= static_cast<int>(names.size())) {
            throw Error("Printer selected is not valid");
        }
    }
    void selectDefaultPrinter() override {
        record("select default");
        if (defaultName.isEmpty()) {
            throw Error("There is no default printer currently selected");
        }
    }
    void setOrientation(PageOrientation orientation) override {
        landscape_ = orientation == PageOrientation::Landscape;
        record(landscape_ ? "orientation landscape" : "orientation portrait");
    }
    PrinterMeasures measure() const override {
        record("measure");
        if (!landscape_) {
            return portrait;
        }
        return {portrait.dpiY,    portrait.dpiX,       portrait.offsetY,
                portrait.offsetX, portrait.pageHeight, portrait.pageWidth};
    }
    void setFont(const QString& family, int pointSize) override {
        record("font " + str(family) + " " + std::to_string(pointSize));
    }
    void beginDocument(const QString& title) override {
        record("begin " + str(title));
        printing_ = true;
    }
    void drawPicture(const QImage& image, const QRect& r) override {
        record("picture " + std::to_string(r.x()) + "," + std::to_string(r.y()) + " " +
               std::to_string(r.width()) + "x" + std::to_string(r.height()));
        pictures.push_back(image);
    }
    void drawText(const QPoint& p, const QString& text) override {
        record("text " + std::to_string(p.x()) + "," + std::to_string(p.y()) + " " + str(text));
    }
    void endDocument() override {
        record("end");
        printing_ = false;
    }
    void abortDocument() noexcept override {
        log_.push_back("abort");
        printing_ = false;
    }
    bool isPrinting() const override { return printing_; }
    bool runSetupDialog(QWidget*) override {
        record("setup dialog");
        return true;
    }
    bool runPreview(QWidget*, const QString& title, int copies,
                    const PagePainter& paintPage) override {
        record("preview " + str(title) + " x" + std::to_string(copies));
        paintPage(*this, measure());
        if (printFromPreview) {
            record("preview printed");
            paintPage(*this, measure());
        }
        return printFromPreview;
    }

private:
    void record(const std::string& call) const {
        log_.push_back(call);
        const std::string kind = call.substr(0, call.find(' '));
        if (!failOn.empty() && kind == failOn && ++seen_ == failAt) {
            throw Error("Printer refused " + kind);
        }
    }

    CallLog& log_;
    bool landscape_ = false;
    bool printing_ = false;
    mutable int seen_ = 0;
};

// The main window as the print job sees it: records what the job does to it and checks that the
// progress bar never runs past its end. With realWaits the waits let the event loop run.
class RecordingPrintHost final : public PrintHost {
public:
    explicit RecordingPrintHost(CallLog& log) : log_(log) {}

    bool listEnabled = true;
    QString entryText = QStringLiteral("Default Printer");
    int entryIndex = 2;
    bool realWaits = false;

    bool windowEnabled = true;
    bool waitCursor = false;
    int progress = 0;
    int highestProgress = 0;
    int minimized = 0;
    int waitedMs = 0;

    bool printerListEnabled() const override { return listEnabled; }
    QString selectedPrinterText() const override { return entryText; }
    int selectedPrinterIndex() const override { return entryIndex; }
    void setWindowEnabled(bool enabled) override {
        windowEnabled = enabled;
        log_.push_back(enabled ? "window enabled" : "window disabled");
    }
    void stepProgress() override {
        progress += 10;
        highestProgress = std::max(highestProgress, progress);
        log_.push_back("progress " + std::to_string(progress));
    }
    void resetProgress() override {
        progress = 0;
        log_.push_back("progress reset");
    }
    void setWaitCursor(bool on) override {
        waitCursor = on;
        log_.push_back(on ? "cursor wait" : "cursor default");
    }
    void waitWithMessages(int ms) override {
        log_.push_back("wait " + std::to_string(ms));
        waitedMs += ms;
        if (realWaits) {
            QEventLoop loop;
            QTimer::singleShot(ms, &loop, &QEventLoop::quit);
            loop.exec();
        }
    }
    void minimize() override {
        ++minimized;
        log_.push_back("minimize");
    }

private:
    CallLog& log_;
};

}  // namespace varnoset::test
