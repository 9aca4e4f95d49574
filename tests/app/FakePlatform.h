#pragma once

#include <QSize>
#include <functional>
#include <optional>
#include <string>

#include "platform/Clipboard.h"
#include "platform/Hotkeys.h"
#include "platform/Identity.h"
#include "platform/InstanceLock.h"
#include "platform/PlatformServices.h"
#include "tests/capture/CaptureFakes.h"
#include "tests/output/RecordingPrinter.h"
#include "tests/support/RecordingLauncher.h"
#include "tests/support/RecordingTrayShell.h"

namespace varnoset::test {

// What the single-instance lock saw; kept by the test, so it outlives the window.
struct LockRecord {
    bool heldElsewhere = false;  // another copy runs: acquire() refuses
    std::string name;
    int acquired = 0;
    int released = 0;
};

class FakeInstanceLock final : public InstanceLock {
public:
    explicit FakeInstanceLock(LockRecord& record) : record_(record) {}
    bool acquire(const std::string& name) override;
    void release() override { ++record_.released; }

private:
    LockRecord& record_;
};

// A user and a computer whose system cannot be told.
class FakeIdentity final : public Identity {
public:
    std::optional<std::string> userName() const override { return "tester"; }
    std::optional<std::string> computerName() const override { return "testhost"; }
    std::optional<std::string> osName() const override { return std::nullopt; }
};

// Records the registrations like the capture tests' fake and lets the test press a hotkey: the
// press reaches the handler the window installed, as a key grab's event would.
class PressableHotkeys final : public Hotkeys {
public:
    explicit PressableHotkeys(capture_fakes::Log& log) : recorded(log) {}
    void registerHotkey(int id, Modifier modifier, std::uint32_t keySymbol) override {
        recorded.registerHotkey(id, modifier, keySymbol);
    }
    void unregisterHotkey(int id) override { recorded.unregisterHotkey(id); }
    void setHandler(std::function<void(int)> handler) override { handler_ = std::move(handler); }
    bool isHeld(int id) const override { return recorded.isHeld(id); }
    void retryRefused() override { recorded.retryRefused(); }
    void setHeldChangedHandler(std::function<void()> handler) override {
        recorded.setHeldChangedHandler(std::move(handler));
    }
    // False when no handler is installed, so nothing could have been delivered.
    bool press(int id);

    capture_fakes::FakeHotkeys recorded;

private:
    std::function<void(int)> handler_;
};

// Holds one picture and reads it back in the display's format, as the desktop's clipboard does
// for a capture.
class FakeClipboard final : public Clipboard {
public:
    explicit FakeClipboard(capture_fakes::Log& log) : log_(log) {}
    void setPicture(const Picture& picture) override;
    bool hasPicture() const override { return held.has_value(); }
    Picture picture() const override;

    std::optional<Picture> held;  // empty: nothing on the clipboard
    int pictureSets = 0;

private:
    capture_fakes::Log& log_;
};

// Keeps the handler the window listens with, so a test can hand it messages.
class FakeCommandChannel final : public CommandChannel {
public:
    explicit FakeCommandChannel(CommandChannel::Handler& kept) : kept_(kept) {}
    bool listen(const std::string&, Handler handler) override {
        kept_ = std::move(handler);
        return true;
    }

private:
    CommandChannel::Handler& kept_;
};

// Every seam of the main window, faked and recording. The logs and records belong to this
// object and outlive the window; the pointers reach the fakes the window owns while it lives.
class FakePlatform {
public:
    // The fake screen shows a picture of this size whose pixels tell their position.
    explicit FakePlatform(QSize screenSize = {40, 30}) : screenSize_(screenSize) {}

    // The seams for one main window.
    PlatformServices services();

    capture_fakes::Log log;  // registrations, grabs, sounds, beeps, clipboard traffic
    CallLog printLog;        // the printer layer's calls
    Recorder tray;           // the notification area's calls
    LockRecord lock;
    CommandChannel::Handler commandHandler;  // set once the window listens for commands

    PressableHotkeys* hotkeys = nullptr;
    capture_fakes::FakeScreen* screen = nullptr;
    FakeClipboard* clipboard = nullptr;
    RecordingPrinterLayer* printer = nullptr;
    RecordingLauncher* launcher = nullptr;

private:
    QSize screenSize_;
};

}  // namespace varnoset::test
