#pragma once

#include <QString>
#include <optional>

namespace varnoset {

enum class PictureFileType { Bmp, Jpeg, Png };

// The extension of a file name, from the last dot of its last component on, dot included, in
// lower case; empty when that component has no dot.
QString lowerExtension(const QString& fileName);

// The file type an extension decides: ".bmp" is BMP, ".jpg" and ".jpeg" are JPEG, ".png" is PNG,
// anything else none (the load command then says "Can Not read file type").
std::optional<PictureFileType> pictureFileType(const QString& fileName);

// A name for saving after the extension fix-up of the chosen filter, and its lower-case
// extension, which is then always ".bmp", ".jpg", ".jpeg" or ".png".
struct SaveName {
    QString fileName;
    QString extension;
};

// The save dialog's filters, counted from 1 as the dialog reports them.
enum SaveFilter { kAllPictures = 1, kJpgPictures = 2, kBmpPictures = 3, kPngPictures = 4 };

// The extension, without its dot, that the save dialog gives a name typed without one: the
// filter's own ("jpg" under JPG Pictures), "bmp" under All Pictures.
QString typedNameExtension(int filterIndex);

// Appends ".jpg" (All Pictures, JPG Pictures), ".bmp" (BMP Pictures) or ".png" (PNG Pictures) to
// the whole name when its extension is not one the filter admits; an existing extension stays in
// front (shot.bmp under JPG Pictures becomes shot.bmp.jpg). Any other filter number counts as
// All Pictures.
SaveName fixUpSaveName(const QString& fileName, int filterIndex);

// "Picture successfuly saved as " and the extension in upper case.
QString savedMessage(const QString& extension);

// The folder part of a file name with its trailing separator ("/pics/a.bmp" gives "/pics/").
QString folderOf(const QString& fileName);

}  // namespace varnoset
