// Suspending from the tray lets another program have the Print key: it takes the key and really
// receives the press, also after the tray's "Print the Desktop" has printed; once it lets go and
// the program is resumed from the tray, Print captures again. The tray's tooltip, read from the
// screen, follows each step.
#include <gtest/gtest.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <QColor>
#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "tests/scenarios/ScenarioSupport.h"
#include "tests/support/CaptureDesktopSupport.h"
#include "tests/support/CupsQueue.h"
#include "tests/support/DesktopSupport.h"
#include "tests/support/WaitUntil.h"

using namespace desktop;
using namespace scenario;
using capture_desktop::clipboardPng;
using varnoset::test::CupsQueue;
using varnoset::test::waitUntil;

namespace {

constexpr xcb_keysym_t kPrintKeysym = 0xff61;

// Another program that wants the Print key: it grabs it on the root window and reads the key
// presses it gets.
class KeyListener {
public:
    KeyListener()
        : connection_(xcb_connect(nullptr, nullptr)),
          root_(xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root),
          symbols_(xcb_key_symbols_alloc(connection_)) {
        if (xcb_keycode_t* list = xcb_key_symbols_get_keycode(symbols_, kPrintKeysym)) {
            for (xcb_keycode_t* c = list; *c != XCB_NO_SYMBOL; ++c) {
                keycodes_.push_back(*c);
            }
            std::free(list);
        }
    }
    ~KeyListener() {
        ungrab();
        xcb_key_symbols_free(symbols_);
        xcb_disconnect(connection_);
    }
    KeyListener(const KeyListener&) = delete;
    KeyListener& operator=(const KeyListener&) = delete;

    // Whether every keycode of Print could be taken (another client holding it refuses).
    bool grab() {
        bool all = !keycodes_.empty();
        for (const xcb_keycode_t code : keycodes_) {
            xcb_generic_error_t* error = xcb_request_check(
                connection_, xcb_grab_key_checked(connection_, 1, root_, 0, code,
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
            if (error != nullptr) {
                all = false;
                std::free(error);
            }
        }
        return all;
    }
    // Lets go of every keycode (also of those a partly refused grab took).
    void ungrab() {
        for (const xcb_keycode_t code : keycodes_) {
            xcb_ungrab_key(connection_, code, root_, 0);
        }
        xcb_flush(connection_);
    }
    // Waits for a press of Print to arrive.
    bool waitForPress(int timeoutMs) {
        return waitUntil(
            [this] {
                while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
                    const bool press = (event->response_type & 0x7f) == XCB_KEY_PRESS;
                    const auto* keyEvent = reinterpret_cast<xcb_key_press_event_t*>(event);
                    const bool print = press && std::find(keycodes_.begin(), keycodes_.end(),
                                                          keyEvent->detail) != keycodes_.end();
                    std::free(event);
                    if (print) {
                        return true;
                    }
                }
                return false;
            },
            timeoutMs);
    }

private:
    xcb_connection_t* connection_;
    xcb_window_t root_;
    xcb_key_symbols_t* symbols_;
    std::vector<xcb_keycode_t> keycodes_;
};

}  // namespace

TEST(ScenarioSuspend, SuspendedTheKeyBelongsToAnotherProgramResumedItCapturesAgain) {
    PrivateConfigHome config;
    const QColor background(0x40, 0x90, 0x70);
    ASSERT_EQ(run("xsetroot", {"-solid", background.name()}).exitCode, 0);

    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();
    KeyListener other;
    EXPECT_FALSE(other.grab());  // the program holds Print

    app.chooseFromTrayMenu(5);  // "Suspend"
    ASSERT_TRUE(waitUntil([&] { return other.grab(); }, 10000));
    QString tip = app.readTrayToolTip().simplified();
    EXPECT_TRUE(tip.contains(QStringLiteral("Suspended"))) << tip.toStdString();
    EXPECT_FALSE(tip.contains(QStringLiteral("Press"))) << tip.toStdString();

    // The press goes to the other program; the program stays hidden.
    run("xdotool", {"key", "Print"});
    EXPECT_TRUE(other.waitForPress(10000));
    EXPECT_FALSE(waitUntil([&] { return app.mainWindow().has_value(); }, 1500));

    // "Print the Desktop" prints while suspended, without the window, and leaves the key to the
    // other program.
    const int before = CupsQueue::completedJobs();
    app.chooseFromTrayMenu(1);  // "Print the Desktop"
    ASSERT_TRUE(waitForPrintedJob(before)) << app.output().toStdString();
    EXPECT_FALSE(app.mainWindow().has_value());
    const QImage page = renderPrintedPage(50);
    int desktop = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QRgb c = page.pixel(x, y);
            desktop += std::abs(qRed(c) - background.red()) <= 12 &&
                               std::abs(qGreen(c) - background.green()) <= 12 &&
                               std::abs(qBlue(c) - background.blue()) <= 12
                           ? 1
                           : 0;
        }
    }
    EXPECT_GT(desktop, page.width() * page.height() / 10);
    run("xdotool", {"key", "Print"});
    EXPECT_TRUE(other.waitForPress(10000));
    EXPECT_FALSE(waitUntil([&] { return app.mainWindow().has_value(); }, 1500));

    // The other program lets go; resumed, the program holds the key again and Print captures.
    other.ungrab();
    app.chooseFromTrayMenu(5);  // "Suspend" again: resume
    EXPECT_TRUE(waitUntil(
        [&] {
            if (!other.grab()) {
                return true;
            }
            other.ungrab();
            return false;
        },
        10000));
    tip = app.readTrayToolTip().simplified();
    EXPECT_TRUE(tip.contains(QStringLiteral("Press PrintScreen"))) << tip.toStdString();
    run("xdotool", {"key", "Print"});
    ASSERT_TRUE(app.waitForMainWindow().has_value()) << app.output().toStdString();
    const QImage picture = clipboardPng();
    ASSERT_EQ(picture.size(), QSize(1920, 1080));
    EXPECT_EQ(QColor(picture.pixel(400, 400)), background);

    app.terminate();
    app.waitForExit();
}
