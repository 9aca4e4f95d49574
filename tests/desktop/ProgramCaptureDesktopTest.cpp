// Captures through the real program, driven with real key presses and its own menus; what it
// captured is read back from outside: the clipboard through xclip, the screen through ImageMagick,
// the key grabs through a second X client.
#include <gtest/gtest.h>

#include <QImage>
#include <QThread>

#include "tests/support/CaptureDesktopSupport.h"
#include "tests/support/DesktopSupport.h"
#include "tests/support/SamePixels.h"
#include "tests/support/WaitUntil.h"

using namespace desktop;
using capture_desktop::clipboardPng;
using capture_desktop::independentScreenshot;
using capture_desktop::ManagedWindow;
using capture_desktop::OtherClient;
using capture_desktop::ProbeWindow;
using varnoset::test::samePixels;
using varnoset::test::waitUntil;

namespace {

constexpr std::uint32_t kPrintKeysym = 0xff61;
constexpr std::uint32_t kF8Keysym = 0xffc5;
constexpr std::uint16_t kAlt = 0x0008;  // Mod1
const QSize kScreen(1920, 1080);

// Keys as a user presses them; lock states are left as they are.
void press(const QString& keys) {
    run("xdotool", {"key", keys});
}

std::optional<WindowId> waitForMainWindow(Varnoset& app) {
    std::optional<WindowId> window;
    waitUntil([&] { return (window = app.mainWindow()).has_value(); }, 8000);
    return window;
}

bool hideMainWindow(Varnoset& app) {
    key(QStringLiteral("Escape"));
    return waitUntil([&] { return !app.mainWindow().has_value(); }, 5000);
}

// A key that starts no capture leaves the window hidden for a good while.
bool staysHidden(Varnoset& app, int forMs = 1500) {
    return !waitUntil([&] { return app.mainWindow().has_value(); }, forMs);
}

// Presses the keys, waits for the main window and gives back what the clipboard then holds.
QImage captureWith(Varnoset& app, const QString& keys) {
    press(keys);
    if (!waitForMainWindow(app)) {
        return {};
    }
    return clipboardPng();
}

// Whether another client could take the key with these modifiers (it lets it go at once).
bool otherClientCanGrab(OtherClient& other, std::uint32_t keysym, std::uint16_t modifiers) {
    if (other.grabKey(keysym, modifiers) != 0) {
        return false;
    }
    other.ungrabKey(keysym, modifiers);
    return true;
}

// Where the block appears in the picture, pixel for pixel; nullopt when nowhere.
std::optional<QPoint> find(const QImage& picture, const QImage& block) {
    for (int y = 0; y + block.height() <= picture.height(); ++y) {
        for (int x = 0; x + block.width() <= picture.width(); ++x) {
            bool same = true;
            for (int by = 0; same && by < block.height(); ++by) {
                for (int bx = 0; same && bx < block.width(); ++bx) {
                    same = (picture.pixel(x + bx, y + by) & 0xFFFFFF) ==
                           (block.pixel(bx, by) & 0xFFFFFF);
                }
            }
            if (same) {
                return QPoint(x, y);
            }
        }
    }
    return std::nullopt;
}

class ProgramCapture : public ::testing::Test {
protected:
    void SetUp() override {
        app.start();
        ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();
    }
    void TearDown() override {
        app.terminate();
        app.waitForExit();
        if (capture_desktop::lockIsOn(QStringLiteral("Num Lock"))) {
            press(QStringLiteral("Num_Lock"));
        }
    }

    PrivateConfigHome config;
    Varnoset app;
};

}  // namespace

TEST_F(ProgramCapture, TheKeysPutTheScreenOrTheActiveWindowOnTheClipboardWhateverNumLock) {
    ManagedWindow probe(QStringLiteral("400x300+100+200"));
    ASSERT_NE(probe.id(), 0u);
    for (const bool numLock : {false, true}) {
        SCOPED_TRACE(numLock ? "NumLock on" : "NumLock off");
        if (numLock) {
            press(QStringLiteral("Num_Lock"));
            ASSERT_TRUE(capture_desktop::lockIsOn(QStringLiteral("Num Lock")));
        }

        // The capture is taken before the main window appears, so the screen as it was just
        // before the key press is what the clipboard must hold.
        probe.activate();
        QImage screen = independentScreenshot();
        QImage picture = captureWith(app, QStringLiteral("Print"));
        ASSERT_EQ(picture.size(), kScreen);
        EXPECT_TRUE(samePixels(picture, screen));
        ASSERT_TRUE(hideMainWindow(app));

        probe.activate();
        const QRect frame = frameGeometry(probe.id());
        ASSERT_EQ(frame.size(), QSize(402, 325));  // openbox's frame around 400 x 300
        screen = independentScreenshot();
        picture = captureWith(app, QStringLiteral("alt+Print"));
        EXPECT_EQ(picture.size(), frame.size());
        EXPECT_TRUE(samePixels(picture, screen.copy(frame)));

        // Options, "Get only Client Area of Window".
        auto window = app.mainWindow();
        ASSERT_TRUE(window.has_value());
        chooseFromMenuBar(*window, 1, {5});
        ASSERT_TRUE(hideMainWindow(app));
        probe.activate();
        const QRect client = windowGeometry(probe.id());
        screen = independentScreenshot();
        picture = captureWith(app, QStringLiteral("alt+Print"));
        EXPECT_EQ(picture.size(), QSize(400, 300));
        EXPECT_TRUE(samePixels(picture, screen.copy(client)));

        window = app.mainWindow();
        ASSERT_TRUE(window.has_value());
        chooseFromMenuBar(*window, 1, {5});  // the frame again
        ASSERT_TRUE(hideMainWindow(app));
    }
}

