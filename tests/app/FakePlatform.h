#pragma once

#include <QSize>
#include <functional>
#include <optional>
#include <string>

#include "platform/Identity.h"
#include "platform/InstanceLock.h"
#include "platform/PlatformServices.h"
#include "tests/support/FakeClipboard.h"
#include "tests/support/FakeHotkeys.h"
#include "tests/support/FakeLog.h"
#include "tests/support/FakeScreen.h"
#include "tests/support/RecordingLauncher.h"
#include "tests/support/RecordingPrinter.h"
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

    Log log;           // registrations, grabs, sounds, beeps, clipboard traffic
    CallLog printLog;  // the printer layer's calls
    Recorder tray;     // the notification area's calls
    LockRecord lock;
    CommandChannel::Handler commandHandler;  // set once the window listens for commands

    FakeHotkeys* hotkeys = nullptr;
    FakeScreen* screen = nullptr;
    FakeClipboard* clipboard = nullptr;
    RecordingPrinterLayer* printer = nullptr;
    RecordingLauncher* launcher = nullptr;

private:
    QSize screenSize_;
};

}  // namespace varnoset::test
