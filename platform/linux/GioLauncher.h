#pragma once

#include <memory>

#include "platform/Launcher.h"

namespace varnoset {

struct GioLibrary;

// Opens a file with the application the desktop associates with its MIME type, chosen and started
// by GIO as the desktop itself does: its mimeapps.list files (the desktop's own ones included),
// D-Bus activation and Terminal= entries. The application is started without waiting for it. GIO
// is loaded at the first hand-off: a program that waits in the tray all day does not hold it.
class GioLauncher final : public Launcher {
public:
    GioLauncher();
    ~GioLauncher() override;

    bool openWithDefault(const QString& path, const QString& mimeType) override;

private:
    std::unique_ptr<GioLibrary> library_;
};

}  // namespace varnoset
