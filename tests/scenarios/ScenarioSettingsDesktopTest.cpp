// Options set through the main window's controls and menus, stored with "Save Options", the
// program ended with "Close && Exit" and started again: the second run behaves as the first was
// left (its key, capture mode, print options and copies), shows its window where the window
// manager had moved it and keeps the picture folders.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QThread>

#include "tests/scenarios/ScenarioSupport.h"
#include "tests/support/CaptureDesktopSupport.h"
#include "tests/support/CupsQueue.h"
#include "tests/support/DesktopSupport.h"
#include "tests/support/WaitUntil.h"

using namespace desktop;
using namespace scenario;
using capture_desktop::clipboardPng;
using capture_desktop::ManagedWindow;
using varnoset::test::CupsQueue;
using varnoset::test::waitUntil;

namespace {

// Controls of the main window, at their middles (the layout's coordinates).
const QPoint kInvertColors(304 + 8, 64 + 8);
const QPoint kAddAFrame(304 + 8, 112 + 8);
const QPoint kGreen(348 + 8, 168 + 8);
const QPoint kBrightnessRightArrow(308 + 109 - 5, 200 + 8);
const QPoint kContrastLeftArrow(308 + 5, 232 + 8);
const QPoint kPrinterList(8 + 90, 308 + 10);
const QPoint kCopiesList(156 + 18, 336 + 10);
const QPoint kPortrait(204 + 8, 312 + 8);
const QPoint kPrintDateTime(204 + 8, 360 + 8);
// Well inside their captions: the panel moves right when the captions beside it need more room.
const QPoint kCentered(308 + 4 + 30, 288 + 3 + 8);
const QPoint kHalfSize(308 + 4 + 30, 288 + 52 + 8);

int programWindows() {
    return static_cast<int>(run("xdotool", {"search", "--onlyvisible", "--class", "varnoset"})
                                .out.split('\n', Qt::SkipEmptyParts)
                                .size());
}

// Opens a drop-down list with a click and takes an entry with the keys given.
void chooseInList(WindowId window, QPoint list, const QStringList& keys) {
    const int before = programWindows();
    clickInClient(window, list);
    waitUntil([&] { return programWindows() > before; }, 5000);
    QThread::msleep(200);
    run("xdotool", QStringList{"key"} + keys + QStringList{"Return"});
    waitUntil([&] { return programWindows() <= before; }, 5000);
}

void clickTimes(WindowId window, QPoint at, int times) {
    for (int i = 0; i < times; ++i) {
        clickInClient(window, at);
        QThread::msleep(400);
    }
}

// "Save Options" from the Options menu, and its message answered.
bool saveOptions(WindowId window) {
    chooseFromMenuBar(window, 1, {11});  // after "Save Every Capture..."
    return acceptMessageBox();
}

// "Close && Exit" from the File menu, the question answered with the button's key (alt+y or
// alt+n).
bool chooseCloseAndExit(WindowId window, const QString& answer) {
    chooseFromMenuBar(window, 0, {1});
    const auto confirm = waitForWindow(QStringLiteral("^Confirm$"));
    if (!confirm) {
        return false;
    }
    run("xdotool", {"windowactivate", "--sync", QString::number(*confirm)});
    key(answer);
    return waitUntil([] { return visibleWindows(QStringLiteral("^Confirm$")).empty(); });
}

bool closeAndExit(Varnoset& app, WindowId window) {
    return chooseCloseAndExit(window, QStringLiteral("alt+y")) &&
           app.waitForExit(20000) == std::optional<int>(0);
}

bool chooseFile(WindowId window, const QString& shortcut, const QString& title,
                const QString& path) {
    run("xdotool", {"windowactivate", "--sync", QString::number(window)});
    key(shortcut);
    if (!waitForWindow(title)) {
        return false;
    }
    QThread::msleep(300);
    typeText(path);
    key(QStringLiteral("Return"));
    return waitUntil([&] { return visibleWindows(title).empty(); });
}

}  // namespace

