// Times one picture file operation of the program, as the commands run it, on the same files
// that the peer tools are given (files_bench.sh runs it):
//   files_codec_tool save-jpeg in.ppm out.jpg    savePictureFile as JPEG      (vs cjpeg -quality
//   100) files_codec_tool load-jpeg in.jpg            loadPictureFile of the JPEG  (vs djpeg)
//   files_codec_tool copy-bmp in.bmp out.bmp     loadPictureFile + savePictureFile of a BMP
//                                                                             (vs convert in out)
//   files_codec_tool save-png in.ppm out.png     savePictureFile as PNG       (vs convert)
//   files_codec_tool load-png in.png             loadPictureFile of the PNG   (vs convert)
// It prints the milliseconds the operation took: from the file name to the picture in memory,
// or from the picture in memory to the file written. Reading the PPM that stands for the
// picture on screen is not timed.
#include <QFile>
#include <QString>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/Error.h"
#include "output/PictureFiles.h"

namespace {

using varnoset::Picture;
using varnoset::PixelFormat;

Picture readPpm(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        throw varnoset::Error(std::string("Cannot open file ") + path);
    }
    int width = 0;
    int height = 0;
    int maximum = 0;
    if (std::fscanf(file, "P6 %d %d %d", &width, &height, &maximum) != 3 || maximum != 255 ||
        std::fgetc(file) == EOF) {
        std::fclose(file);
        throw varnoset::Error("not a binary PPM of 8-bit samples");
    }
    Picture picture(width, height, PixelFormat::Rgb24);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        if (std::fread(row.data(), 1, row.size(), file) != row.size()) {
            std::fclose(file);
            throw varnoset::Error("PPM ends early");
        }
        std::uint8_t* out = picture.scanLine(y);
        for (int x = 0; x < width; ++x) {  // red, green, blue to blue, green, red
            out[3 * x] = row[3 * x + 2];
            out[3 * x + 1] = row[3 * x + 1];
            out[3 * x + 2] = row[3 * x];
        }
    }
    std::fclose(file);
    return picture;
}

}  // namespace

int main(int argc, char** argv) {
    using Clock = std::chrono::steady_clock;
    const std::string command = argc > 1 ? argv[1] : "";
    if (!(((command == "load-jpeg" || command == "load-png") && argc == 3) ||
          ((command == "save-jpeg" || command == "save-png" || command == "copy-bmp") &&
           argc == 4))) {
        std::fprintf(stderr,
                     "usage: %s save-jpeg|save-png IN.ppm OUT | load-jpeg|load-png IN | copy-bmp "
                     "IN OUT\n",
                     argv[0]);
        return 2;
    }
    const QString in = QFile::decodeName(argv[2]);
    const QString out = argc > 3 ? QFile::decodeName(argv[3]) : QString();
    try {
        Clock::time_point start;
        const auto type = command.ends_with("png") ? varnoset::PictureFileType::Png
                                                   : varnoset::PictureFileType::Jpeg;
        if (command.starts_with("save-")) {
            const Picture picture = readPpm(argv[2]);
            start = Clock::now();
            varnoset::savePictureFile(picture, out, type);
        } else if (command.starts_with("load-")) {
            start = Clock::now();
            const Picture picture = varnoset::loadPictureFile(in, type, 32);
        } else {
            start = Clock::now();
            const Picture picture =
                varnoset::loadPictureFile(in, varnoset::PictureFileType::Bmp, 32);
            varnoset::savePictureFile(picture, out, varnoset::PictureFileType::Bmp);
        }
        const std::chrono::duration<double, std::milli> took = Clock::now() - start;
        std::printf("%.2f\n", took.count());
    } catch (const varnoset::Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
