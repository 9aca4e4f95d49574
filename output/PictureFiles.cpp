#include "output/PictureFiles.h"

#include "core/ReplacingFile.h"
#include "output/BmpReader.h"
#include "output/BmpWriter.h"
#include "output/InputFile.h"
#include "output/JpegReader.h"
#include "output/JpegWriter.h"

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
