#include "output/BmpReader.h"

#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <vector>

#include "core/Error.h"
#include "output/BmpFormat.h"
#include "output/InputFile.h"

namespace varnoset {

namespace {

// No valid BMP needs more than the largest picture and its headers; bytes past that cannot
// matter.
constexpr std::size_t kReadLimit = Picture::kMaxBytes + (std::size_t{1} << 20);

[[noreturn]] void invalid() {
    throw Error("Bitmap image is not valid");
}

// Little-endian reads that never go past the end of the file.
class ByteView {
public:
    explicit ByteView(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t size() const { return bytes_.size(); }

    std::span<const std::uint8_t> slice(std::size_t offset, std::size_t length) const {
        if (offset > bytes_.size() || length > bytes_.size() - offset) {
            invalid();
        }
        return bytes_.subspan(offset, length);
    }
    std::uint16_t u16(std::size_t offset) const {
        const auto b = slice(offset, 2);
        return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    }
    std::uint32_t u32(std::size_t offset) const {
        const auto b = slice(offset, 4);
        return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
               (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    }
    std::int32_t i32(std::size_t offset) const { return static_cast<std::int32_t>(u32(offset)); }

private:
    std::span<const std::uint8_t> bytes_;
};

struct Header {
    std::uint32_t size = 0;
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bits = 0;
    std::uint32_t compression = bmp::kRgb;
    std::uint32_t colorsUsed = 0;
    std::array<std::uint32_t, 3> masks{};  // red, green, blue
    std::size_t paletteOffset = 0;
    std::size_t paletteEntrySize = 4;
    std::size_t pixelOffset = 0;
};

bool isBitFields(std::uint32_t compression) {
    return compression == bmp::kBitFields || compression == bmp::kAlphaBitFields;
}

Header readHeader(const ByteView& file) {
    if (file.u16(0) != bmp::kSignature) {
        invalid();
    }
    Header h;
    h.pixelOffset = file.u32(10);
    h.size = file.u32(bmp::kFileHeaderSize);
    file.slice(bmp::kFileHeaderSize, h.size);  // the whole header is there

    std::uint16_t planes = 0;
    if (h.size == bmp::kCoreHeaderSize) {
        h.width = file.u16(18);
        h.height = file.u16(20);
        planes = file.u16(22);
        h.bits = file.u16(24);
        h.paletteEntrySize = 3;
        h.paletteOffset = bmp::kFileHeaderSize + h.size;
    } else if (h.size == bmp::kInfoHeaderSize || h.size == bmp::kV2HeaderSize ||
               h.size == bmp::kV3HeaderSize || h.size == bmp::kV4HeaderSize ||
               h.size == bmp::kV5HeaderSize) {
        const std::int32_t width = file.i32(18);
        const std::int32_t height = file.i32(22);
        if (height == std::numeric_limits<std::int32_t>::min()) {
            invalid();
        }
        h.width = width;
        h.height = height < 0 ? -height : height;
        h.topDown = height < 0;
        planes = file.u16(26);
        h.bits = file.u16(28);
        h.compression = file.u32(30);
        h.colorsUsed = file.u32(46);
        std::size_t maskBytes = 0;
        if (isBitFields(h.compression)) {
            // A 40-byte header is followed by the masks; the longer ones hold them inside.
            h.masks = {file.u32(54), file.u32(58), file.u32(62)};
            if (h.size == bmp::kInfoHeaderSize) {
                maskBytes = h.compression == bmp::kAlphaBitFields ? 16 : 12;
            }
        }
        h.paletteOffset = bmp::kFileHeaderSize + h.size + maskBytes;
    } else {
        invalid();
    }
    if (h.width <= 0 || h.height <= 0 || h.width > Picture::kMaxSide ||
        h.height > Picture::kMaxSide || h.pixelOffset < h.paletteOffset) {
        invalid();
    }
    // One plane; no more colours than the bits can index; run-length data runs bottom-up only.
    const bool rle = h.compression == bmp::kRle4 || h.compression == bmp::kRle8;
    if (planes != 1 || (h.bits <= 8 && h.colorsUsed > (1u << h.bits)) || (rle && h.topDown)) {
        invalid();
    }
    return h;
}

// The pixel format the file's bits and compression make, or Device when only a conversion
// through the bit masks can read it.
PixelFormat formatOf(Header& h) {
    switch (h.bits) {
        case 1:
            if (h.compression == bmp::kRgb)
                return PixelFormat::Indexed1;
            break;
        case 4:
            if (h.compression == bmp::kRgb || h.compression == bmp::kRle4) {
                return PixelFormat::Indexed4;
            }
            break;
        case 8:
            if (h.compression == bmp::kRgb || h.compression == bmp::kRle8) {
                return PixelFormat::Indexed8;
            }
            break;
        case 16:
            if (h.compression == bmp::kRgb)
                return PixelFormat::Rgb555;
            if (isBitFields(h.compression)) {
                if (h.masks == std::array{0u, 0u, 0u}) {
                    h.masks = {bmp::kRed555, bmp::kGreen555, bmp::kBlue555};
                }
                if (h.masks == std::array{bmp::kRed565, bmp::kGreen565, bmp::kBlue565}) {
                    return PixelFormat::Rgb565;
                }
                if (h.masks == std::array{bmp::kRed555, bmp::kGreen555, bmp::kBlue555}) {
                    return PixelFormat::Rgb555;
                }
                return PixelFormat::Device;
            }
            break;
        case 24:
            if (h.compression == bmp::kRgb)
                return PixelFormat::Rgb24;
            break;
        case 32:
            if (h.compression == bmp::kRgb)
                return PixelFormat::Rgb32;
            if (isBitFields(h.compression)) {
                if (h.masks == std::array{0u, 0u, 0u}) {
                    h.masks = {0x00FF0000u, 0x0000FF00u, 0x000000FFu};
                }
                return PixelFormat::Device;
            }
            break;
    }
    invalid();
}

std::vector<ColorValue> readPalette(const ByteView& file, const Header& h) {
    const std::size_t full = std::size_t{1} << h.bits;
    std::size_t count = h.colorsUsed == 0 ? full : std::min<std::size_t>(h.colorsUsed, full);
    // Files may carry fewer entries than the depth or their header says; the pixels start
    // after the last one.
    count = std::min(count, (h.pixelOffset - h.paletteOffset) / h.paletteEntrySize);
    const auto bytes = file.slice(h.paletteOffset, count * h.paletteEntrySize);
    std::vector<ColorValue> palette(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto* entry = bytes.data() + i * h.paletteEntrySize;  // blue, green, red
        palette[i] = rgbValue(entry[2], entry[1], entry[0]);
    }
    return palette;
}

// Bytes one row takes in the file: whole 32-bit words.
std::size_t fileStride(const Header& h) {
    return ((static_cast<std::size_t>(h.width) * static_cast<std::size_t>(h.bits) + 31) / 32) * 4;
}

int pictureRow(const Header& h, int fileRow) {
    return h.topDown ? fileRow : h.height - 1 - fileRow;
}

// Rows whose layout the picture keeps as they are.
void copyRows(const ByteView& file, const Header& h, Picture& picture) {
    const std::size_t stride = fileStride(h);
    const auto pixels = file.slice(h.pixelOffset, stride * static_cast<std::size_t>(h.height));
    for (int r = 0; r < h.height; ++r) {
        std::memcpy(picture.scanLine(pictureRow(h, r)),
                    pixels.data() + static_cast<std::size_t>(r) * stride,
                    std::min(stride, static_cast<std::size_t>(picture.stride())));
    }
}

// One colour channel given by a bit mask, widened to 8 bits.
class MaskChannel {
public:
    MaskChannel(std::uint32_t mask, int bits) {
        if (mask == 0) {
            return;
        }
        shift_ = std::countr_zero(mask);
        width_ = std::popcount(mask);
        const std::uint32_t field = mask >> shift_;
        const bool contiguous = (field & (field + 1)) == 0;
        if (!contiguous || (bits < 32 && (mask >> bits) != 0)) {
            invalid();
        }
        mask_ = mask;
        if (width_ < 8) {
            const std::uint32_t top = (1u << width_) - 1;
            for (std::uint32_t v = 0; v <= top; ++v) {
                scale_[v] = static_cast<std::uint8_t>((v * 255 + top / 2) / top);
            }
        }
    }

    std::uint8_t operator()(std::uint32_t pixel) const {
        if (mask_ == 0) {
            return 0;
        }
        const std::uint32_t v = (pixel & mask_) >> shift_;
        return width_ >= 8 ? static_cast<std::uint8_t>(v >> (width_ - 8)) : scale_[v];
    }

private:
    std::uint32_t mask_ = 0;
    int shift_ = 0;
    int width_ = 0;
    std::array<std::uint8_t, 128> scale_{};
};

// 16 or 32-bit pixels of any bit masks, read into the display's format (blue, green, red, 0).
void convertMaskedRows(const ByteView& file, const Header& h, Picture& picture) {
    const MaskChannel red(h.masks[0], h.bits);
    const MaskChannel green(h.masks[1], h.bits);
    const MaskChannel blue(h.masks[2], h.bits);
    const std::size_t stride = fileStride(h);
    const auto pixels = file.slice(h.pixelOffset, stride * static_cast<std::size_t>(h.height));
    const int bytesPerPixel = h.bits / 8;
    for (int r = 0; r < h.height; ++r) {
        const std::uint8_t* in = pixels.data() + static_cast<std::size_t>(r) * stride;
        std::uint8_t* out = picture.scanLine(pictureRow(h, r));
        for (int x = 0; x < h.width; ++x, in += bytesPerPixel, out += 4) {
            std::uint32_t value = in[0] | (in[1] << 8);
            if (bytesPerPixel == 4) {
                value |= (static_cast<std::uint32_t>(in[2]) << 16) |
                         (static_cast<std::uint32_t>(in[3]) << 24);
            }
            out[0] = blue(value);
            out[1] = green(value);
            out[2] = red(value);
            out[3] = 0;
        }
    }
}

// Stores a palette index of 4 or 8 bits; of two 4-bit indices in a byte the left one is high.
void storeIndex(std::uint8_t* line, int x, bool fourBits, int index) {
    if (!fourBits) {
        line[x] = static_cast<std::uint8_t>(index);
        return;
    }
    std::uint8_t& byte = line[x / 2];
    byte = (x & 1) ? static_cast<std::uint8_t>((byte & 0xF0) | (index & 0x0F))
                   : static_cast<std::uint8_t>((byte & 0x0F) | ((index & 0x0F) << 4));
}

// Run-length encoded indices (RLE8, or RLE4 with two indices to a byte). Pixels the runs skip
// keep index 0. Pixels above the top line, or a jump out of the picture, make the file invalid.
void decodeRle(const ByteView& file, const Header& h, Picture& picture) {
    const auto data = file.slice(h.pixelOffset, file.size() - h.pixelOffset);
    const bool rle4 = h.compression == bmp::kRle4;
    std::size_t pos = 0;
    int x = 0;
    int line = 0;  // counted in file order
    auto next = [&]() -> std::uint8_t {
        if (pos >= data.size()) {
            invalid();
        }
        return data[pos++];
    };
    auto put = [&](int index) {
        if (line >= h.height) {
            invalid();
        }
        // Some writers encode the row's padding as pixels: those past the row end are dropped.
        if (x < h.width) {
            storeIndex(picture.scanLine(pictureRow(h, line)), x, rle4, index);
        }
        ++x;
    };
    for (;;) {
        const std::uint8_t count = next();
        const std::uint8_t value = next();
        if (count > 0) {
            for (int i = 0; i < count; ++i) {
                put(rle4 ? ((i & 1) ? value & 0x0F : value >> 4) : value);
            }
            continue;
        }
        switch (value) {
            case 0:  // end of line
                x = 0;
                ++line;
                break;
            case 1:  // end of bitmap
                return;
            case 2: {  // jump right and up
                const int dx = next();
                const int dy = next();
                x += dx;
                line += dy;
                if (x > h.width || line > h.height) {
                    invalid();
                }
                break;
            }
            default: {  // literal pixels, padded to a 16-bit boundary
                const int n = value;
                const int bytes = rle4 ? (n + 1) / 2 : n;
                std::uint8_t byte = 0;
                for (int i = 0; i < n; ++i) {
                    if (!rle4) {
                        put(next());
                    } else {
                        if ((i & 1) == 0) {
                            byte = next();
                        }
                        put((i & 1) ? byte & 0x0F : byte >> 4);
                    }
                }
                if (bytes & 1) {
                    next();
                }
            }
        }
    }
}

}  // namespace

Picture readBmp(const InputFile& input) {
    // The headers, masks and palette lie within the first bytes of every file.
    std::vector<std::uint8_t> start(static_cast<std::size_t>(std::min<std::uint64_t>(
        input.size(), bmp::kFileHeaderSize + bmp::kV5HeaderSize + 16 + 256 * 4)));
    start.resize(input.readAt(0, start));
    const ByteView head(start);
    Header h = readHeader(head);
    const PixelFormat format = formatOf(h);
    const bool runLength = h.compression == bmp::kRle4 || h.compression == bmp::kRle8;
    if (runLength || format == PixelFormat::Device) {
        return readBmp(input.readAll(kReadLimit));
    }
    const std::size_t stride = fileStride(h);
    const std::size_t rows = stride * static_cast<std::size_t>(h.height);
    if (h.pixelOffset > input.size() || rows > input.size() - h.pixelOffset) {
        invalid();  // the file ends early
    }
    std::vector<ColorValue> palette;
    if (isIndexed(format)) {
        palette = readPalette(head, h);
    }
    Picture picture(h.width, h.height, format, std::move(palette));
    std::vector<std::span<std::uint8_t>> lines;
    lines.reserve(static_cast<std::size_t>(h.height));
    for (int r = 0; r < h.height; ++r) {
        lines.emplace_back(picture.scanLine(pictureRow(h, r)), stride);
    }
    if (input.readAt(h.pixelOffset, lines) != rows) {
        invalid();  // the file shrank meanwhile
    }
    return picture;
}

Picture readBmp(std::span<const std::uint8_t> bytes) {
    const ByteView file(bytes);
    Header h = readHeader(file);
    const PixelFormat format = formatOf(h);
    std::vector<ColorValue> palette;
    if (isIndexed(format)) {
        palette = readPalette(file, h);
    }
    const bool runLength = h.compression == bmp::kRle4 || h.compression == bmp::kRle8;
    if (!runLength) {
        // Refuse a file that ends early before allocating the picture it claims.
        file.slice(h.pixelOffset, fileStride(h) * static_cast<std::size_t>(h.height));
    }
    Picture picture(h.width, h.height, format, std::move(palette));
    if (runLength) {
        decodeRle(file, h, picture);
    } else if (format == PixelFormat::Device) {
        convertMaskedRows(file, h, picture);
    } else {
        copyRows(file, h, picture);
    }
    return picture;
}

}  // namespace varnoset
