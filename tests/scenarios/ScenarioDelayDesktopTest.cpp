// A capture after a delay, from the command line and from the tray: the command returns at once,
// the tooltip counts down, the capture shows what the screen holds when the time is up, and a
// click on the icon offers to cancel it.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include "tests/scenarios/ScenarioSupport.h"
#include "tests/support/CaptureDesktopSupport.h"
#include "tests/support/DesktopSupport.h"
#include "tests/support/WaitUntil.h"

using namespace desktop;
using capture_desktop::clipboardPng;
using capture_desktop::ProbeWindow;
using varnoset::test::waitUntil;

TEST(ScenarioDelay, ADelayedCaptureTakesTheScreenWhenItsTimeIsUpAndCanBeCancelled) {
    PrivateConfigHome config;
    ASSERT_EQ(run("xsetroot", {"-solid", "#305070"}).exitCode, 0);
    const QString program = Varnoset::binary();
    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();

    // The command returns before the capture; what opens meanwhile is in the picture.
    run("xclip", {"-selection", "clipboard", "/dev/null"});
    ASSERT_EQ(run(program, {"--delay", "12", "--capture", "desktop"}).exitCode, 0);
    EXPECT_FALSE(app.mainWindow().has_value());
    const QString tip = squeezed(app.readTrayToolTip());
    EXPECT_TRUE(tip.contains(QStringLiteral("Capturein"))) << tip.toStdString();
    ProbeWindow opened(QRect(300, 200, 100, 100), Qt::red);
    opened.showAndWait();
    ASSERT_TRUE(app.waitForMainWindow(30000).has_value()) << app.output().toStdString();
    EXPECT_EQ(QColor(clipboardPng().pixel(350, 250)), QColor(Qt::red));
    key(QStringLiteral("Escape"));
    ASSERT_TRUE(app.waitForMainWindowHidden());

    // The tray's delayed capture, cancelled from the menu a click on the icon brings up.
    app.chooseFromTrayMenu(2);  // "Capture the Desktop in 5 Seconds"
    ASSERT_TRUE(waitUntil([] { return !trayMenu().has_value(); }));
    app.chooseFromTrayMenu(1);  // "Cancel the Delayed Capture", first while one waits
    waitUntil([] { return false; }, 7000);
    EXPECT_FALSE(app.mainWindow().has_value());

    // A second delayed command replaces the waiting one.
    ASSERT_EQ(run(program, {"--delay", "4", "--open"}).exitCode, 0);
    ASSERT_EQ(run(program, {"--delay", "1", "--capture", "desktop"}).exitCode, 0);
    ASSERT_TRUE(app.waitForMainWindow().has_value()) << app.output().toStdString();
    key(QStringLiteral("Escape"));
    ASSERT_TRUE(app.waitForMainWindowHidden());
    waitUntil([] { return false; }, 6000);
    EXPECT_FALSE(app.mainWindow().has_value());

    app.terminate();
    app.waitForExit();
}
