// Xfce holds Print and Alt+Print for its own screenshot tool. Bound in Xfce's keyboard settings to
// Varnoset's key commands, as the README tells, the keys do what Varnoset's own key would, and the
// program stops warning that the key is taken.
#include <gtest/gtest.h>

#include "tests/support/CaptureDesktopSupport.h"
#include "tests/support/DesktopSupport.h"
#include "tests/support/SamePixels.h"
#include "tests/support/WaitUntil.h"

using namespace desktop;
using namespace capture_desktop;
using varnoset::test::samePixels;
using varnoset::test::waitUntil;

TEST(ScenarioXfce, KeysBoundByXfceToTheHotkeyCommandsDoWhatTheKeyDoesWithoutAWarning) {
    PrivateConfigHome config;
    const QString program = Varnoset::binary();
    const auto bind = [](const QString& key, const QString& command) {
        return run("xfconf-query", {"-c", "xfce4-keyboard-shortcuts", "-p",
                                    "/commands/custom/" + key, "-s", command})
            .exitCode;
    };
    ASSERT_EQ(bind("Print", program + " --hotkey"), 0);
    ASSERT_EQ(bind("<Alt>Print", program + " --hotkey alt"), 0);
    Varnoset app;
    app.start();
    // Once its item is in the panel it runs; a command sent earlier would start a copy itself.
    ASSERT_TRUE(waitUntil([] { return trayItems().contains("StatusNotifierItem"); }))
        << app.output().toStdString();
    // "Get only Client Area of Window", from the window that --open brings up.
    ASSERT_EQ(run(program, {"--open"}).exitCode, 0);
    const std::optional<WindowId> window = app.waitForMainWindow();
    ASSERT_TRUE(window.has_value()) << app.output().toStdString();
    chooseFromMenuBar(*window, 1, {5});
    key(QStringLiteral("Escape"));
    ASSERT_TRUE(app.waitForMainWindowHidden());

    // Alt+Print on a window framed by xfwm4: its client area, without the frame; Print alone:
    // the desktop, as in the first mode.
    ManagedWindow framed(QStringLiteral("320x200+500+300"));
    framed.activate();
    const QImage shown = independentScreenshot().copy(windowGeometry(framed.id()));
    for (const char* keys : {"alt+Print", "Print"}) {
        key(QString::fromLatin1(keys));
        ASSERT_TRUE(app.waitForMainWindow().has_value()) << keys << app.output().toStdString();
        const QImage picture = clipboardPng();
        EXPECT_TRUE(keys[0] == 'a' ? samePixels(picture, shown)
                                   : picture.size() == QSize(1920, 1080))
            << keys;
        key(QStringLiteral("Escape"));
        ASSERT_TRUE(app.waitForMainWindowHidden());
    }

    // Both forms come through the desktop: the tooltip says so, without the warning (it shows a
    // notification's text while one is up).
    const QString item = trayItems().section('\'', 1, 1);
    QString tip;
    EXPECT_TRUE(waitUntil(
        [&] {
            return (tip = trayItemProperty(item, "ToolTip"))
                .contains("PrintScreen through the desktop");
        },
        30000))
        << tip.toStdString();
    EXPECT_FALSE(tip.contains("used by another program")) << tip.toStdString();

    // Bound to something else again, the key brings no command: the warning is back.
    ASSERT_EQ(bind("Print", "true"), 0);
    key(QStringLiteral("Print"));
    EXPECT_TRUE(waitUntil(
        [&] {
            return (tip = trayItemProperty(item, "ToolTip"))
                .contains("PrintScreen used by another program");
        },
        30000))
        << tip.toStdString();
    app.terminate();
    app.waitForExit();
}
