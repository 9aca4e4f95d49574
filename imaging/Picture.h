#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "imaging/ColorValue.h"

namespace varnoset {

// How a picture stores its pixels. Device is the display's own format: stored like Rgb32
// (B, G, R, unused) but reported with the display's bits per pixel.
enum class PixelFormat : std::uint8_t {
    Device,
    Indexed1,
    Indexed4,
    Indexed8,
    Rgb555,
    Rgb565,
    Rgb24,
    Rgb32,
};

// Bits one stored pixel takes (Device is stored as 32).
int storageBits(PixelFormat format);
// Entries the palette of a palette format holds (0 for the direct formats).
int paletteSize(PixelFormat format);
bool isIndexed(PixelFormat format);

// 24-bit pixel rows, bottom-up: row 0 is the bottom line; pixel x of a row is bytes 3x..3x+2
// as blue, green, red; each row is padded to a multiple of 4 bytes.
struct PixelRows {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bytes;

    static int strideFor(int width) { return ((3 * width + 3) / 4) * 4; }
    int stride() const { return strideFor(width); }
    std::uint8_t* row(int r) { return bytes.data() + rowOffset(r); }
    const std::uint8_t* row(int r) const { return bytes.data() + rowOffset(r); }
    std::size_t rowOffset(int r) const {
        return static_cast<std::size_t>(r) * static_cast<std::size_t>(stride());
    }
};

// Memory another owner lends a picture for its pixels (the screen's shared memory, which the
// display writes a grab into): the picture reads and writes it in place and gives it back by
// destroying the loan when the picture is destroyed or takes other pixels.
class PixelLoan {
public:
    virtual ~PixelLoan() = default;
    virtual std::span<std::uint8_t> bytes() = 0;
};

// A bitmap with a pixel format and, for palette formats, its palette. Rows are stored top-down,
// each padded to a multiple of 4 bytes, packed in the format's own layout:
// Indexed1/4/8 indices with the leftmost pixel in the high bits; Rgb555/Rgb565 little-endian
// 16-bit words; Rgb24 blue, green, red; Rgb32 and Device blue, green, red, unused.
// Copying a picture copies size, format, palette and pixels; a copy always holds pixels of its
// own, and a moved-from picture is empty.
class Picture {
public:
    Picture() = default;  // empty, in the display's format
    // Black. Throws varnoset::Error when the size is negative or too large to hold.
    Picture(int width, int height, PixelFormat format, std::vector<ColorValue> palette = {});
    // A palette-free picture over lent pixels already in its layout, not copied. Throws as above,
    // and when the loan holds fewer bytes than the picture's rows.
    Picture(int width, int height, PixelFormat format, std::unique_ptr<PixelLoan> pixels);
    Picture(const Picture& other);
    Picture& operator=(const Picture& other);
    Picture(Picture&& other) noexcept;
    Picture& operator=(Picture&& other) noexcept;
    ~Picture();

    int width() const { return width_; }
    int height() const { return height_; }
    PixelFormat format() const { return format_; }
    bool isEmpty() const { return width_ <= 0 || height_ <= 0; }
    const std::vector<ColorValue>& palette() const { return palette_; }
    void setPalette(std::vector<ColorValue> palette) { palette_ = std::move(palette); }

    int stride() const { return stride_; }
    std::uint8_t* scanLine(int y) { return pixels_.data() + rowOffset(y); }
    const std::uint8_t* scanLine(int y) const { return pixels_.data() + rowOffset(y); }
    std::size_t rowOffset(int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(stride_);
    }
    std::span<std::uint8_t> bits() { return pixels_; }
    std::span<const std::uint8_t> bits() const { return pixels_; }

    static int strideFor(int width, PixelFormat format);

    // The largest picture that is accepted: 32767 pixels on a side, 512 MB of pixels.
    static constexpr int kMaxSide = 32767;
    static constexpr std::size_t kMaxBytes = std::size_t{512} * 1024 * 1024;

private:
    // Checks the size and sets the geometry; the bytes the rows take.
    std::size_t shape(int width, int height, PixelFormat format);

    int width_ = 0;
    int height_ = 0;
    PixelFormat format_ = PixelFormat::Device;
    int stride_ = 0;
    std::vector<ColorValue> palette_;
    std::vector<std::uint8_t> own_;    // the pixels, unless they are lent
    std::unique_ptr<PixelLoan> loan_;  // the lent pixels
    std::span<std::uint8_t> pixels_;   // the rows, in either
};

// The pixels of an area that lies wholly within a picture of a format of whole bytes per pixel
// (8 bits and more), as a new picture of the same format and palette.
Picture copyArea(const Picture& source, int left, int top, int width, int height);

}  // namespace varnoset
