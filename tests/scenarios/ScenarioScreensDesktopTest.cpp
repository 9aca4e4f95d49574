// One X screen of 3840 x 1080 divided into two monitors, the right one primary, and Qt scaling the
// program by 2 and by 1.5: where the main window and a message open, and rectangles dragged over a
// picture that differs at every pixel, read back from the clipboard.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>
#include <cmath>

#include "tests/scenarios/ScenarioSupport.h"
#include "tests/support/CaptureDesktopSupport.h"
#include "tests/support/DesktopSupport.h"
#include "tests/support/EnvironmentOverride.h"
#include "tests/support/SamePixels.h"
#include "tests/support/WaitUntil.h"

using namespace desktop;
using namespace scenario;
using capture_desktop::clipboardPng;
using capture_desktop::independentScreenshot;
using capture_desktop::ProbeWindow;
using varnoset::test::EnvironmentOverride;
using varnoset::test::samePixels;
using varnoset::test::waitUntil;

namespace {

int storedNumber(const PrivateConfigHome& config, const QString& name) {
    const auto options = storedOptions(storeFile(config));
    return options ? static_cast<int>(options->value(name).mid(6).toUInt(nullptr, 16)) : -1;
}

// Replaces stored integers in the options file, as an edit by hand does.
void storeNumbers(const PrivateConfigHome& config, const QMap<QString, int>& values) {
    QFile file(storeFile(config));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(file.readAll());
    file.close();
    for (auto it = values.begin(); it != values.end(); ++it) {
        const QRegularExpression line('"' + it.key() + QStringLiteral("\"=dword:[0-9a-f]{8}"));
        ASSERT_TRUE(text.contains(line)) << it.key().toStdString();
        text.replace(line, '"' + it.key() + "\"=" + dword(static_cast<std::uint32_t>(it.value())));
    }
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

int roundHalfEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}

struct Opened {
    QRect frame;
    QRect client;
};

// Opens the main window from the tray, notes where it is, and hides it again.
std::optional<Opened> openMainWindow(Varnoset& app) {
    app.chooseFromTrayMenu(3);  // "Open"
    const auto window = app.waitForMainWindow();
    if (!window) {
        return std::nullopt;
    }
    QThread::msleep(300);
    const Opened opened{frameGeometry(*window), windowGeometry(*window)};
    key(QStringLiteral("Escape"));
    app.waitForMainWindowHidden();
    return opened;
}

// Whether the shot holds the block pixel for pixel somewhere.
bool showsOneToOne(const QImage& shot, const QImage& block) {
    const QImage s = shot.convertToFormat(QImage::Format_RGB32);
    const QImage b = block.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y + b.height() <= s.height(); ++y) {
        for (int x = 0; x + b.width() <= s.width(); ++x) {
            if (s.pixel(x, y) == b.pixel(0, 0) &&
                samePixels(s.copy(x, y, b.width(), b.height()), b)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

TEST(ScenarioScreens, TheWindowOpensOnThePrimaryMonitorAndComesBackFromOffEveryMonitor) {
    PrivateConfigHome config;
    std::optional<Opened> first;
    {
        Varnoset app;
        app.start();
        ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();
        first = openMainWindow(app);
        ASSERT_TRUE(first.has_value());
        app.terminate();
        ASSERT_EQ(app.waitForExit(), std::optional<int>(0));
    }
    // Centred on the right monitor (before the first show the window manager's frame is not
    // known, so by the client size), where the store says.
    const QPoint stored(storedNumber(config, "WinPosLeft"), storedNumber(config, "WinPosTop"));
    EXPECT_EQ(first->frame.topLeft(), stored);
    EXPECT_EQ(stored.x(), 1920 + roundHalfEven((1920 - first->client.width()) * 0.5));
    EXPECT_EQ(stored.y(), roundHalfEven((1080 - first->client.height()) * 0.5));

    // A position off every monitor opens on the primary one; the store keeps it until closing.
    storeNumbers(config, {{"WinPosLeft", -5000}, {"WinPosTop", 3000}});
    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();
    const auto opened = openMainWindow(app);
    ASSERT_TRUE(opened.has_value());
    EXPECT_EQ(opened->frame.topLeft(), stored);
    EXPECT_EQ(storedNumber(config, "WinPosLeft"), -5000);
    EXPECT_EQ(storedNumber(config, "WinPosTop"), 3000);
    app.terminate();
    ASSERT_EQ(app.waitForExit(), std::optional<int>(0));
    EXPECT_EQ(storedNumber(config, "WinPosLeft"), stored.x());
    EXPECT_EQ(storedNumber(config, "WinPosTop"), stored.y());
}

TEST(ScenarioScreens, ARectangleAtEachScaleIsExactlyTheScreenAreaDragged) {
    // Across the seam between the monitors.
    const QRect area(1500, 100, 900, 700);
    ProbeWindow pattern(area);
    pattern.showAndWait();
    const QImage screen = independentScreenshot();

    PrivateConfigHome config;
    {
        Varnoset app;
        app.start();
        ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();
        app.terminate();
        ASSERT_EQ(app.waitForExit(), std::optional<int>(0));
    }
    storeNumbers(config, {{"HotKeyFunction", 2}});
    // An even corner, which whole logical units reach at every scale here.
    const QPoint placed(2400, 120);
    storeNumbers(config, {{"WinPosLeft", placed.x()}, {"WinPosTop", placed.y()}});

    struct Case {
        const char* scale;  // QT_SCALE_FACTOR, or the X resource Xft.dpi when it ends in "dpi"
        QPoint from;
        QPoint to;
    };
    // Odd pixels too, which no whole logical position reaches at these scales.
    for (const Case& c :
         {Case{"2", {1601, 201}, {2101, 552}}, Case{"1.5", {2300, 700}, {1700, 301}},
          Case{"1.5", {1801, 401}, {1817, 417}}, Case{"192dpi", {1901, 301}, {1999, 399}}}) {
        SCOPED_TRACE(c.scale);
        const QByteArray scaleText(c.scale);
        const bool byDpi = scaleText.endsWith("dpi");
        const EnvironmentOverride scale("QT_SCALE_FACTOR", byDpi ? QByteArray("1") : scaleText);
        if (byDpi) {
            sh(QStringLiteral("echo 'Xft.dpi: %1' | xrdb -merge").arg(scaleText.chopped(3)));
        }
        Varnoset app;
        app.start();
        ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();
        key(QStringLiteral("Print"));
        ASSERT_TRUE(waitForOverlay()) << app.output().toStdString();
        // The overlay shows the screen as it was, one to one, whatever happens beneath.
        pattern.setColour(Qt::red);
        waitUntil([] { return false; }, 300);
        EXPECT_TRUE(samePixels(independentScreenshot().copy(area), screen.copy(area)));
        pattern.setColour(QColor());
        waitUntil([] { return false; }, 300);
        dragRectangle(c.from, c.to);
        const auto window = app.waitForMainWindow();
        ASSERT_TRUE(window.has_value()) << app.output().toStdString();
        // Where the store puts it, on the primary monitor, and scaled (437 pixels wide unscaled).
        EXPECT_EQ(frameGeometry(*window).topLeft(), placed);
        const double factor = byDpi ? scaleText.chopped(3).toDouble() / 96 : scaleText.toDouble();
        EXPECT_GE(windowGeometry(*window).width(), qRound(437 * factor));
        // The right and bottom edges are exclusive.
        const QRect dragged(
            QPoint(std::min(c.from.x(), c.to.x()), std::min(c.from.y(), c.to.y())),
            QPoint(std::max(c.from.x(), c.to.x()) - 1, std::max(c.from.y(), c.to.y()) - 1));
        const QImage taken = clipboardPng();
        EXPECT_EQ(taken.size(), dragged.size());
        EXPECT_TRUE(samePixels(taken, screen.copy(dragged)));
        // The preview's natural size shows the picture's pixels one to one on the screen.
        QThread::msleep(500);
        EXPECT_TRUE(showsOneToOne(screenArea(windowGeometry(*window)), taken.copy(0, 0, 16, 16)));
        key(QStringLiteral("Escape"));
        app.waitForMainWindowHidden();
        app.terminate();
        ASSERT_EQ(app.waitForExit(), std::optional<int>(0));
        if (byDpi) {
            sh(QStringLiteral("xrdb -remove"));
        }
    }
}

TEST(ScenarioScreens, AMessageWithoutAWindowOfItsOwnShowsOnTheMainWindowsMonitor) {
    PrivateConfigHome config;
    QFile file(storeFile(config));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Kestrane\\NewVarnoset\\v3.00\\Setup]\n"
        "\"Monochrom\"=dwo");
    file.close();
    // The pointer on the other monitor than the main window's.
    run("xdotool", {"mousemove", "500", "500"});
    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();
    const auto box = waitForMessageBox();
    ASSERT_TRUE(box.has_value());
    const QRect boxFrame = frameGeometry(*box);
    key(QStringLiteral("Return"));
    const auto opened = openMainWindow(app);
    ASSERT_TRUE(opened.has_value());
    // A store that breaks off before the position leaves the window centred on the primary
    // monitor, and the box shows in the middle of that monitor.
    const QRect primary(1920, 0, 1920, 1080);
    EXPECT_TRUE(primary.contains(opened->frame.topLeft()));
    EXPECT_NEAR(boxFrame.center().x(), primary.center().x(), 2);
    EXPECT_NEAR(boxFrame.center().y(), primary.center().y(), 40);  // less the panel, if any
    app.terminate();
    ASSERT_EQ(app.waitForExit(), std::optional<int>(0));
}
