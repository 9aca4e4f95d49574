#pragma once

#include <QString>

#include "imaging/Picture.h"
#include "output/PictureFileNames.h"

namespace varnoset {

// Reads a BMP or JPEG file into a new picture. A JPEG takes the palette form when the display
// has 8 bits per pixel or fewer. Throws varnoset::Error with the failing layer's text
// ("Cannot open file ...", "Bitmap image is not valid", "JPEG error #n"); nothing else changes.
Picture loadPictureFile(const QString& path, PictureFileType type, int displayBitsPerPixel);

// Writes the picture as a BMP in its own pixel format or as a 24-bit JPEG of quality 100,
// replacing any file at path only once the new one is complete. Throws varnoset::Error
// ("Cannot create file ...", "Cannot write file ...", or the codec's error); an existing file
// is then left as it was.
void savePictureFile(const Picture& picture, const QString& path, PictureFileType type);

}  // namespace varnoset
