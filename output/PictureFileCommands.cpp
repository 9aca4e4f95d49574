#include "output/PictureFileCommands.h"

#include "output/PictureFileNames.h"
#include "output/PictureFiles.h"
#include "platform/Clipboard.h"

namespace varnoset {

bool PictureFileCommands::load(const QString& fileName, int displayBitsPerPixel, Picture& source,
                               QString& loadFolder) {
    const auto type = pictureFileType(fileName);
    if (type) {
        Picture loaded = loadPictureFile(fileName, *type, displayBitsPerPixel);
        clipboard_.setPicture(loaded);
        source = std::move(loaded);
    }
    loadFolder = folderOf(fileName);
    return type.has_value();
}

PictureFileCommands::Saved PictureFileCommands::save(const ChosenPictureFile& chosen,
                                                     const Picture& picture, QString& saveFolder) {
    const SaveName name = fixUpSaveName(chosen.fileName, chosen.filterIndex);
    // After the fix-up the extension is always one of the three.
    savePictureFile(picture, name.fileName, *pictureFileType(name.fileName));
    saveFolder = folderOf(name.fileName);
    return {name.fileName, savedMessage(name.extension)};
}

void PictureFileCommands::copy(const Picture& picture) {
    clipboard_.setPicture(picture);
}

bool PictureFileCommands::paste(Picture& source) {
    if (!clipboard_.hasPicture()) {
        return false;
    }
    source = clipboard_.picture();
    return true;
}

}  // namespace varnoset
