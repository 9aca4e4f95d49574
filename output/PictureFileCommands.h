#pragma once

#include <QString>

#include "imaging/Picture.h"

namespace varnoset {

class Clipboard;

// What the user confirmed in a picture dialog: the full file name and the position of the
// chosen filter, counted from 1.
struct ChosenPictureFile {
    QString fileName;
    int filterIndex = 1;
};

// The logic of the Load, Save, Copy and Paste commands between the dialogs and the pictures.
// A command that fails throws varnoset::Error and changes nothing: the picture, the clipboard
// and the remembered folder stay as they were.
class PictureFileCommands {
public:
    explicit PictureFileCommands(Clipboard& clipboard) : clipboard_(clipboard) {}

    // Reads the chosen file into source (decoded into a new picture first) and puts it on the
    // clipboard; loadFolder becomes the file's folder. Returns false for an extension that is
    // none of ".bmp", ".jpg", ".jpeg" (the caller says "Can Not read file type"); source is then
    // unchanged but loadFolder still updated.
    bool load(const QString& fileName, int displayBitsPerPixel, Picture& source,
              QString& loadFolder);

    // Saves the picture under the chosen name after the filter's extension fix-up, as JPEG or
    // BMP by the resulting extension, and returns the message to show ("Picture successfuly
    // saved as .JPG"). saveFolder becomes the folder of the saved file. The returned name is
    // the one written.
    struct Saved {
        QString fileName;
        QString message;
    };
    Saved save(const ChosenPictureFile& chosen, const Picture& picture, QString& saveFolder);

    void copy(const Picture& picture);

    // Replaces source by the clipboard's picture. Returns false when the clipboard offers no
    // picture (the caller beeps and says "There is no Picture on the Clipboard"). Throws
    // varnoset::Error("Unsupported clipboard format") when the offered picture cannot be read.
    bool paste(Picture& source);

private:
    Clipboard& clipboard_;
};

}  // namespace varnoset
