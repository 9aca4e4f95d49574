#pragma once

#include "platform/Launcher.h"

namespace varnoset {

// Opens a file with the application the desktop associates with its MIME type, chosen and started
// by GIO as the desktop itself does: its mimeapps.list files (the desktop's own ones included),
// D-Bus activation and Terminal= entries. The application is started without waiting for it.
class GioLauncher final : public Launcher {
public:
    bool openWithDefault(const QString& path, const QString& mimeType) override;
};

}  // namespace varnoset
