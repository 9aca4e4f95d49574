#include "LinuxPlatform.h"

#include "CanberraSound.h"
#include "DesktopBoundHotkeys.h"
#include "FlockInstanceLock.h"
#include "GioLauncher.h"
#include "LocalCommandServer.h"
#include "PortalScreen.h"
#include "PosixIdentity.h"
#include "QtClipboard.h"
#include "QtPrinterLayer.h"
#include "QtTrayShell.h"
#include "UnlocatableActiveWindow.h"
#include "WaylandClipboard.h"
#include "XcbActiveWindow.h"
#include "XcbHotkeys.h"
#include "XcbScreen.h"

namespace varnoset {

namespace {

const char* const kNoTrayNotice =
    "varnoset: this session shows no tray icons (no StatusNotifierItem host); Varnoset keeps "
    "running: 'varnoset --open' shows its window, 'varnoset --help' lists the other commands.";

}  // namespace

PlatformServices makeLinuxPlatform(DisplayServer server) {
    PlatformServices services;
    services.instanceLock = std::make_unique<FlockInstanceLock>();
    services.identity = std::make_unique<PosixIdentity>();
    services.sound = std::make_unique<CanberraSound>();
    services.printerLayer = std::make_unique<QtPrinterLayer>();
    services.launcher = std::make_unique<GioLauncher>();
    services.commands = std::make_unique<LocalCommandServer>();
    if (server == DisplayServer::Wayland) {
        services.trayShell =
            std::make_unique<QtTrayShell>(nullptr, QString::fromUtf8(kNoTrayNotice));
        services.screen = std::make_unique<PortalScreen>();
        services.hotkeys = std::make_unique<DesktopBoundHotkeys>();
        services.activeWindow = std::make_unique<UnlocatableActiveWindow>();
        services.clipboard = std::make_unique<WaylandClipboard>();
        return services;
    }
    services.trayShell = std::make_unique<QtTrayShell>();
    services.screen = std::make_unique<XcbScreen>();
    services.hotkeys = std::make_unique<XcbHotkeys>();
    services.activeWindow = std::make_unique<XcbActiveWindow>();
    services.clipboard = std::make_unique<QtClipboard>();
    return services;
}

}  // namespace varnoset
