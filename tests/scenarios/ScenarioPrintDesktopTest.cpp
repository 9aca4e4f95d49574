// A user's first day with the program: started with no options, the screen captured with the
// Print key, the picture greyed and mirrored with the window's check boxes and printed on the
// private CUPS queue. The printed page is read back from outside through Ghostscript.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QThread>
#include <cstdlib>
#include <optional>

#include "CaptureDesktopSupport.h"
#include "DesktopSupport.h"

using namespace desktop;
using capture_desktop::clipboardPng;
using capture_desktop::ProbeWindow;

namespace {

// The background and, on the screen's left, a block of another colour so that mirroring shows.
const QColor kBackground(0xc0, 0x40, 0x20);
const QColor kBlock(0x20, 0x40, 0xc0);
const QRect kBlockRect(0, 0, 600, 1080);
// Their greys by 30/59/11 weights.
constexpr int kBackgroundGrey = (30 * 0xc0 + 59 * 0x40 + 11 * 0x20) / 100;  // 98
constexpr int kBlockGrey = (30 * 0x20 + 59 * 0x40 + 11 * 0xc0) / 100;       // 68
constexpr int kTolerance = 6;
// What sits above the central widget inside the main window's client area.
constexpr int kMenuBarHeight = 22;

QString cupsOut() {
    return qEnvironmentVariable("VARNOSET_CUPS_OUT");
}

int completedJobs() {
    return static_cast<int>(run("lpstat", {"-W", "completed", "-o", "FILE"})
                                .out.split('\n', Qt::SkipEmptyParts)
                                .size());
}

bool queueEmpty() {
    return run("lpstat", {"-o", "FILE"}).out.trimmed().isEmpty();
}

QImage renderPage() {
    const QString png =
        qEnvironmentVariable("VARNOSET_TEST_ROOT") + QStringLiteral("/tmp/page.png");
    QDir().mkpath(QFileInfo(png).absolutePath());
    QFile::remove(png);
    run("gs",
        {"-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=png16m", "-r50", "-sOutputFile=" + png,
         cupsOut()},
        60000);
    return QImage(png).convertToFormat(QImage::Format_RGB32);
}

bool greyNear(QRgb c, int level) {
    return std::abs(qRed(c) - level) <= kTolerance && std::abs(qGreen(c) - level) <= kTolerance &&
           std::abs(qBlue(c) - level) <= kTolerance && std::abs(qRed(c) - qGreen(c)) <= 3 &&
           std::abs(qGreen(c) - qBlue(c)) <= 3;
}

// How many pixels of the page have that grey, and the mean of their x.
struct Area {
    int count = 0;
    double meanX = 0;
};
Area areaOf(const QImage& page, int level) {
    Area area;
    double sumX = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (greyNear(page.pixel(x, y), level)) {
                ++area.count;
                sumX += x;
            }
        }
    }
    area.meanX = area.count > 0 ? sumX / area.count : 0;
    return area;
}

// A point in the main window's central widget, in root coordinates.
QPoint inCentralWidget(WindowId window, QPoint at) {
    return windowGeometry(window).topLeft() + QPoint(0, kMenuBarHeight) + at;
}

std::optional<WindowId> waitForMainWindow(Varnoset& app) {
    std::optional<WindowId> window;
    waitUntil([&] { return (window = app.mainWindow()).has_value(); }, 8000);
    return window;
}

}  // namespace

TEST(ScenarioPrint, FirstStartCaptureGreyMirrorPrint) {
    ASSERT_FALSE(cupsOut().isEmpty()) << "needs the desktop harness with --cups";
    PrivateConfigHome config;
    ASSERT_TRUE(QDir(config.path()).isEmpty());

    ASSERT_EQ(run("xsetroot", {"-solid", kBackground.name()}).exitCode, 0);
    ProbeWindow block(kBlockRect, kBlock);
    block.showAndWait();

    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();

    run("xdotool", {"key", "Print"});
    std::optional<WindowId> window = waitForMainWindow(app);
    ASSERT_TRUE(window.has_value()) << app.output().toStdString();
    block.hide();

    // The capture saw the known screen: the block on the left, the background beside it.
    const QImage captured = clipboardPng();
    ASSERT_EQ(captured.size(), QSize(1920, 1080));
    EXPECT_EQ(QColor(captured.pixel(300, 500)), kBlock);
    EXPECT_EQ(QColor(captured.pixel(1200, 500)), kBackground);

    // "Grayed Colors" and "Mirrored Picture", clicked at their middles.
    // Plain clicks, pressed and released in one place: a check box must take them.
    clickAt(inCentralWidget(*window, QPoint(304 + 8, 48 + 8)));
    QThread::msleep(300);
    clickAt(inCentralWidget(*window, QPoint(304 + 8, 96 + 8)));
    QThread::msleep(300);

    QFile::remove(cupsOut());
    const int before = completedJobs();
    // Panel1 at (4, 0), BitBtn1 inside it at (284, 4), 65 x 29.
    clickAt(inCentralWidget(*window, QPoint(4 + 284 + 32, 0 + 4 + 14)));
    ASSERT_TRUE(waitUntil([&] { return completedJobs() > before && queueEmpty(); }, 60000))
        << "no job completed on FILE; " << app.output().toStdString();
    QFile printed(cupsOut());
    ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
    EXPECT_TRUE(printed.read(4096).contains("%%Title: (Varnoset v3.00 Picture)"));

    const QImage page = renderPage();
    ASSERT_FALSE(page.isNull()) << "Ghostscript could not render " << cupsOut().toStdString();
    const Area background = areaOf(page, kBackgroundGrey);
    const Area blockArea = areaOf(page, kBlockGrey);
    const int pagePixels = page.width() * page.height();
    // Most of the picture is the background's grey, and no pixel keeps the original colours.
    EXPECT_GT(background.count, pagePixels / 10) << "page " << page.width() << "x" << page.height();
    EXPECT_GT(blockArea.count, background.count / 20);
    int coloured = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QRgb c = page.pixel(x, y);
            coloured += std::abs(qRed(c) - qBlue(c)) > 40 ? 1 : 0;
        }
    }
    EXPECT_EQ(coloured, 0);
    // Mirrored: the block that was on the screen's left is printed on the picture's right.
    EXPECT_GT(blockArea.meanX, background.meanX);

    // Printing hides the window; the next key press captures again and shows it.
    EXPECT_TRUE(waitUntil([&] { return !app.mainWindow().has_value(); }, 10000));
    const QColor later(0x30, 0xa0, 0x50);
    ASSERT_EQ(run("xsetroot", {"-solid", later.name()}).exitCode, 0);
    run("xdotool", {"key", "Print"});
    EXPECT_TRUE(waitForMainWindow(app).has_value());
    EXPECT_EQ(QColor(clipboardPng().pixel(1200, 500)), later);

    app.terminate();
    app.waitForExit();
}
