#include "platform/linux/LinuxPlatform.h"

#include "platform/linux/CanberraSound.h"
#include "platform/linux/DesktopBoundHotkeys.h"
#include "platform/linux/DesktopShortcutsChoice.h"
#include "platform/linux/FlockInstanceLock.h"
#include "platform/linux/FreedesktopNotifications.h"
#include "platform/linux/GioLauncher.h"
#include "platform/linux/LocalCommandServer.h"
#include "platform/linux/PortalScreen.h"
#include "platform/linux/PosixIdentity.h"
#include "platform/linux/QtClipboard.h"
#include "platform/linux/QtPrinterLayer.h"
#include "platform/linux/QtTrayShell.h"
#include "platform/linux/UnlocatableActiveWindow.h"
#include "platform/linux/WaylandClipboard.h"
#include "platform/linux/XcbActiveWindow.h"
#include "platform/linux/XcbHotkeys.h"
#include "platform/linux/XcbScreen.h"

namespace varnoset {

PlatformServices makeLinuxPlatform(DisplayServer server) {
    PlatformServices services;
    services.instanceLock = std::make_unique<FlockInstanceLock>();
    services.identity = std::make_unique<PosixIdentity>();
    services.sound = std::make_unique<CanberraSound>();
    services.printerLayer = std::make_unique<QtPrinterLayer>();
    services.launcher = std::make_unique<GioLauncher>();
    services.commands = std::make_unique<LocalCommandServer>();
    services.desktopShortcuts = makeDesktopShortcuts();
    services.notifications = std::make_unique<FreedesktopNotifications>();
    services.trayShell = std::make_unique<QtTrayShell>();
    if (server == DisplayServer::Wayland) {
        services.screen = std::make_unique<PortalScreen>();
        services.hotkeys = std::make_unique<DesktopBoundHotkeys>();
        services.activeWindow = std::make_unique<UnlocatableActiveWindow>();
        services.clipboard = std::make_unique<WaylandClipboard>();
        return services;
    }
    services.screen = std::make_unique<XcbScreen>();
    services.hotkeys = std::make_unique<XcbHotkeys>();
    services.activeWindow = std::make_unique<XcbActiveWindow>();
    services.clipboard = std::make_unique<QtClipboard>();
    return services;
}

}  // namespace varnoset
