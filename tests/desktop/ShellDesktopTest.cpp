#include <gtest/gtest.h>

#include <QThread>
#include <algorithm>

#include "tests/support/DesktopSupport.h"
#include "tests/support/WaitUntil.h"

using namespace desktop;
using varnoset::test::waitUntil;

namespace {

bool listedAsClient(WindowId id) {
    const auto clients = clientList();
    return std::find(clients.begin(), clients.end(), id) != clients.end();
}

// Opens the main window through the tray menu's "Open".
std::optional<WindowId> openMainWindow(Varnoset& app) {
    app.chooseFromTrayMenu(3);
    std::optional<WindowId> window;
    waitUntil([&] { return (window = app.mainWindow()).has_value(); }, 8000);
    return window;
}

// Opens a menu of the main window's menu bar (0 = File, 1 = Options) and takes an entry
// (separators not counted).
void chooseFromMainMenu(WindowId window, int menu, int entry) {
    const QRect g = windowGeometry(window);
    const int titleX[] = {18, 62};
    clickAt(g.topLeft() + QPoint(titleX[menu], 10));
    QThread::msleep(300);
    QStringList keys;
    for (int i = 0; i < entry; ++i) {
        keys << "Down";
    }
    keys << "Return";
    run("xdotool", QStringList{"key"} + keys);
}

}  // namespace

TEST(ShellDesktop, StartsHiddenWithOneTrayIconAndRefusesASecondCopy) {
    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();
    QThread::msleep(300);
    EXPECT_FALSE(app.mainWindow().has_value());
    EXPECT_EQ(trayIcons().size(), 1u);

    Varnoset second;
    second.start();
    EXPECT_EQ(second.waitForExit(10000), std::optional<int>(0));
    QThread::msleep(300);
    EXPECT_EQ(trayIcons().size(), 1u);
    EXPECT_TRUE(app.isRunning());

    app.terminate();  // a polite end from outside exits with status 0
    EXPECT_EQ(app.waitForExit(), std::optional<int>(0));
    EXPECT_TRUE(waitUntil([] { return trayIcons().empty(); }, 5000));
}

TEST(ShellDesktop, ARealClickOnTheIconOpensTheMenuAtThePointer) {
    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon());
    const QRect icon = windowGeometry(trayIcons().front());
    const QPoint pointer = icon.center();
    for (int button : {1, 3}) {
        clickAt(pointer, button);
        std::optional<WindowId> menu;
        ASSERT_TRUE(waitUntil([&] { return (menu = trayMenu()).has_value(); }, 5000))
            << "button " << button;
        // The menu opens at the pointer; in the screen's corner it is moved just enough to fit
        // above the tray's panel (32 pixels high).
        const QRect g = windowGeometry(*menu);
        const int dx = std::max({0, g.left() - pointer.x(), pointer.x() - g.right()});
        const int dy = std::max({0, g.top() - pointer.y(), pointer.y() - g.bottom()});
        EXPECT_LE(std::max(dx, dy), 40) << "button " << button;
        EXPECT_EQ(dx, 0) << "button " << button;
        key("Escape");  // and it closes again
        EXPECT_TRUE(waitUntil([] { return !trayMenu().has_value(); }, 3000)) << "button " << button;
    }
}

TEST(ShellDesktop, EscMinimiseAndTheMenuHideTheWindowWithoutTaskbarEntry) {
    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon());

    auto window = openMainWindow(app);
    ASSERT_TRUE(window.has_value());
    EXPECT_TRUE(waitUntil([&] { return listedAsClient(*window); }, 3000));
    key("Escape");
    EXPECT_TRUE(waitUntil([&] { return !app.mainWindow().has_value(); }, 5000));
    EXPECT_TRUE(waitUntil([&] { return !listedAsClient(*window); }, 3000));

    window = openMainWindow(app);
    ASSERT_TRUE(window.has_value());
    run("xdotool", {"windowminimize", QString::number(*window)});  // the title bar's button
    EXPECT_TRUE(waitUntil([&] { return !app.mainWindow().has_value(); }, 5000));
    EXPECT_TRUE(waitUntil([&] { return !listedAsClient(*window); }, 3000));

    window = openMainWindow(app);
    ASSERT_TRUE(window.has_value());
    chooseFromMainMenu(*window, 0, 2);  // File, "Minimize"
    EXPECT_TRUE(waitUntil([&] { return !app.mainWindow().has_value(); }, 5000));
    EXPECT_TRUE(waitUntil([&] { return !listedAsClient(*window); }, 3000));
    EXPECT_TRUE(app.isRunning());
}

TEST(ShellDesktop, CloseAsksAndNoKeepsTheProgram) {
    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon());

    app.chooseFromTrayMenu(4);  // "Close && Exit"
    ASSERT_TRUE(waitUntil([] { return !visibleWindows("^Confirm$").empty(); }, 5000));
    key("alt+n");
    EXPECT_TRUE(waitUntil([] { return visibleWindows("^Confirm$").empty(); }, 5000));
    QThread::msleep(300);
    EXPECT_TRUE(app.isRunning());
    EXPECT_EQ(trayIcons().size(), 1u);

    app.chooseFromTrayMenu(4);
    ASSERT_TRUE(waitUntil([] { return !visibleWindows("^Confirm$").empty(); }, 5000));
    key("alt+y");
    EXPECT_EQ(app.waitForExit(), std::optional<int>(0));
    EXPECT_TRUE(waitUntil([] { return trayIcons().empty(); }, 5000));
}

TEST(ShellDesktop, EnlargingTwiceGivesBackTheSizeAndKeepsTheCorner) {
    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon());
    auto window = openMainWindow(app);
    ASSERT_TRUE(window.has_value());
    QThread::msleep(300);
    const QRect before = windowGeometry(*window);

    chooseFromMainMenu(*window, 1, 7);  // Options, "Increase the Size of the Dialog Form"
    QRect larger;
    ASSERT_TRUE(waitUntil(
        [&] {
            larger = windowGeometry(*window);
            return larger.width() > before.width();
        },
        5000));
    // The design's 437 pixels at 128/100, and wider where a caption needs more room.
    EXPECT_GE(larger.width(), 559);
    EXPECT_EQ(larger.topLeft(), before.topLeft());

    chooseFromMainMenu(*window, 1, 7);
    QRect after;
    ASSERT_TRUE(waitUntil(
        [&] {
            after = windowGeometry(*window);
            return after.width() < larger.width();
        },
        5000));
    EXPECT_NEAR(after.width(), before.width(), 1);
    EXPECT_NEAR(after.height(), before.height(), 1);
    EXPECT_EQ(after.topLeft(), before.topLeft());
}

TEST(ShellDesktop, AKilledCopyDoesNotStopTheNextStart) {
    {
        Varnoset crashed;
        crashed.start();
        ASSERT_TRUE(crashed.waitForTrayIcon());
        crashed.kill();
        crashed.waitForExit();
    }
    ASSERT_TRUE(waitUntil([] { return trayIcons().empty(); }, 5000));
    Varnoset next;
    next.start();
    EXPECT_TRUE(next.waitForTrayIcon());
    EXPECT_TRUE(next.isRunning());
}
