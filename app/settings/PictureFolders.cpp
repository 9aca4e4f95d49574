#include "app/settings/PictureFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "app/settings/TempFolderPath.h"
#include "core/Error.h"

namespace varnoset {

namespace {

QString withSlash(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

bool isPrivateTemporaryFolder(const QString& folder) {
    try {
        return QFileInfo(folder).canonicalFilePath() ==
               QFileInfo(QString::fromStdString(TempFolderPath())).canonicalFilePath();
    } catch (const Error&) {
        return false;  // no private folder: it cannot be this one
    }
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
