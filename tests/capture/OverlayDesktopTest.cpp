#include <gtest/gtest.h>

#include <QTimer>

#include "capture/CaptureDispatch.h"
#include "capture/HotkeyRegistrar.h"
#include "capture/RectangleOverlay.h"
#include "platform/linux/QtClipboard.h"
#include "platform/linux/XcbScreen.h"
#include "tests/capture/CaptureFakes.h"
#include "tests/support/CaptureDesktopSupport.h"
#include "tests/support/DesktopSupport.h"
#include "tests/support/SamePixels.h"
#include "tests/support/WaitUntil.h"

using namespace varnoset;
using namespace capture_desktop;
using capture_fakes::FakeActiveWindow;
using capture_fakes::FakeHost;
using capture_fakes::FakeHotkeys;
using capture_fakes::FakeSound;
using capture_fakes::Log;
using varnoset::test::samePixels;
using varnoset::test::waitUntil;

namespace {

struct RectangleCapture {
    Log log;
    WindowState state;
    FakeHost host{log, state};
    FakeHotkeys hotkeys{log};
    FakeActiveWindow activeWindow;
    FakeSound sound{log};
    XcbScreen screen;
    QtClipboard clipboard;
    HotkeyRegistrar registrar{hotkeys, [](int) {}, [](const QString&) {}};
    CaptureDispatch dispatch{state, host, registrar, {screen, activeWindow, sound, clipboard}};

    RectangleCapture() { state.SourcePicture = Picture(3, 2, PixelFormat::Device); }
};

QStringList drag(QPoint from, QPoint to) {
    const QPoint mid = (from + to) / 2;
    return {"mousemove",
            QString::number(from.x()),
            QString::number(from.y()),
            "mousedown",
            "1",
            "mousemove",
            QString::number(mid.x()),
            QString::number(mid.y()),
            "mousemove",
            QString::number(to.x()),
            QString::number(to.y()),
            "mouseup",
            "1"};
}

}  // namespace

TEST(TForm2, CoversTheScreenWithItsStillPicture) {
    ProbeWindow probe(QRect(600, 300, 200, 200), Qt::blue);
    probe.showAndWait();
    XcbScreen screen;
    const QImage before = imageOf(screen.grab(QRect(0, 0, 1920, 1080)));

    QRect geometry;
    Qt::WindowFlags flags;
    Qt::CursorShape cursor = Qt::ArrowCursor;
    ::testing::AssertionResult same = ::testing::AssertionFailure() << "not run";
    whenOverlayShown([&](QWidget* overlay) {
        geometry = overlay->geometry();
        flags = overlay->windowFlags();
        cursor = overlay->cursor().shape();
        // The window beneath changes, but the overlay keeps showing the screen as it was.
        probe.setColour(Qt::red);
        waitUntil([] { return false; }, 300);
        same = samePixels(imageOf(screen.grab(QRect(0, 0, 1920, 1080))), before);
        xdotool({"mousemove", "10", "10", "click", "3"});
    });
    const std::optional<StillSelection> selected = TForm2::selectRectangle(screen);
    EXPECT_EQ(geometry, QRect(0, 0, 1920, 1080));
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(cursor, Qt::CrossCursor);
    EXPECT_TRUE(same);
    // A right click ends it with nothing selected; the still picture is the screen as it was.
    ASSERT_TRUE(selected.has_value());
    EXPECT_EQ(selected->rect, CaptureRect{});
    EXPECT_TRUE(samePixels(imageOf(selected->still), before));

    // Closed any other way, it selects nothing at all.
    whenOverlayShown([](QWidget* overlay) { overlay->close(); });
    EXPECT_FALSE(TForm2::selectRectangle(screen).has_value());
}

TEST(CaptureSelectedRect, ADragCapturesWhatTheOverlayShows) {
    ProbeWindow pattern(QRect(50, 30, 600, 500));
    pattern.showAndWait();
    struct Case {
        const char* what;
        QPoint from;
        QPoint to;
        std::optional<QRect> taken;
    };
    const Case cases[] = {
        {"up and left", {300, 200}, {100, 50}, QRect(100, 50, 200, 150)},
        {"16 x 16", {400, 400}, {416, 416}, QRect(400, 400, 16, 16)},
        {"15 x 40", {400, 400}, {415, 440}, std::nullopt},
    };
    for (const Case& c : cases) {
        RectangleCapture capture;
        whenOverlayShown([&](QWidget*) { xdotool(drag(c.from, c.to)); });
        capture.dispatch.CaptureSelectedRect();
        const QImage shot = independentScreenshot();
        if (c.taken) {
            EXPECT_TRUE(samePixels(imageOf(capture.state.SourcePicture), shot.copy(*c.taken)))
                << c.what;
            EXPECT_TRUE(samePixels(clipboardPng(), shot.copy(*c.taken))) << c.what;
        } else {
            EXPECT_EQ(capture.state.SourcePicture.width(), 3) << c.what;
        }
    }
}

TEST(CaptureSelectedRect, AWindowThatChangesUnderTheCrossHairKeepsTheColourShown) {
    ProbeWindow probe(QRect(600, 300, 200, 200), Qt::blue);
    probe.showAndWait();
    RectangleCapture capture;
    whenOverlayShown([&](QWidget*) {
        // The window turns red beneath the overlay while the user drags over its still picture.
        probe.setColour(Qt::red);
        waitUntil([] { return false; }, 300);
        xdotool(drag({590, 290}, {810, 510}));
    });
    const QImage shown = independentScreenshot().copy(590, 290, 220, 220);
    ASSERT_TRUE(capture.dispatch.CaptureSelectedRect());
    const QImage picture = imageOf(capture.state.SourcePicture);
    EXPECT_TRUE(samePixels(picture, shown));  // blue
    // The screen itself turns red once the overlay has gone.
    EXPECT_TRUE(waitUntil(
        [] { return QColor(independentScreenshot().pixel(700, 400)) == QColor(Qt::red); }));
}
