#include "tests/app/FakePlatform.h"

#include <memory>

#include "core/Error.h"
#include "imaging/PixelConversion.h"

namespace varnoset::test {

bool FakeInstanceLock::acquire(const std::string& name) {
    record_.name = name;
    if (record_.heldElsewhere) {
        return false;
    }
    ++record_.acquired;
    return true;
}

bool PressableHotkeys::press(int id) {
    if (!handler_) {
        return false;
    }
    handler_(id);
    return true;
}

void FakeClipboard::setPicture(const Picture& picture) {
    log_.add(QStringLiteral("clipboard set"));
    ++pictureSets;
    held = picture;
}

Picture FakeClipboard::picture() const {
    log_.add(QStringLiteral("clipboard read"));
    if (!held) {
        throw Error("Unsupported clipboard format");
    }
    Picture copy = *held;
    convertPixelFormat(copy, PixelFormat::Device);
    return copy;
}

PlatformServices FakePlatform::services() {
    auto hotkeysFake = std::make_unique<PressableHotkeys>(log);
    auto screenFake = std::make_unique<capture_fakes::FakeScreen>(log, screenSize_);
    auto clipboardFake = std::make_unique<FakeClipboard>(log);
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
    services.screen = std::move(screenFake);
    services.hotkeys = std::move(hotkeysFake);
    services.activeWindow = std::make_unique<capture_fakes::FakeActiveWindow>();
    services.sound = std::make_unique<capture_fakes::FakeSound>(log);
    services.clipboard = std::move(clipboardFake);
    services.printerLayer = std::move(printerFake);
    services.launcher = std::move(launcherFake);
    services.commands = std::make_unique<FakeCommandChannel>(commandHandler);
    return services;
}

}  // namespace varnoset::test
