#pragma once

#include "platform/PlatformServices.h"
#include "platform/linux/DisplayServer.h"

namespace varnoset {

// The seams as they are on a Linux desktop: an X11 one, or a Wayland session where the screen
// is read through the desktop portal and the keys are the desktop's own shortcuts.
PlatformServices makeLinuxPlatform(DisplayServer server = DisplayServer::X11);

}  // namespace varnoset
