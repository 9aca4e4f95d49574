#pragma once

#include <memory>

#include "Identity.h"
#include "InstanceLock.h"
#include "TrayShell.h"

namespace varnoset {

// Every seam to the desktop, chosen once at start-up (the Linux set by makeLinuxPlatform()).
struct PlatformServices {
    std::unique_ptr<InstanceLock> instanceLock;
    std::unique_ptr<Identity> identity;
    std::unique_ptr<TrayShell> trayShell;
};

}  // namespace varnoset
