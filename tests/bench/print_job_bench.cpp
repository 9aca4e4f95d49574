// Time from pressing Print to the job handed to CUPS: one copy of a full-screen capture with the
// three footer lines, on the private print server of the desktop harness. The waits the job makes
// between its steps (3 × 50 ms and 100 ms) are part of it. And the time from File > Print Preview
// to the preview on the screen with its page drawn.
//
//   tests/desktop/harness.sh --cups -- build/bench/tests/bench/print_job_bench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGraphicsView>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "imaging/Picture.h"
#include "output/PrintHost.h"
#include "output/PrintJob.h"
#include "output/PrintOptions.h"
#include "platform/linux/QtPrinterLayer.h"

namespace varnoset {
namespace {

// The main window's side of the job: the waits let the event loop run, the rest is bookkeeping.
class BenchHost final : public PrintHost {
public:
    bool printerListEnabled() const override { return true; }
    QString selectedPrinterText() const override { return QStringLiteral("Default Printer"); }
    int selectedPrinterIndex() const override { return 1; }
    void setWindowEnabled(bool) override {}
    void stepProgress() override {}
    void resetProgress() override {}
    void setWaitCursor(bool) override {}
    void waitWithMessages(int milliseconds) override {
        QEventLoop loop;
        QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
        loop.exec();
    }
    void minimize() override {}
};

// A capture-like picture: smooth gradients with some detail, 32 bits per pixel as grabbed.
Picture capturePicture() {
    Picture picture(1920, 1080, PixelFormat::Rgb32);
    for (int y = 0; y < picture.height(); ++y) {
        std::uint8_t* row = picture.scanLine(y);
        for (int x = 0; x < picture.width(); ++x) {
            row[4 * x] = static_cast<std::uint8_t>(x / 8);
            row[4 * x + 1] = static_cast<std::uint8_t>(y / 5);
            row[4 * x + 2] = static_cast<std::uint8_t>((x ^ y) & 0xFF);
            row[4 * x + 3] = 0;
        }
    }
    return picture;
}

// Lets the print server finish the previous jobs so they do not compete with the next run.
void drainQueue() {
    for (int i = 0; i < 600; ++i) {
        QProcess lpstat;
        lpstat.start(QStringLiteral("lpstat"), {QStringLiteral("-o")});
        lpstat.waitForFinished();
        if (lpstat.readAllStandardOutput().trimmed().isEmpty()) {
            return;
        }
        QThread::msleep(50);
    }
}

void printFullScreenCapture(benchmark::State& state) {
    const int dotsPerInch = static_cast<int>(state.range(0));
    const bool keepProportions = state.range(1) != 0;
    const Picture picture = capturePicture();
    PrintOptions options;
    options.keepProportions = keepProportions;
    options.footer = {true,
                      true,
                      true,
                      QStringLiteral("Benchmark"),
                      QStringLiteral("box"),
                      QStringLiteral("user"),
                      QStringLiteral("Linux")};
    BenchHost host;
    QtPrinterLayer layer(dotsPerInch);
    for (auto _ : state) {
        PrintJob(layer, host).run(picture, options, {96, 96});
        state.PauseTiming();
        drainQueue();
        state.ResumeTiming();
    }
    layer.selectDefaultPrinter();
    state.counters["dpi"] = layer.measure().dpiX;
}

// Stops the clock once the preview's page view has painted, and closes the preview.
class PreviewPainted final : public QObject {
public:
    QElapsedTimer clock;
    qint64 elapsedNs = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && elapsedNs == 0 && widget != nullptr &&
            qobject_cast<QGraphicsView*>(widget->parentWidget()) != nullptr &&
            qobject_cast<QPrintPreviewDialog*>(widget->window()) != nullptr) {
            // Once this paint is done and on its way to the screen.
            QTimer::singleShot(0, widget->window(), [this, widget] {
                elapsedNs = clock.nsecsElapsed();
                static_cast<QDialog*>(widget->window())->reject();
            });
        }
        return false;
    }
};

void openPrintPreview(benchmark::State& state) {
    const Picture picture = capturePicture();
    PrintOptions options;  // the first start's: landscape, centred, keeping proportions
    options.portrait = false;
    options.centred = true;
    options.keepProportions = true;
    BenchHost host;
    QtPrinterLayer layer;
    PreviewPainted painted;
    qApp->installEventFilter(&painted);
    for (auto _ : state) {
        painted.elapsedNs = 0;
        painted.clock.start();
        PrintJob(layer, host).preview(picture, options, {96, 96}, nullptr);
        state.SetIterationTime(static_cast<double>(painted.elapsedNs) / 1e9);
    }
    qApp->removeEventFilter(&painted);
}

BENCHMARK(openPrintPreview)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK(printFullScreenCapture)
    ->ArgNames({"dpi", "keep"})
    ->Args({600, 1})
    ->Args({600, 0})
    ->Args({0, 1})
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace varnoset

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("CUPS_SERVER")) {
        std::fprintf(stderr, "print_job_bench: run it under tests/desktop/harness.sh --cups\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The print filters run as the lp user and must reach the queue's files in the test folder.
    QFile::setPermissions(qEnvironmentVariable("VARNOSET_TEST_ROOT"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                              QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                              QFile::ExeOther);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