TEST(ScenarioSettings, OptionsSavedClosedAndStartedAgainAreAsTheyWereLeft) {
    PrivateConfigHome config;
    QTemporaryDir saveFolder;
    QTemporaryDir loadFolder;
    ASSERT_TRUE(saveFolder.isValid() && loadFolder.isValid());
    QImage small(40, 30, QImage::Format_RGB32);
    small.fill(QColor(0x33, 0x66, 0x99));
    ASSERT_TRUE(small.save(loadFolder.filePath(QStringLiteral("in.bmp")), "BMP"));
    ASSERT_EQ(run("xsetroot", {"-solid", "#605040"}).exitCode, 0);

    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();
    run("xdotool", {"key", "Print"});
    auto window = app.waitForMainWindow();
    ASSERT_TRUE(window.has_value()) << app.output().toStdString();

    // Check boxes, the two radio groups, the two bars and the two lists.
    for (const QPoint at :
         {kInvertColors, kAddAFrame, kGreen, kCentered, kHalfSize, kPortrait, kPrintDateTime}) {
        clickTimes(*window, at, 1);
    }
    clickTimes(*window, kBrightnessRightArrow, 3);  // 3 steps of 4
    clickTimes(*window, kContrastLeftArrow, 2);
    chooseInList(*window, kPrinterList, {"Up"});           // "FILE" above "Default Printer"
    chooseInList(*window, kCopiesList, {"Down", "Down"});  // "3"
    // The menus: key F8, the active-window mode, a frame of 3 dots, the footer text, the client
    // area on, the sound off, and last the larger form (it moves every control).
    chooseFromMenuBar(*window, 1, {1, 9});
    QThread::msleep(300);
    chooseFromMenuBar(*window, 1, {2, 2});
    QThread::msleep(300);
    chooseFromMenuBar(*window, 1, {4, 3});
    QThread::msleep(300);
    chooseFromMenuBar(*window, 1, {3});
    ASSERT_TRUE(waitForWindow(QStringLiteral("^Page footer Text$")).has_value());
    key(QStringLiteral("ctrl+a"));
    typeText(QStringLiteral("Kept between runs"));
    key(QStringLiteral("Return"));
    ASSERT_TRUE(waitUntil([] { return visibleWindows("^Page footer Text$").empty(); }));
    chooseFromMenuBar(*window, 1, {5});
    QThread::msleep(300);
    chooseFromMenuBar(*window, 1, {8});
    QThread::msleep(300);
    const QSize designSize = windowGeometry(*window).size();
    chooseFromMenuBar(*window, 1, {7});
    ASSERT_TRUE(waitUntil([&] { return windowGeometry(*window).width() > designSize.width(); }));
    ASSERT_TRUE(saveOptions(*window));

    const auto saved = storedOptions(storeFile(config));
    ASSERT_TRUE(saved.has_value());
    const QMap<QString, QString> expected = {
        {"Monochrom", dword(0)},
        {"Inversed", dword(1)},
        {"Mirrored", dword(0)},
        {"Centered", dword(0)},
        {"Proportion", dword(1)},
        {"Stretched", dword(0)},
        {"NormalSize", dword(0)},
        {"HalfSize", dword(1)},
        {"Frame", dword(1)},
        {"SwapBW", dword(0)},
        {"FooterText", dword(0)},
        {"FooterTime", dword(1)},
        {"FooterUser", dword(0)},
        {"Landscape", dword(0)},
        {"Portrait", dword(1)},
        {"Direct", dword(0)},
        {"PlaySound", dword(0)},
        {"Client", dword(1)},
        {"Confirm", dword(0)},
        {"Red", dword(1)},
        {"Green", dword(0)},
        {"Blue", dword(1)},
        {"Resize", dword(1)},
        {"Contrast", dword(12)},                                // the brightness bar
        {"Brightness", dword(static_cast<std::uint32_t>(-8))},  // the contrast bar
        {"FrameSize", dword(3)},
        {"Hotkey", dword(0x77)},  // F8
        {"HotKeyFunction", dword(1)},
        {"Color1", dword(0)},
        {"Color2", dword(0xFFFFFF)},
        {"DefPrinter", "\"FILE\""},
        {"FooterString", "\"Kept between runs\""},
        {"Copies", dword(2)},
    };
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        EXPECT_EQ(saved->value(it.key()), it.value()) << it.key().toStdString();
    }

    // A picture saved into one folder and one loaded from another; the window moved by the
    // window manager.
    ASSERT_TRUE(chooseFile(*window, QStringLiteral("ctrl+s"), QStringLiteral("^Save Picture As"),
                           saveFolder.filePath(QStringLiteral("kept.bmp"))));
    ASSERT_TRUE(acceptMessageBox());
    ASSERT_TRUE(chooseFile(*window, QStringLiteral("ctrl+l"), QStringLiteral("^Load Picture$"),
                           loadFolder.filePath(QStringLiteral("in.bmp"))));
    ASSERT_TRUE(waitUntil([] { return clipboardPng().size() == QSize(40, 30); }));
    const QPoint before = frameGeometry(*window).topLeft();
    run("xdotool", {"windowmove", QString::number(*window), "180", "140"});
    QPoint moved;
    ASSERT_TRUE(waitUntil([&] { return (moved = frameGeometry(*window).topLeft()) != before; }));
    QThread::msleep(300);
    moved = frameGeometry(*window).topLeft();

    // "No" keeps the program running with its window; "Yes" ends it.
    ASSERT_TRUE(chooseCloseAndExit(*window, QStringLiteral("alt+n")));
    EXPECT_FALSE(app.waitForExit(1000).has_value());
    EXPECT_EQ(app.mainWindow(), window);
    ASSERT_TRUE(closeAndExit(app, *window)) << app.output().toStdString();
    const auto closed = storedOptions(storeFile(config));
    ASSERT_TRUE(closed.has_value());
    // Stored as the registry keeps a signed number: its two's complement bits.
    EXPECT_EQ(closed->value("WinPosLeft"), dword(static_cast<std::uint32_t>(moved.x())));
    EXPECT_EQ(closed->value("WinPosTop"), dword(static_cast<std::uint32_t>(moved.y())));
    EXPECT_EQ(closed->value("SaveFolder"), '"' + QDir(saveFolder.path()).absolutePath() + "/\"");
    EXPECT_EQ(closed->value("LoadFolder"), '"' + QDir(loadFolder.path()).absolutePath() + "/\"");
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        EXPECT_EQ(closed->value(it.key()), it.value()) << it.key().toStdString();
    }

    // The second run: F8 shows in the tooltip and alone takes the active window's client area.
    Varnoset again;
    again.start();
    ASSERT_TRUE(again.waitForTrayIcon()) << again.output().toStdString();
    const QString tip = again.readTrayToolTip().simplified();
    EXPECT_TRUE(tip.contains(QStringLiteral("Press F8"))) << tip.toStdString();
    ManagedWindow probe(QStringLiteral("400x300+100+200"));
    ASSERT_NE(probe.id(), 0u);
    probe.activate();
    run("xdotool", {"key", "F8"});
    window = again.waitForMainWindow();
    ASSERT_TRUE(window.has_value()) << again.output().toStdString();
    EXPECT_EQ(clipboardPng().size(), QSize(400, 300));
    // Where it was moved to, and larger than the design.
    QThread::msleep(300);
    EXPECT_EQ(frameGeometry(*window).topLeft(), moved);
    EXPECT_GT(windowGeometry(*window).width(), designSize.width());

    // What the second run's controls hold, stored again, is what the first run left.
    ASSERT_TRUE(saveOptions(*window));
    const auto resaved = storedOptions(storeFile(config));
    ASSERT_TRUE(resaved.has_value());
    EXPECT_EQ(*resaved, *closed);

    // Return prints (Print is the window's default button): three copies, each a job of its own,
    // on portrait pages with the date line alone under the picture; the window hides.
    run("xdotool", {"windowactivate", "--sync", QString::number(*window)});
    const int jobs = CupsQueue::completedJobs();
    key(QStringLiteral("Return"));
    EXPECT_TRUE(waitUntil(
        [&] {
            return CupsQueue::completedJobs() >= jobs + 3 &&
                   run("lpstat", {"-o", "FILE"}).out.trimmed().isEmpty();
        },
        180000))
        << again.output().toStdString();
    EXPECT_EQ(CupsQueue::completedJobs(), jobs + 3);
    EXPECT_TRUE(again.waitForMainWindowHidden());
    const QString footer = printedText();
    EXPECT_TRUE(squeezed(footer).contains(QStringLiteral("Datetime"))) << footer.toStdString();
    EXPECT_FALSE(squeezed(footer).contains(QStringLiteral("Computername"))) << footer.toStdString();
    EXPECT_FALSE(squeezed(footer).contains(QStringLiteral("Note"))) << footer.toStdString();

    // Closed from the tray menu this time.
    again.chooseFromTrayMenu(4);  // "Close && Exit"
    const auto confirm = waitForWindow(QStringLiteral("^Confirm$"));
    ASSERT_TRUE(confirm.has_value());
    run("xdotool", {"windowactivate", "--sync", QString::number(*confirm)});
    key(QStringLiteral("alt+y"));
    EXPECT_EQ(again.waitForExit(20000), std::optional<int>(0));
    const auto end = storedOptions(storeFile(config));
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(*end, *closed);
}
