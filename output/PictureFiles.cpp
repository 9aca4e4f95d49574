#include "PictureFiles.h"

#include "BmpReader.h"
#include "BmpWriter.h"
#include "InputFile.h"
#include "JpegReader.h"
#include "JpegWriter.h"
#include "ReplacingFile.h"

namespace varnoset {

namespace {

// A JPEG longer than this is read as truncated.
constexpr std::size_t kJpegReadLimit = std::size_t{1} << 30;

}  // namespace

Picture loadPictureFile(const QString& path, PictureFileType type, int displayBitsPerPixel) {
    if (type == PictureFileType::Bmp) {
        return readBmp(InputFile(path));
    }
    return readJpeg(InputFile(path).readAll(kJpegReadLimit), displayBitsPerPixel);
}

void savePictureFile(const Picture& picture, const QString& path, PictureFileType type) {
    if (type == PictureFileType::Bmp) {
        writeFileReplacing(path.toStdString(), BmpWriter(picture).pieces());
    } else {
        writeFileReplacing(path.toStdString(), writeJpeg(picture));
    }
}

}  // namespace varnoset
