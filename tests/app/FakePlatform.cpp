#include "tests/app/FakePlatform.h"

#include <memory>

#include "tests/support/FakeSound.h"

namespace varnoset::test {

bool FakeInstanceLock::acquire(const std::string& name) {
    record_.name = name;
    if (record_.heldElsewhere) {
        return false;
    }
    ++record_.acquired;
    return true;
}

PlatformServices FakePlatform::services() {
    auto hotkeysFake = std::make_unique<FakeHotkeys>(log);
    auto screenFake = std::make_unique<FakeScreen>(log, screenSize_);
    auto clipboardFake = std::make_unique<FakeClipboard>(log, PixelFormat::Device);
    auto printerFake = std::make_unique<RecordingPrinterLayer>(printLog);
    auto launcherFake = std::make_unique<RecordingLauncher>();
    hotkeys = hotkeysFake.get();
    screen = screenFake.get();
    clipboard = clipboardFake.get();
    printer = printerFake.get();
    launcher = launcherFake.get();

    PlatformServices services;
    services.instanceLock = std::make_unique<FakeInstanceLock>(lock);
    services.identity = std::make_unique<FakeIdentity>();
    services.trayShell = std::make_unique<RecordingShell>(tray);
    services.notifications = std::make_unique<RecordingNotifications>(tray);
    services.screen = std::move(screenFake);
    services.hotkeys = std::move(hotkeysFake);
    services.activeWindow = std::make_unique<FakeActiveWindow>();
    services.sound = std::make_unique<FakeSound>(log);
    services.clipboard = std::move(clipboardFake);
    services.printerLayer = std::move(printerFake);
    services.launcher = std::move(launcherFake);
    services.commands = std::make_unique<FakeCommandChannel>(commandHandler);
    return services;
}

}  // namespace varnoset::test
