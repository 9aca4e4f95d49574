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

// The main window's flags, options and commands.
class FakeHost final : public varnoset::CaptureHost {
public:
    explicit FakeHost(Log& log) : log_(log) {}

    bool armed = true;
    bool processing = false;
    std::uint8_t key = 44;
    int function = 0;
    bool sound = false;
    bool client = false;
    bool direct = false;
    bool suspend1 = false;
    bool suspend2 = false;
    Picture source{3, 2, PixelFormat::Device};
    int shows = 0;
    int prints = 0;
    int edits = 0;
    bool visible = true;
    std::optional<bool> processingWhilePrinting;
    std::function<void()> onPrint;
    std::function<void()> onShow;  // showing the window fails when it throws

    bool hotkeyArmed() const override { return armed; }
    void setHotkeyArmed(bool a) override {
        log_.add(a ? QStringLiteral("armed") : QStringLiteral("disarmed"));
        armed = a;
    }
    void setProcessingEnabled(bool enabled) override {
        log_.add(enabled ? QStringLiteral("processing on") : QStringLiteral("processing off"));
        processing = enabled;
    }
    std::uint8_t hotkey() const override { return key; }
    void setHotkey(std::uint8_t k) override { key = k; }
    int hotkeyFunction() const override { return function; }
    void setHotkeyFunction(int mode) override { function = mode; }
    bool soundChecked() const override { return sound; }
    bool clientChecked() const override { return client; }
    bool directChecked() const override { return direct; }
    void setDirectChecked(bool checked) override { direct = checked; }
    bool toggleSuspendChecks() override {
        suspend2 = !suspend2;
        suspend1 = !suspend1;
        return suspend1;
    }
    const Picture& sourcePicture() const override { return source; }
    void setSourcePicture(Picture picture) override { source = std::move(picture); }
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
    void rearmHotkeyIfHidden() override {
        if (!visible) {
            armed = !suspend1;
        }
    }
    void setImageOptions() override { log_.add(QStringLiteral("image options")); }
    void printPicture() override {
        log_.add(QStringLiteral("print"));
        processingWhilePrinting = processing;
        ++prints;
        if (onPrint) {
            onPrint();
        }
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
};

}  // namespace capture_fakes
