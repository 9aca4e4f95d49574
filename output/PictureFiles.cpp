#include "output/PictureFiles.h"

#include <optional>

#include "core/ReplacingFile.h"
#include "output/BmpReader.h"
#include "output/BmpWriter.h"
#include "output/InputFile.h"
#include "output/JpegReader.h"
#include "output/JpegWriter.h"
#include "output/PngReader.h"
#include "output/PngWriter.h"

namespace varnoset {

namespace {

// A JPEG or PNG longer than this is read as truncated.
constexpr std::size_t kCompressedReadLimit = std::size_t{1} << 30;

// A picture file's bytes as pieces for one gathered write; a BMP borrows its rows from the
// picture, which must outlive this.
class EncodedPicture {
public:
    EncodedPicture(const Picture& picture, PictureFileType type) {
        if (type == PictureFileType::Bmp) {
            bmp_.emplace(picture);
        } else {
            bytes_ = type == PictureFileType::Jpeg ? writeJpeg(picture) : writePng(picture);
            whole_[0] = bytes_;
        }
    }

    // The pieces point into this object.
    EncodedPicture(const EncodedPicture&) = delete;
    EncodedPicture& operator=(const EncodedPicture&) = delete;

    std::span<const std::span<const std::uint8_t>> pieces() const {
        if (bmp_) {
            return bmp_->pieces();
        }
        return whole_;
    }

private:
    std::optional<BmpWriter> bmp_;
    std::vector<std::uint8_t> bytes_;
    std::span<const std::uint8_t> whole_[1];
};

}  // namespace

Picture loadPictureFile(const QString& path, PictureFileType type, int displayBitsPerPixel) {
    switch (type) {
        case PictureFileType::Bmp:
            return readBmp(InputFile(path));
        case PictureFileType::Jpeg:
            return readJpeg(InputFile(path).readAll(kCompressedReadLimit), displayBitsPerPixel);
        case PictureFileType::Png:
            break;
    }
    return readPng(InputFile(path).readAll(kCompressedReadLimit));
}

void savePictureFile(const Picture& picture, const QString& path, PictureFileType type) {
    writeFileReplacing(path.toStdString(), EncodedPicture(picture, type).pieces());
}

QString saveNewPictureFile(const Picture& picture, PictureFileType type,
                           const std::function<QString(int)>& nameFor, int attempts) {
    const std::filesystem::path written = writeNewFile(
        [&nameFor](int attempt) { return std::filesystem::path(nameFor(attempt).toStdString()); },
        attempts, EncodedPicture(picture, type).pieces());
    return QString::fromStdString(written.string());
}

}  // namespace varnoset
