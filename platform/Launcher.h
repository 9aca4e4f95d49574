#pragma once

#include <QString>

namespace varnoset {

// The desktop's "open this file" service.
class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts the application the desktop associates with the MIME type on the file, without
    // waiting for it. False when no application is associated or it cannot be started.
    virtual bool openWithDefault(const QString& path, const QString& mimeType) = 0;
};

}  // namespace varnoset
