#include "LinuxPlatform.h"

#include "CanberraSound.h"
#include "FlockInstanceLock.h"
#include "GioLauncher.h"
#include "LocalCommandServer.h"
#include "PosixIdentity.h"
#include "QtClipboard.h"
#include "QtPrinterLayer.h"
#include "QtTrayShell.h"
#include "XcbActiveWindow.h"
#include "XcbHotkeys.h"
#include "XcbScreen.h"

namespace varnoset {

PlatformServices makeLinuxPlatform() {
    PlatformServices services;
    services.instanceLock = std::make_unique<FlockInstanceLock>();
    services.identity = std::make_unique<PosixIdentity>();
    services.trayShell = std::make_unique<QtTrayShell>();
    services.screen = std::make_unique<XcbScreen>();
    services.hotkeys = std::make_unique<XcbHotkeys>();
    services.activeWindow = std::make_unique<XcbActiveWindow>();
    services.sound = std::make_unique<CanberraSound>();
    services.clipboard = std::make_unique<QtClipboard>();
    services.printerLayer = std::make_unique<QtPrinterLayer>();
    services.launcher = std::make_unique<GioLauncher>();
    services.commands = std::make_unique<LocalCommandServer>();
    return services;
}

}  // namespace varnoset
