// The main window as a new user meets it: a picture captured into the window while it is open, the
// controls reached with the keyboard alone, and the larger form toggled on and off again.
#include <gtest/gtest.h>

#include <QImage>
#include <QThread>

#include "tests/scenarios/ScenarioSupport.h"
#include "tests/support/CaptureDesktopSupport.h"
#include "tests/support/DesktopSupport.h"
#include "tests/support/SamePixels.h"
#include "tests/support/WaitUntil.h"

using namespace desktop;
using namespace scenario;
using capture_desktop::ProbeWindow;
using varnoset::test::samePixels;
using varnoset::test::waitUntil;

namespace {

// A point of the preview (natural size, at the picture's origin): the screen's pixel at about
// (28, 28) shows there.
const QPoint kPreviewPoint(12 + 30, 68 + 30);

QRgb screenPixel(QPoint at) {
    const QImage area = screenArea(QRect(at, QSize(1, 1)));
    return area.isNull() ? 0 : area.pixel(0, 0) & RGB_MASK;
}

bool previewShows(WindowId window, QColor colour) {
    return waitUntil(
        [&] { return screenPixel(inClient(window, kPreviewPoint)) == (colour.rgb() & RGB_MASK); },
        8000);
}

// The window's client area as the screen shows it, once it has stopped changing.
QImage settledWindow(WindowId window) {
    QImage last;
    QImage now = screenArea(windowGeometry(window));
    for (int i = 0; i < 20 && now != last; ++i) {
        QThread::msleep(300);
        last = now;
        now = screenArea(windowGeometry(window));
    }
    return now;
}

}  // namespace

TEST(ScenarioMainWindow, ANewCaptureTheKeyboardAndTheLargerFormAsAUserMeetsThem) {
    PrivateConfigHome config;
    const QColor first(200, 40, 40);
    const QColor second(40, 160, 60);
    ProbeWindow corner(QRect(0, 0, 320, 240), first);
    corner.showAndWait();
    run("xdotool", {"mousemove", "900", "10"});  // no tooltip over the window

    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();
    run("xdotool", {"key", "Print"});
    const auto window = app.waitForMainWindow();
    ASSERT_TRUE(window.has_value()) << app.output().toStdString();
    ASSERT_TRUE(previewShows(*window, first));

    // Captured again while the window is open: the preview shows the new picture.
    corner.setColour(second);
    corner.repaint();
    QThread::msleep(300);
    app.chooseFromTrayMenu(3);  // "Open"
    EXPECT_TRUE(previewShows(*window, second));
    run("xdotool", {"mousemove", "900", "10"});

    // Print has the focus; Tab passes the tool bar and the preview to "Grayed Colors", Space
    // ticks it, Tab and Space tick "Invert Colors". Each tick repaints the window, which must
    // leave the focus where the keys put it.
    run("xdotool", {"windowactivate", "--sync", QString::number(*window)});
    for (int i = 0; i < 9; ++i) {
        key(QStringLiteral("Tab"));
    }
    key(QStringLiteral("space"));
    QThread::msleep(500);
    key(QStringLiteral("Tab"));
    key(QStringLiteral("space"));
    QThread::msleep(500);
    key(QStringLiteral("ctrl+o"));
    ASSERT_TRUE(acceptMessageBox());
    const auto saved = storedOptions(storeFile(config));
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->value("Monochrom").toStdString(), dword(1).toStdString());
    EXPECT_EQ(saved->value("Inversed").toStdString(), dword(1).toStdString());
    EXPECT_EQ(saved->value("Mirrored").toStdString(), dword(0).toStdString());

    // "Increase the Size of the Dialog Form" twice gives back the same window, pixel for pixel.
    const QImage before = settledWindow(*window);
    const QSize normal = windowGeometry(*window).size();
    chooseFromMenuBar(*window, 1, {7});
    ASSERT_TRUE(waitUntil([&] { return windowGeometry(*window).width() > normal.width(); }));
    const QImage larger = settledWindow(*window);
    chooseFromMenuBar(*window, 1, {7});
    ASSERT_TRUE(waitUntil([&] { return windowGeometry(*window).size() == normal; }));
    const QImage after = settledWindow(*window);
    EXPECT_NE(larger.size(), before.size());
    ASSERT_EQ(after.size(), before.size());
    EXPECT_TRUE(after == before) << samePixels(after, before).message();

    app.terminate();
    EXPECT_EQ(app.waitForExit(), std::optional<int>(0));
}
