#pragma once

#include <memory>

#include "platform/ActiveWindow.h"
#include "platform/Clipboard.h"
#include "platform/CommandChannel.h"
#include "platform/DesktopShortcuts.h"
#include "platform/Hotkeys.h"
#include "platform/Identity.h"
#include "platform/InstanceLock.h"
#include "platform/Launcher.h"
#include "platform/Notifications.h"
#include "platform/PrinterLayer.h"
#include "platform/Screen.h"
#include "platform/Sound.h"
#include "platform/TrayShell.h"

namespace varnoset {

// Every seam to the desktop, chosen once at start-up (the Linux set by makeLinuxPlatform()).
struct PlatformServices {
    std::unique_ptr<InstanceLock> instanceLock;
    std::unique_ptr<Identity> identity;
    std::unique_ptr<TrayShell> trayShell;
    std::unique_ptr<Notifications> notifications;
    std::unique_ptr<Screen> screen;
    std::unique_ptr<Hotkeys> hotkeys;
    std::unique_ptr<ActiveWindow> activeWindow;
    std::unique_ptr<Sound> sound;
    std::unique_ptr<Clipboard> clipboard;
    std::unique_ptr<PrinterLayer> printerLayer;
    std::unique_ptr<Launcher> launcher;
    std::unique_ptr<CommandChannel> commands;
    std::unique_ptr<DesktopShortcuts> desktopShortcuts;  // an unknown desktop's says so by known()
};

}  // namespace varnoset
