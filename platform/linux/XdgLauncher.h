#pragma once

#include <optional>

#include "Launcher.h"
#include "XdgDirectories.h"

namespace varnoset {

// Opens a file with the desktop's default application for its MIME type (see XdgMimeApps),
// started detached with the file as one argument, never through a shell.
class XdgLauncher final : public Launcher {
public:
    // Without folders the environment is read at every call.
    explicit XdgLauncher(std::optional<XdgDirectories> dirs = std::nullopt)
        : dirs_(std::move(dirs)) {}

    bool openWithDefault(const QString& path, const QString& mimeType) override;

private:
    std::optional<XdgDirectories> dirs_;
};

}  // namespace varnoset
