#pragma once

#include "PlatformServices.h"

namespace varnoset {

// The seams as they are on a Linux X11 desktop.
PlatformServices makeLinuxPlatform();

}  // namespace varnoset
