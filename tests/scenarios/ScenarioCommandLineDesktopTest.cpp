// A desktop that keeps the Print key for itself, as the big desktops do with their own screenshot
// tools: the program says so and takes the key once it is freed. The command line drives the
// running copy, starts one when none runs, and rejects what it does not know.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QThread>

#include "tests/scenarios/ScenarioSupport.h"
#include "tests/support/CaptureDesktopSupport.h"
#include "tests/support/DesktopSupport.h"
#include "tests/support/WaitUntil.h"

using namespace desktop;
using namespace scenario;
using capture_desktop::clipboardPng;
using varnoset::test::waitUntil;

namespace {

// The notification beside the tray icon: a window of the program's, taller than a tooltip.
std::optional<QRect> notification() {
    const auto icons = trayIcons();
    const QString out = run("xdotool", {"search", "--onlyvisible", "--class", "varnoset"}).out;
    for (const QString& line : out.split('\n', Qt::SkipEmptyParts)) {
        const WindowId id = line.trimmed().toULong();
        const QRect g = windowGeometry(id);
        if (std::find(icons.begin(), icons.end(), id) == icons.end() && g.height() >= 60 &&
            g.width() > 100) {
            return g;
        }
    }
    return std::nullopt;
}

bool showsWholeScreen(const QImage& picture, const QColor& background) {
    return picture.size() == QSize(1920, 1080) && QColor(picture.pixel(400, 400)) == background;
}

}  // namespace

TEST(ScenarioCommandLine, AKeyHeldByTheDesktopIsReportedAndTakenOnceFreed) {
    PrivateConfigHome config;
    const QColor background(0x30, 0x60, 0xa0);
    ASSERT_EQ(run("xsetroot", {"-solid", background.name()}).exitCode, 0);

    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();

    // openbox holds Print and Alt+Print: a notification says which key and what to do.
    std::optional<QRect> shown;
    ASSERT_TRUE(waitUntil([&] { return (shown = notification()).has_value(); }, 15000))
        << app.output().toStdString();
    QThread::msleep(200);
    const QString notice = squeezed(ocr(screenArea(*shown), 3));
    EXPECT_TRUE(notice.contains(QStringLiteral("PrintScreenisinuse"))) << notice.toStdString();
    EXPECT_TRUE(notice.contains(QStringLiteral("holdsPrintScreenandAltPrintScreen")))
        << notice.toStdString();
    EXPECT_TRUE(notice.contains(QStringLiteral("DefineHotkey"))) << notice.toStdString();
    // A command for each form (OCR reads the dashes before "capture" poorly).
    EXPECT_EQ(notice.count(QStringLiteral("varnoset")), 2) << notice.toStdString();
    clickAt(shown->center());  // a click puts it away
    ASSERT_TRUE(waitUntil([] { return !notification().has_value(); }, 10000));

    // The tooltip no longer invites a press.
    QString tip = squeezed(app.readTrayToolTip());
    EXPECT_TRUE(tip.contains(QStringLiteral("PrintScreenusedbyanotherprogram")))
        << tip.toStdString();
    EXPECT_FALSE(tip.contains(QStringLiteral("Press"))) << tip.toStdString();

    // The desktop lets go of the key (its settings changed, no restart of the program): within
    // a few seconds the prompt is back and Print captures.
    const QString rc = qEnvironmentVariable("VARNOSET_OPENBOX_RC");
    ASSERT_EQ(sh(QStringLiteral("sed -i -E '/<keybind key=\"(A-)?Print\">/,/<\\/keybind>/d' '%1' "
                                "&& openbox --reconfigure")
                     .arg(rc))
                  .exitCode,
              0);
    EXPECT_TRUE(waitUntil(
        [&] {
            tip = squeezed(app.readTrayToolTip());
            return tip.contains(QStringLiteral("PressPrintScreen"));
        },
        30000))
        << tip.toStdString();
    key(QStringLiteral("Print"));
    ASSERT_TRUE(app.waitForMainWindow().has_value()) << app.output().toStdString();
    EXPECT_TRUE(showsWholeScreen(clipboardPng(), background));

    app.terminate();
    app.waitForExit();
}

