// Xfce holds Print and Alt+Print for its own screenshot tool. Bound in Xfce's keyboard settings to
// Varnoset's key commands, as the README tells, the keys do what Varnoset's own key would, and the
// program stops warning that the key is taken.
#include <gtest/gtest.h>

#include <QImage>

#include "tests/scenarios/ScenarioSupport.h"
#include "tests/support/CaptureDesktopSupport.h"
#include "tests/support/DesktopSupport.h"
#include "tests/support/SamePixels.h"
#include "tests/support/WaitUntil.h"

using namespace desktop;
using capture_desktop::clipboardPng;
using capture_desktop::independentScreenshot;
using capture_desktop::ManagedWindow;
using varnoset::test::samePixels;
using varnoset::test::waitUntil;

namespace {

// The program's item in the panel's tray, once it is registered (and the one given has gone).
QString trayItem(const QString& gone = {}) {
    QString item;
    waitUntil(
        [&] {
            item = trayItems().section('\'', 1, 1);
            return !item.isEmpty() && item != gone;
        },
        30000);
    return item;
}

void bindInXfce(const QString& key, const QString& command) {
    ASSERT_EQ(run("xfconf-query", {"-c", "xfce4-keyboard-shortcuts", "-p",
                                   "/commands/custom/" + key, "-s", command})
                  .exitCode,
              0);
}

}  // namespace

TEST(ScenarioXfce, KeysBoundByXfceToTheHotkeyCommandsDoWhatTheKeyDoesWithoutAWarning) {
    ASSERT_EQ(qEnvironmentVariable("XDG_CURRENT_DESKTOP"), "XFCE") << "needs --desktop xfce";
    PrivateConfigHome config;
    const QString program = Varnoset::binary();
    bindInXfce("Print", program + " --hotkey");
    bindInXfce("<Alt>Print", program + " --hotkey alt");

    Varnoset app;
    app.start();
    const QString item = trayItem();
    ASSERT_FALSE(item.isEmpty()) << app.output().toStdString();
    // The tooltip (which shows a notification's text while it is up) says the key is taken.
    QString tip;
    const auto tipSays = [&item, &tip](const char* text) {
        return waitUntil(
            [&] {
                tip = trayToolTip(item);
                return tip.contains(QString::fromUtf8(text));
            },
            30000);
    };
    EXPECT_TRUE(tipSays("PrintScreen used by another program")) << tip.toStdString();

    // "Get only Client Area of Window", from the window that --open brings up.
    ASSERT_EQ(run(program, {"--open"}).exitCode, 0);
    std::optional<WindowId> window = app.waitForMainWindow();
    ASSERT_TRUE(window.has_value()) << app.output().toStdString();
    chooseFromMenuBar(*window, 1, {5});
    key(QStringLiteral("Escape"));
    ASSERT_TRUE(app.waitForMainWindowHidden());

    // Alt+Print on a window framed by xfwm4: its client area, without the frame.
    ManagedWindow framed(QStringLiteral("320x200+500+300"));
    framed.activate();
    const QRect client = windowGeometry(framed.id());
    const QImage shown = independentScreenshot().copy(client);
    key(QStringLiteral("alt+Print"));
    ASSERT_TRUE(app.waitForMainWindow().has_value()) << app.output().toStdString();
    EXPECT_TRUE(samePixels(clipboardPng(), shown));
    key(QStringLiteral("Escape"));
    ASSERT_TRUE(app.waitForMainWindowHidden());

    // Print alone: the desktop, as in the first mode.
    key(QStringLiteral("Print"));
    ASSERT_TRUE(app.waitForMainWindow().has_value()) << app.output().toStdString();
    EXPECT_EQ(clipboardPng().size(), QSize(1920, 1080));
    key(QStringLiteral("Escape"));
    ASSERT_TRUE(app.waitForMainWindowHidden());

    // Both forms come through the desktop: no warning, and the next start knows it.
    EXPECT_TRUE(tipSays("PrintScreen through the desktop")) << tip.toStdString();
    EXPECT_FALSE(tip.contains("used by another program")) << tip.toStdString();
    app.terminate();
    ASSERT_TRUE(app.waitForExit().has_value());
    // The next start shows no notification (which would take over the tooltip) and no warning.
    Varnoset again;
    again.start();
    tip = trayToolTip(trayItem(item));
    EXPECT_TRUE(tip.contains("PrintScreen through the desktop")) << tip.toStdString();
    again.terminate();
    again.waitForExit();
}
