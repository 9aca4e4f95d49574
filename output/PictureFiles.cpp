#include "PictureFiles.h"

#include "BmpReader.h"
#include "BmpWriter.h"
#include "FileBytes.h"
#include "JpegReader.h"
#include "JpegWriter.h"
#include "ReplacingFileWriter.h"

namespace varnoset {

namespace {

// No valid BMP needs more than the largest picture and its headers; bytes past that cannot
// matter. A JPEG longer than this is read as truncated.
constexpr std::size_t kBmpReadLimit = Picture::kMaxBytes + (std::size_t{1} << 20);
constexpr std::size_t kJpegReadLimit = std::size_t{1} << 30;

}  // namespace

Picture loadPictureFile(const QString& path, PictureFileType type, int displayBitsPerPixel) {
    if (type == PictureFileType::Bmp) {
        return readBmp(readFileBytes(path, kBmpReadLimit));
    }
    return readJpeg(readFileBytes(path, kJpegReadLimit), displayBitsPerPixel);
}

void savePictureFile(const Picture& picture, const QString& path, PictureFileType type) {
    const auto bytes = type == PictureFileType::Bmp ? writeBmp(picture) : writeJpeg(picture);
    writeFileReplacing(path, bytes);
}

}  // namespace varnoset
