#pragma once

#include <QString>

namespace varnoset {

// The user's pictures folder (XDG_PICTURES_DIR of the desktop's user folders, ~/Pictures by
// default) with a trailing slash, or the home folder where that folder does not exist.
QString picturesFolder();

// The folder a picture dialog opens in: the stored folder while it exists, else the pictures
// folder. The private temporary folder, where earlier versions sent the dialogs at first and
// which the system empties at boot, counts as no folder.
QString pictureDialogFolder(const QString& stored);

}  // namespace varnoset
