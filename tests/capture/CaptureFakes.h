#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

#include "capture/CaptureHost.h"
#include "capture/WindowState.h"
#include "core/Error.h"
#include "imaging/Picture.h"
#include "tests/support/FakeClipboard.h"
#include "tests/support/FakeHotkeys.h"
#include "tests/support/FakeLog.h"
#include "tests/support/FakeScreen.h"
#include "tests/support/FakeSound.h"

// The capture tests' stand-ins: the desktop's, shared with the window's tests, and the main
// window, all writing into one shared log so that tests can check the order in which a capture
// does things.
namespace capture_fakes {

using varnoset::Picture;
using varnoset::PixelFormat;
using varnoset::test::FakeActiveWindow;
using varnoset::test::FakeClipboard;
using varnoset::test::FakeHotkeys;
using varnoset::test::FakeScreen;
using varnoset::test::FakeSound;
using varnoset::test::Log;
using varnoset::test::screenPixels;

// The main window's commands, over the window's state that the capture dispatch works on.
class FakeHost final : public varnoset::CaptureHost {
public:
    FakeHost(Log& log, varnoset::WindowState& state) : log_(log), state_(state) {}

    bool suspended = false;  // Suspend1's check mark
    int shows = 0;
    int prints = 0;
    int edits = 0;
    bool visible = true;
    bool printer = true;  // a printer to print on
    std::optional<bool> processingWhilePrinting;
    std::function<void()> onPrint;
    std::function<void()> onShow;  // showing the window fails when it throws

    void showMainWindow() override {
        log_.add(QStringLiteral("show"));
        if (onShow) {
            onShow();
        }
        visible = true;
        ++shows;
    }
    void hideMainWindow() override {
        log_.add(QStringLiteral("hide"));
        visible = false;
    }
    bool mainWindowShown() const override { return visible; }
    void rearmHotkeyIfHidden() override {
        if (!visible) {
            state_.HotkeyArmed = !suspended;
        }
    }
    void setImageOptions() override {
        log_.add(state_.ProcessingEnabled ? QStringLiteral("image options")
                                          : QStringLiteral("image options, processing off"));
    }
    bool printPicture() override {
        log_.add(QStringLiteral("print"));
        processingWhilePrinting = state_.ProcessingEnabled;
        ++prints;
        if (onPrint) {
            onPrint();
        }
        return printer;
    }
    void editPicture() override {
        log_.add(QStringLiteral("edit"));
        ++edits;
    }
    void notify(const QString& title, const QString&) override {
        log_.add(QStringLiteral("notify ") + title);
    }

private:
    Log& log_;
    varnoset::WindowState& state_;
};

}  // namespace capture_fakes
