#include "imaging/Picture.h"

#include <algorithm>
#include <cassert>

#include "core/Error.h"

namespace varnoset {

int storageBits(PixelFormat format) {
    switch (format) {
        case PixelFormat::Indexed1:
            return 1;
        case PixelFormat::Indexed4:
            return 4;
        case PixelFormat::Indexed8:
            return 8;
        case PixelFormat::Rgb555:
        case PixelFormat::Rgb565:
            return 16;
        case PixelFormat::Rgb24:
            return 24;
        case PixelFormat::Rgb32:
        case PixelFormat::Device:
            return 32;
    }
    return 32;
}

int paletteSize(PixelFormat format) {
    switch (format) {
        case PixelFormat::Indexed1:
            return 2;
        case PixelFormat::Indexed4:
            return 16;
        case PixelFormat::Indexed8:
            return 256;
        default:
            return 0;
    }
}

bool isIndexed(PixelFormat format) {
    return paletteSize(format) > 0;
}

int Picture::strideFor(int width, PixelFormat format) {
    const long long bits = static_cast<long long>(width) * storageBits(format);
    return static_cast<int>(((bits + 31) / 32) * 4);
}

Picture::Picture(int width, int height, PixelFormat format, std::vector<ColorValue> palette)
    : format_(format), palette_(std::move(palette)) {
    if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide) {
        throw Error("Bitmap image is not valid");
    }
    const int stride = strideFor(width, format);
    const std::size_t size = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
    if (size > kMaxBytes) {
        throw Error("Bitmap image is not valid");
    }
    // A palette may hold fewer entries than the format can index (a 236-colour JPEG, a BMP with
    // few used colours); indices past its end read as black.
    if (isIndexed(format)) {
        if (palette_.size() > static_cast<std::size_t>(paletteSize(format))) {
            palette_.resize(static_cast<std::size_t>(paletteSize(format)));
        }
    } else {
        palette_.clear();
    }
    width_ = width;
    height_ = height;
    stride_ = stride;
    pixels_.assign(size, 0);
}

Picture copyArea(const Picture& source, int left, int top, int width, int height) {
    const int bytesPerPixel = storageBits(source.format()) / 8;
    assert(bytesPerPixel > 0 && left >= 0 && top >= 0 && width >= 0 && height >= 0 &&
           left + width <= source.width() && top + height <= source.height());
    Picture area(width, height, source.format(), source.palette());
    const auto rowBytes = static_cast<std::size_t>(width * bytesPerPixel);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* from = source.scanLine(top + y) + left * bytesPerPixel;
        std::copy(from, from + rowBytes, area.scanLine(y));
    }
    return area;
}

}  // namespace varnoset
