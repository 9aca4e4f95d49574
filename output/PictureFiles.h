#pragma once

#include <QString>
#include <functional>

#include "imaging/Picture.h"
#include "output/PictureFileNames.h"

namespace varnoset {

// Reads a BMP, JPEG or PNG file into a new picture. A JPEG takes the palette form when the
// display has 8 bits per pixel or fewer. Throws varnoset::Error with the failing layer's text
// ("Cannot open file ...", "Bitmap image is not valid", "JPEG error #n", "PNG image is ...");
// nothing else changes.
Picture loadPictureFile(const QString& path, PictureFileType type, int displayBitsPerPixel);

// Writes the picture as a BMP in its own pixel format, a 24-bit JPEG of quality 100, or a PNG
// (indexed for a palette picture, else 24-bit), replacing any file at path only once the new one
// is complete. Throws varnoset::Error ("Cannot create file ...", "Cannot write file ...", or the
// codec's error); an existing file is then left as it was.
void savePictureFile(const Picture& picture, const QString& path, PictureFileType type);

// Writes the picture as savePictureFile does, but as a new file under the first of nameFor(1),
// nameFor(2), ... nameFor(attempts) (all in one folder) that no file takes yet, and returns that
// name. No existing file is ever replaced.
QString saveNewPictureFile(const Picture& picture, PictureFileType type,
                           const std::function<QString(int)>& nameFor, int attempts);

}  // namespace varnoset