TEST(ScenarioCommandLine, CommandsReachTheRunningCopyOrStartOne) {
    PrivateConfigHome config;
    const QColor background(0x70, 0x20, 0x50);
    ASSERT_EQ(run("xsetroot", {"-solid", background.name()}).exitCode, 0);
    const QString program = Varnoset::binary();

    // Usage errors and the two informative options need no running copy.
    for (const QStringList& wrong : {QStringList{"--bogus"}, QStringList{"--capture", "sideways"},
                                     QStringList{"--delay", "0", "--open"}, QStringList{"extra"},
                                     QStringList{"--open", "--quit"}}) {
        const CommandResult result = run(program, wrong);
        EXPECT_EQ(result.exitCode, 2) << wrong.join(' ').toStdString();
        EXPECT_TRUE(result.err.contains(QStringLiteral("Usage: varnoset")))
            << result.err.toStdString();
    }
    const CommandResult help = run(program, {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("--capture"))) << help.out.toStdString();
    EXPECT_EQ(run(program, {"--version"}).exitCode, 0);

    // No copy runs: the command starts one and carries itself out.
    Varnoset app;
    app.start({"--open"});
    ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();
    ASSERT_TRUE(app.waitForMainWindow().has_value()) << app.output().toStdString();
    key(QStringLiteral("Escape"));
    ASSERT_TRUE(app.waitForMainWindowHidden());

    // A plain second start ends at once and leaves one icon.
    EXPECT_EQ(run(program).exitCode, 0);
    EXPECT_EQ(trayIcons().size(), 1u);

    // A capture is delivered as the hotkey's: the screen on the clipboard, the window shown.
    run("xclip", {"-selection", "clipboard", "/dev/null"});
    EXPECT_EQ(run(program, {"--capture", "desktop"}).exitCode, 0);
    const std::optional<WindowId> window = app.waitForMainWindow();
    ASSERT_TRUE(window.has_value()) << app.output().toStdString();
    EXPECT_TRUE(showsWholeScreen(clipboardPng(), background));

    // With the window open, a capture still captures: the window steps aside for it.
    const QRect place = frameGeometry(*window);
    run("xclip", {"-selection", "clipboard", "/dev/null"});
    EXPECT_EQ(run(program, {"--capture", "desktop"}).exitCode, 0);
    ASSERT_TRUE(app.waitForMainWindow().has_value()) << app.output().toStdString();
    EXPECT_EQ(QColor(clipboardPng().pixel(place.center())), background);

    key(QStringLiteral("Escape"));
    ASSERT_TRUE(app.waitForMainWindowHidden());

    // Quit is the polite close: the folders are written only then.
    const auto before = storedOptions(storeFile(config));
    ASSERT_TRUE(before.has_value());
    EXPECT_FALSE(before->contains(QStringLiteral("SaveFolder")));
    EXPECT_EQ(run(program, {"--quit"}).exitCode, 0);
    EXPECT_EQ(app.waitForExit(20000), std::optional<int>(0)) << app.output().toStdString();
    const auto after = storedOptions(storeFile(config));
    ASSERT_TRUE(after.has_value());
    EXPECT_TRUE(after->contains(QStringLiteral("SaveFolder")));
    EXPECT_TRUE(after->contains(QStringLiteral("LoadFolder")));
    EXPECT_TRUE(after->contains(QStringLiteral("WinPosLeft")));

    // Nothing runs: a quit starts nothing, and with no display to start on nothing is delivered.
    EXPECT_EQ(run(program, {"--quit"}).exitCode, 1);
    EXPECT_EQ(sh(QStringLiteral("env -u DISPLAY '%1' --open").arg(program)).exitCode, 1);
}