TEST_F(ProgramCapture, TheWindowShowsTheCaptureAndASecondKeyWhileItIsShownIsIgnored) {
    ProbeWindow pattern(QRect(0, 0, 320, 240));
    pattern.showAndWait();
    const QImage screen = independentScreenshot();
    const QImage first = captureWith(app, QStringLiteral("Print"));
    ASSERT_TRUE(samePixels(first, screen));
    const auto window = app.mainWindow();
    ASSERT_TRUE(window.has_value());

    // The preview shows the capture's top-left corner at full size.
    QThread::msleep(500);
    const QImage shown = independentScreenshot().copy(windowGeometry(*window));
    EXPECT_TRUE(find(shown, screen.copy(0, 0, 48, 48)).has_value());

    // The screen changes, the keys come again: no new capture, the same window.
    pattern.setColour(Qt::red);
    waitUntil([] { return false; }, 300);
    ASSERT_FALSE(samePixels(independentScreenshot(), screen));
    press(QStringLiteral("Print"));
    press(QStringLiteral("alt+Print"));
    waitUntil([] { return false; }, 1500);
    EXPECT_TRUE(samePixels(clipboardPng(), first));
    EXPECT_EQ(visibleWindows(QString::fromLatin1(kMainWindowTitle)),
              std::vector<WindowId>{*window});
}

TEST_F(ProgramCapture, TheActiveWindowModeSwapsTheTwoForms) {
    ManagedWindow probe(QStringLiteral("400x300+100+200"));
    ASSERT_NE(probe.id(), 0u);
    app.chooseFromTrayMenu(3);  // "Open"
    const auto window = waitForMainWindow(app);
    ASSERT_TRUE(window.has_value());
    // Options, "Define Hotkey Function", "Hotkey = ( Active Window ) ...".
    chooseFromMenuBar(*window, 1, {2, 2});
    ASSERT_TRUE(hideMainWindow(app));

    probe.activate();
    const QRect frame = frameGeometry(probe.id());
    QImage screen = independentScreenshot();
    QImage picture = captureWith(app, QStringLiteral("Print"));
    EXPECT_EQ(picture.size(), frame.size());
    EXPECT_TRUE(samePixels(picture, screen.copy(frame)));
    ASSERT_TRUE(hideMainWindow(app));

    probe.activate();
    screen = independentScreenshot();
    picture = captureWith(app, QStringLiteral("alt+Print"));
    EXPECT_EQ(picture.size(), kScreen);
    EXPECT_TRUE(samePixels(picture, screen));
}

TEST_F(ProgramCapture, SuspendReleasesPrintScreenButKeepsOtherKeys) {
    OtherClient other;
    EXPECT_FALSE(otherClientCanGrab(other, kPrintKeysym, 0));
    EXPECT_FALSE(otherClientCanGrab(other, kPrintKeysym, kAlt));

    app.chooseFromTrayMenu(5);  // "Suspend"
    EXPECT_TRUE(waitUntil([&] { return otherClientCanGrab(other, kPrintKeysym, 0); }, 5000));
    EXPECT_TRUE(otherClientCanGrab(other, kPrintKeysym, kAlt));
    press(QStringLiteral("Print"));
    EXPECT_TRUE(staysHidden(app));

    app.chooseFromTrayMenu(5);  // resume
    EXPECT_TRUE(waitUntil([&] { return !otherClientCanGrab(other, kPrintKeysym, 0); }, 5000));
    EXPECT_FALSE(otherClientCanGrab(other, kPrintKeysym, kAlt));
    EXPECT_EQ(captureWith(app, QStringLiteral("Print")).size(), kScreen);

    // With F8 as the key, suspending keeps the grab and swallows the key.
    const auto window = app.mainWindow();
    ASSERT_TRUE(window.has_value());
    chooseFromMenuBar(*window, 1, {1, 9});  // Options, "Define Hotkey", "F8"
    ASSERT_TRUE(hideMainWindow(app));
    EXPECT_TRUE(otherClientCanGrab(other, kPrintKeysym, 0));
    EXPECT_FALSE(otherClientCanGrab(other, kF8Keysym, 0));
    app.chooseFromTrayMenu(5);
    waitUntil([] { return false; }, 500);
    EXPECT_FALSE(otherClientCanGrab(other, kF8Keysym, 0));
    EXPECT_FALSE(otherClientCanGrab(other, kF8Keysym, kAlt));
    press(QStringLiteral("F8"));
    EXPECT_TRUE(staysHidden(app));
    app.chooseFromTrayMenu(5);
    waitUntil([] { return false; }, 500);
    EXPECT_EQ(captureWith(app, QStringLiteral("F8")).size(), kScreen);
}

TEST_F(ProgramCapture, WithoutAPrinterADirectPrintLeavesTheKeyWorking) {
    // This desktop has no print server: a direct print has nowhere to go and ends at once.
    app.chooseFromTrayMenu(6);  // "Print the Picture Directly  ( No Dialog )"
    for (const QColor colour : {QColor(0x20, 0x90, 0x40), QColor(0x90, 0x20, 0x60)}) {
        ASSERT_EQ(run("xsetroot", {"-solid", colour.name()}).exitCode, 0);
        press(QStringLiteral("Print"));
        EXPECT_TRUE(waitUntil(
            [&] {
                const QImage picture = clipboardPng();
                return picture.size() == kScreen && QColor(picture.pixel(960, 400)) == colour;
            },
            8000))
            << "the capture of " << colour.name().toStdString() << " did not reach the clipboard";
        EXPECT_TRUE(staysHidden(app, 500));
    }
}
