// A capture after a delay: the command returns at once, the tooltip counts down, the picture is
// the screen when the time is up, a click on the icon offers to cancel, a new delay replaces one.
#include <gtest/gtest.h>

#include "tests/support/CaptureDesktopSupport.h"
#include "tests/support/DesktopSupport.h"
#include "tests/support/WaitUntil.h"

using namespace desktop;
using namespace capture_desktop;
using varnoset::test::waitUntil;

TEST(ScenarioDelay, ADelayedCaptureTakesTheScreenWhenItsTimeIsUpAndCanBeCancelled) {
    PrivateConfigHome config;
    const QString program = Varnoset::binary();
    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();
    const auto hideWindow = [&app] {
        key(QStringLiteral("Escape"));
        return app.waitForMainWindowHidden();
    };

    ASSERT_EQ(run(program, {"--delay", "12", "--capture", "desktop"}).exitCode, 0);
    EXPECT_FALSE(app.mainWindow().has_value());
    EXPECT_TRUE(squeezed(app.readTrayToolTip()).contains(QStringLiteral("Capturein")));
    ProbeWindow opened(QRect(300, 200, 100, 100), Qt::red);  // after the command
    opened.showAndWait();
    ASSERT_TRUE(app.waitForMainWindow(30000).has_value()) << app.output().toStdString();
    EXPECT_EQ(QColor(clipboardPng().pixel(350, 250)), QColor(Qt::red));
    ASSERT_TRUE(hideWindow());

    app.chooseFromTrayMenu(2);  // "Capture the Desktop in 5 Seconds"
    ASSERT_TRUE(app.waitForMainWindow(30000).has_value()) << app.output().toStdString();
    ASSERT_TRUE(hideWindow());

    // While one waits, the menu's first entry cancels it: the countdown ends, nothing comes.
    ASSERT_EQ(run(program, {"--delay", "30", "--open"}).exitCode, 0);
    app.chooseFromTrayMenu(1);  // "Cancel the Delayed Capture"
    EXPECT_TRUE(waitUntil(
        [&app] { return !squeezed(app.readTrayToolTip()).contains(QStringLiteral("Capturein")); }));
    waitUntil([] { return false; }, 3000);
    EXPECT_FALSE(app.mainWindow().has_value());

    ASSERT_EQ(run(program, {"--delay", "4", "--open"}).exitCode, 0);
    ASSERT_EQ(run(program, {"--delay", "1", "--capture", "desktop"}).exitCode, 0);
    ASSERT_TRUE(app.waitForMainWindow().has_value()) << app.output().toStdString();
    ASSERT_TRUE(hideWindow());
    waitUntil([] { return false; }, 6000);  // the replaced one never comes
    EXPECT_FALSE(app.mainWindow().has_value());
    app.terminate();
    app.waitForExit();
}
