#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "capture/CaptureDispatch.h"
#include "capture/CaptureModes.h"
#include "capture/HotkeyRegistrar.h"
#include "capture/RectangleOverlay.h"
#include "platform/linux/CanberraSound.h"
#include "platform/linux/QtClipboard.h"
#include "platform/linux/XcbActiveWindow.h"
#include "platform/linux/XcbHotkeys.h"
#include "platform/linux/XcbScreen.h"
#include "tests/capture/CaptureFakes.h"
#include "tests/support/CaptureDesktopSupport.h"
#include "tests/support/DesktopSupport.h"
#include "tests/support/SamePixels.h"
#include "tests/support/WaitUntil.h"

using namespace varnoset;
using namespace capture_desktop;
using capture_fakes::FakeHost;
using capture_fakes::Log;
using varnoset::test::samePixels;
using varnoset::test::waitUntil;

namespace {

// The real desktop parts under the capture dispatch; the main window is a stand-in that records
// what it was asked to do.
struct RealCapture {
    Log log;
    WindowState state;
    CaptureChecks checks;  // Sound1, Client1, NoDialog1
    FakeHost host{log, state};
    XcbHotkeys hotkeys;
    XcbScreen screen;
    XcbActiveWindow activeWindow;
    CanberraSound sound;
    QtClipboard clipboard;
    HotkeyRegistrar registrar{hotkeys, [](int) {}, [](const QString&) {}};
    CaptureDispatch dispatch{state, host, registrar, {screen, activeWindow, sound, clipboard}};

    RealCapture() {
        hotkeys.setHandler([this](int id) { dispatch.hotkeyMessage(id, checks); });
        state.HotkeyArmed = true;
        state.SourcePicture = Picture(3, 2, PixelFormat::Device);
    }
    // Presses the keys and waits until the main window was asked to show; then re-arms, as
    // minimising the main window would.
    bool pressAndWaitForShow(const QString& keys) {
        const int before = host.shows;
        xdotool({"key", keys});
        const bool shown = waitUntil([&] { return host.shows > before; }, 10000);
        state.HotkeyArmed = true;
        return shown;
    }
    int overlaysOpen() const {
        int open = 0;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            open += qobject_cast<TForm2*>(widget) != nullptr && widget->isVisible() ? 1 : 0;
        }
        return open;
    }
};

}  // namespace

TEST(CaptureWithHotkeys, TheKeysCaptureTheScreenAndTheWindowThroughTheClipboard) {
    ProbeWindow pattern(QRect(900, 500, 300, 200));
    pattern.showAndWait();
    ManagedWindow window(QStringLiteral("400x300+100+200"));
    ASSERT_NE(window.id(), 0u);
    window.activate();

    RealCapture capture;
    capture.dispatch.actionClick(0);
    capture.dispatch.keyClick(0);  // PrintScreen

    ASSERT_TRUE(capture.pressAndWaitForShow("Print"));
    const QImage shot = independentScreenshot();
    EXPECT_TRUE(samePixels(imageOf(capture.state.SourcePicture), shot));
    EXPECT_EQ(capture.state.SourcePicture.format(), PixelFormat::Device);
    // The clipboard offers the unprocessed capture to other programs.
    EXPECT_TRUE(samePixels(clipboardPng(), shot));

    ASSERT_TRUE(capture.pressAndWaitForShow("alt+Print"));
    EXPECT_TRUE(samePixels(imageOf(capture.state.SourcePicture), shot.copy(100, 200, 402, 325)));

    capture.checks.client = true;
    ASSERT_TRUE(capture.pressAndWaitForShow("alt+Print"));
    EXPECT_TRUE(samePixels(imageOf(capture.state.SourcePicture), shot.copy(101, 220, 400, 300)));
    EXPECT_TRUE(samePixels(clipboardPng(), shot.copy(101, 220, 400, 300)));

    // Mode 1 swaps the forms: the key alone takes the window, Alt+key the desktop.
    capture.dispatch.actionClick(1);
    xdotool({"key", "Num_Lock"});
    ASSERT_TRUE(capture.pressAndWaitForShow("Print"));
    EXPECT_EQ(capture.state.SourcePicture.width(), 400);
    ASSERT_TRUE(capture.pressAndWaitForShow("alt+Print"));
    EXPECT_EQ(capture.state.SourcePicture.width(), 1920);
    xdotool({"key", "Num_Lock"});
}

TEST(CaptureWithHotkeys, ASecondKeyWhileTheOverlayIsOpenIsIgnored) {
    RealCapture capture;
    capture.dispatch.actionClick(kRectangleMode);
    capture.dispatch.keyClick(0);
    int overlaysSeen = -1;
    int showsInside = -1;
    whenOverlayShown([&](QWidget*) {
        xdotool({"key", "Print"});
        xdotool({"key", "alt+Print"});
        waitUntil([] { return false; }, 500);  // both keys are delivered meanwhile
        overlaysSeen = capture.overlaysOpen();
        showsInside = capture.host.shows;
        xdotool({"mousemove", "700", "700", "click", "3"});
    });
    capture.host.visible = false;
    xdotool({"key", "Print"});
    ASSERT_TRUE(waitUntil([&] { return overlaysSeen >= 0 && capture.state.HotkeyArmed; }, 10000));
    EXPECT_EQ(overlaysSeen, 1);
    EXPECT_EQ(showsInside, 0);
    // A right click takes nothing: nothing shown, the picture kept, the key armed at once.
    EXPECT_EQ(capture.host.shows, 0);
    EXPECT_EQ(capture.state.SourcePicture.width(), 3);
    EXPECT_EQ(capture.overlaysOpen(), 0);
}

TEST(CaptureWithHotkeys, WithoutASoundServerTheCaptureStillCompletes) {
    qputenv("PULSE_SERVER", "unix:/nonexistent/varnoset-test/native");
    RealCapture capture;
    EXPECT_FALSE(capture.sound.playCaptureSound());
    capture.checks.sound = true;
    capture.dispatch.actionClick(0);
    capture.dispatch.keyClick(0);
    ASSERT_TRUE(capture.pressAndWaitForShow("Print"));
    EXPECT_EQ(capture.state.SourcePicture.width(), 1920);
    qunsetenv("PULSE_SERVER");
}
