#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <optional>

#include "platform/linux/XcbActiveWindow.h"
#include "platform/linux/XcbScreen.h"
#include "tests/support/CaptureDesktopSupport.h"
#include "tests/support/DesktopSupport.h"
#include "tests/support/SamePixels.h"
#include "tests/support/WaitUntil.h"

using namespace varnoset;
using namespace capture_desktop;
using varnoset::test::samePixels;
using varnoset::test::waitUntil;

TEST(XcbScreen, GrabsThePixelsAnotherProgramSees) {
    ProbeWindow pattern(QRect(300, 200, 500, 400));
    pattern.showAndWait();

    XcbScreen screen;
    EXPECT_EQ(screen.size(), QSize(1920, 1080));
    EXPECT_EQ(screen.bitsPerPixel(), 32);
    EXPECT_TRUE(screen.usesSharedMemory());

    const Picture full = screen.grab(QRect(0, 0, 1920, 1080));
    EXPECT_EQ(full.format(), PixelFormat::Device);
    const QImage shot = independentScreenshot();
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(samePixels(imageOf(full), shot));

    // Smaller grabs reuse the shared segment; their pixels still come from their own place.
    const Picture part = screen.grab(QRect(350, 260, 123, 77));
    EXPECT_TRUE(samePixels(imageOf(part), shot.copy(350, 260, 123, 77)));

    // What lies beyond the root window stays black.
    const Picture corner = screen.grab(QRect(1900, 1060, 40, 40));
    const QImage cornerImage = imageOf(corner);
    EXPECT_TRUE(samePixels(cornerImage.copy(0, 0, 20, 20), shot.copy(1900, 1060, 20, 20)));
    EXPECT_EQ(cornerImage.pixel(39, 39) & 0xFFFFFF, 0u);
    EXPECT_EQ(cornerImage.pixel(25, 5) & 0xFFFFFF, 0u);
}

// A full grab keeps its pixels in the screen's shared memory: later grabs must not write there,
// and the picture outlives the screen.
TEST(XcbScreen, AKeptGrabIsNeitherOverwrittenNorLostWithItsScreen) {
    ProbeWindow probe(QRect(100, 100, 200, 150), Qt::red);
    probe.showAndWait();
    std::optional<Picture> kept;
    {
        XcbScreen screen;
        kept = screen.grab(QRect(0, 0, 1920, 1080));
        probe.setColour(Qt::blue);
        EXPECT_TRUE(waitUntil([&] {
            return imageOf(screen.grab(QRect(0, 0, 1920, 1080))).pixel(150, 150) == qRgb(0, 0, 255);
        }));
    }
    EXPECT_EQ(imageOf(Picture(*kept)).pixel(150, 150), qRgb(255, 0, 0));
}

TEST(XcbScreen, TheSizeIsAskedAfreshEveryTime) {
    XcbScreen screen;
    ASSERT_EQ(screen.size(), QSize(1920, 1080));
    auto dimensions = [] {
        const auto m = QRegularExpression(QStringLiteral("dimensions:\\s+(\\d+)x(\\d+)"))
                           .match(desktop::run(QStringLiteral("xdpyinfo")).out);
        return QSize(m.captured(1).toInt(), m.captured(2).toInt());
    };
    desktop::run(QStringLiteral("xrandr"), {"--fb", "1280x720"});
    const QSize changed = dimensions();
    EXPECT_EQ(screen.size(), changed);
    desktop::run(QStringLiteral("xrandr"), {"--fb", "1920x1080"});
    ASSERT_EQ(dimensions(), QSize(1920, 1080));
    EXPECT_EQ(screen.size(), QSize(1920, 1080));
    if (changed == QSize(1920, 1080)) {
        GTEST_SKIP() << "this X server does not resize its root window";
    }
}

TEST(XcbScreen, ReadsA16BitDisplayWithoutSharedMemory) {
    // A second private X server, 16 bits per pixel and without MIT-SHM: the plain GetImage path
    // and the conversion from the display's colour masks.
    QTemporaryDir dir;
    const QString displayFile = dir.filePath(QStringLiteral("display"));
    QProcess xvfb;
    xvfb.start(QStringLiteral("/bin/sh"),
               {"-c", QStringLiteral("exec Xvfb -displayfd 3 -screen 0 320x200x16 -nolisten tcp "
                                     "-extension MIT-SHM 3>'%1'")
                          .arg(displayFile)});
    ASSERT_TRUE(waitUntil([&] { return QFileInfo(displayFile).size() > 0; }));
    QFile file(displayFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString display = QStringLiteral(":") + QString::fromLatin1(file.readAll()).trimmed();

    QImage pattern(320, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x) {
            pattern.setPixel(x, y, qRgb(x * 255 / 319, y * 255 / 199, (x + y) % 256));
        }
    }
    const QString patternFile = dir.filePath(QStringLiteral("pattern.png"));
    ASSERT_TRUE(pattern.save(patternFile));
    desktop::run(QStringLiteral("display"), {"-display", display, "-window", "root", patternFile});

    xcb_connection_t* connection = xcb_connect(display.toLatin1().constData(), nullptr);
    ASSERT_EQ(xcb_connection_has_error(connection), 0);
    {
        XcbScreen screen(connection);
        EXPECT_EQ(screen.size(), QSize(320, 200));
        EXPECT_EQ(screen.bitsPerPixel(), 16);
        EXPECT_FALSE(screen.usesSharedMemory());
        const QImage grabbed = imageOf(screen.grab(QRect(0, 0, 320, 200)));
        const QString shotFile = dir.filePath(QStringLiteral("shot.png"));
        desktop::run(QStringLiteral("import"), {"-display", display, "-window", "root", shotFile});
        const QImage shot = QImage(shotFile).convertToFormat(QImage::Format_RGB32);
        EXPECT_TRUE(samePixels(grabbed, shot));
        // 5-6-5 levels widened to 8 bits: the brightest red is full red, not 248.
        EXPECT_EQ(qRed(grabbed.pixel(319, 0)), 255);
    }
    xcb_disconnect(connection);
    xvfb.terminate();
    xvfb.waitForFinished(5000);
}

TEST(XcbActiveWindow, TheManagedWindowWithAndWithoutItsFrame) {
    ManagedWindow window(QStringLiteral("400x300+100+200"));
    ASSERT_NE(window.id(), 0u);
    window.activate();

    XcbActiveWindow active;
    const ActiveWindow::Handle foreground = active.foreground();
    EXPECT_EQ(foreground, window.id());
    // openbox draws a 1-pixel border, a 20-pixel title bar and a 5-pixel handle.
    EXPECT_EQ(active.clientRect(foreground), QRect(101, 220, 400, 300));
    EXPECT_EQ(active.windowRect(foreground), QRect(100, 200, 402, 325));

    EXPECT_EQ(active.clientRect(0), QRect());
    EXPECT_EQ(active.windowRect(0x7fffffff), QRect());  // no such window
}
