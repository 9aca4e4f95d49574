#include "LinuxPlatform.h"

#include "FlockInstanceLock.h"
#include "PosixIdentity.h"
#include "QtTrayShell.h"

namespace varnoset {

PlatformServices makeLinuxPlatform() {
    PlatformServices services;
    services.instanceLock = std::make_unique<FlockInstanceLock>();
    services.identity = std::make_unique<PosixIdentity>();
    services.trayShell = std::make_unique<QtTrayShell>();
    return services;
}

}  // namespace varnoset
