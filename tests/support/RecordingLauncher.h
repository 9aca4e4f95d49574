#pragma once

#include <QString>
#include <QStringList>

#include "platform/Launcher.h"

namespace varnoset::test {

// Records each file handed to the desktop's "open" service; answers with `result`.
class RecordingLauncher : public Launcher {
public:
    bool openWithDefault(const QString& path, const QString& mimeType) override {
        opened.append(path + " as " + mimeType);
        return result;
    }
    QStringList opened;
    bool result = true;
};

}  // namespace varnoset::test
