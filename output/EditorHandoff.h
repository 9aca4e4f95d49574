#pragma once

#include <QString>

#include "imaging/Picture.h"

namespace varnoset {

class Launcher;

// "Edit Picture": the shown picture goes to a BMP file in the temporary folder, which the
// application the desktop associates with BMP pictures then opens. The file stays after the
// program ends; the next hand-off overwrites it.
class EditorHandoff {
public:
    explicit EditorHandoff(Launcher& launcher) : launcher_(launcher) {}

    static QString fileName() { return QStringLiteral("~MyBitmap.bmp"); }
    // The edit file in the folder.
    static QString editFilePath(const QString& tempFolder) {
        return tempFolder.endsWith(QLatin1Char('/')) ? tempFolder + fileName()
                                                     : tempFolder + QLatin1Char('/') + fileName();
    }

    // Writes the picture as the edit file in its own pixel format and returns its path. A link
    // planted at that name is replaced, never followed. Throws varnoset::Error when the file
    // cannot be written.
    QString writeEditFile(const Picture& picture, const QString& tempFolder) const;

    // Starts the BMP application on the file; false when there is none or it does not start.
    bool openEditor(const QString& path) const;

private:
    Launcher& launcher_;
};

}  // namespace varnoset
