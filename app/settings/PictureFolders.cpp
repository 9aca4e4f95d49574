#include "app/settings/PictureFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "app/settings/TempFolderPath.h"

namespace varnoset {

namespace {

QString withSlash(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// Only compared: opening a dialog makes no folder.
bool isPrivateTemporaryFolder(const QString& folder) {
    const QString own =
        QFileInfo(QString::fromStdString(privateTempFolderName())).canonicalFilePath();
    return !own.isEmpty() && QFileInfo(folder).canonicalFilePath() == own;
}

}  // namespace

QString picturesFolder() {
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return withSlash(!pictures.isEmpty() && QFileInfo(pictures).isDir() ? pictures
                                                                        : QDir::homePath());
}

QString pictureDialogFolder(const QString& stored) {
    if (!stored.isEmpty() && QFileInfo(stored).isDir() && !isPrivateTemporaryFolder(stored)) {
        return stored;
    }
    return picturesFolder();
}

}  // namespace varnoset
