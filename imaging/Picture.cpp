#include "imaging/Picture.h"

#include <algorithm>
#include <cassert>
#include <utility>

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

std::size_t Picture::shape(int width, int height, PixelFormat format) {
    if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide) {
        throw Error("Bitmap image is not valid");
    }
    const int stride = strideFor(width, format);
    const std::size_t size = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
    if (size > kMaxBytes) {
        throw Error("Bitmap image is not valid");
    }
    width_ = width;
    height_ = height;
    format_ = format;
    stride_ = stride;
    return size;
}

Picture::Picture(int width, int height, PixelFormat format, std::vector<ColorValue> palette)
    : palette_(std::move(palette)) {
    const std::size_t size = shape(width, height, format);
    // A palette may hold fewer entries than the format can index (a 236-colour JPEG, a BMP with
    // few used colours); indices past its end read as black.
    if (isIndexed(format)) {
        if (palette_.size() > static_cast<std::size_t>(paletteSize(format))) {
            palette_.resize(static_cast<std::size_t>(paletteSize(format)));
        }
    } else {
        palette_.clear();
    }
    own_.assign(size, 0);
    pixels_ = own_;
}

Picture::Picture(int width, int height, PixelFormat format, std::unique_ptr<PixelLoan> pixels)
    : loan_(std::move(pixels)) {
    const std::size_t size = shape(width, height, format);
    if (!loan_ || loan_->bytes().size() < size) {
        throw Error("Bitmap image is not valid");
    }
    pixels_ = loan_->bytes().first(size);
}

Picture::Picture(const Picture& other)
    : width_(other.width_),
      height_(other.height_),
      format_(other.format_),
      stride_(other.stride_),
      palette_(other.palette_),
      own_(other.pixels_.begin(), other.pixels_.end()),
      pixels_(own_) {}

Picture& Picture::operator=(const Picture& other) {
    if (this != &other) {
        *this = Picture(other);
    }
    return *this;
}

Picture::Picture(Picture&& other) noexcept {
    *this = std::move(other);
}

Picture& Picture::operator=(Picture&& other) noexcept {
    if (this != &other) {
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        format_ = std::exchange(other.format_, PixelFormat::Device);
        stride_ = std::exchange(other.stride_, 0);
        palette_ = std::exchange(other.palette_, {});
        // Moving the vector or the loan keeps the bytes where they are.
        own_ = std::exchange(other.own_, {});
        loan_ = std::exchange(other.loan_, nullptr);
        pixels_ = std::exchange(other.pixels_, {});
    }
    return *this;
}

Picture::~Picture() = default;

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
