#include "output/EditorHandoff.h"

#include "core/ReplacingFile.h"
#include "output/BmpWriter.h"
#include "platform/Launcher.h"

namespace varnoset {

QString EditorHandoff::writeEditFile(const Picture& picture, const QString& tempFolder) const {
    const QString path = editFilePath(tempFolder);
    writeFileReplacing(path.toStdString(), BmpWriter(picture).pieces());
    return path;
}

bool EditorHandoff::openEditor(const QString& path) const {
    return launcher_.openWithDefault(path, QStringLiteral("image/bmp"));
}

}  // namespace varnoset
