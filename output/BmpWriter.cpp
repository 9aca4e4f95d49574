#include "output/BmpWriter.h"

#include <algorithm>
#include <cstring>

#include "core/Error.h"
#include "output/BmpFormat.h"

namespace varnoset {

namespace {

void put16(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::uint8_t* at, std::uint32_t value) {
    put16(at, value);
    put16(at + 2, value >> 16);
}

}  // namespace

BmpWriter::BmpWriter(const Picture& picture) {
    if (picture.isEmpty()) {
        throw Error("Bitmap image is not valid");
    }
    const PixelFormat format = picture.format();
    const int bits = storageBits(format);
    const bool masks = format == PixelFormat::Rgb565;
    const std::size_t maskBytes = masks ? 12 : 0;

    // A palette shorter than the depth allows is written as it is and named in the header; a
    // missing one as all black entries.
    std::size_t paletteEntries = 0;
    std::uint32_t colorsUsed = 0;
    if (isIndexed(format)) {
        const std::size_t full = static_cast<std::size_t>(paletteSize(format));
        paletteEntries =
            picture.palette().empty() ? full : std::min(picture.palette().size(), full);
        colorsUsed = paletteEntries < full ? static_cast<std::uint32_t>(paletteEntries) : 0;
    }

    const std::size_t stride = static_cast<std::size_t>(picture.stride());
    const std::size_t height = static_cast<std::size_t>(picture.height());
    const std::size_t pixelOffset =
        bmp::kFileHeaderSize + bmp::kInfoHeaderSize + maskBytes + paletteEntries * 4;
    const std::size_t imageSize = stride * height;
    head_.resize(pixelOffset);
    std::uint8_t* out = head_.data();

    put16(out, bmp::kSignature);
    put32(out + 2, static_cast<std::uint32_t>(pixelOffset + imageSize));
    put32(out + 10, static_cast<std::uint32_t>(pixelOffset));

    std::uint8_t* info = out + bmp::kFileHeaderSize;
    put32(info, bmp::kInfoHeaderSize);
    put32(info + 4, static_cast<std::uint32_t>(picture.width()));
    put32(info + 8, static_cast<std::uint32_t>(picture.height()));  // positive: bottom-up
    put16(info + 12, 1);                                            // planes
    put16(info + 14, static_cast<std::uint32_t>(bits));
    put32(info + 16, masks ? bmp::kBitFields : bmp::kRgb);
    put32(info + 20, static_cast<std::uint32_t>(imageSize));
    put32(info + 32, colorsUsed);

    std::uint8_t* after = info + bmp::kInfoHeaderSize;
    if (masks) {
        put32(after, bmp::kRed565);
        put32(after + 4, bmp::kGreen565);
        put32(after + 8, bmp::kBlue565);
        after += maskBytes;
    }
    for (std::size_t i = 0; i < paletteEntries; ++i, after += 4) {
        const ColorValue c = i < picture.palette().size() ? picture.palette()[i] : 0;
        after[0] = static_cast<std::uint8_t>(blueOf(c));
        after[1] = static_cast<std::uint8_t>(greenOf(c));
        after[2] = static_cast<std::uint8_t>(redOf(c));
        after[3] = 0;
    }

    pieces_.reserve(height + 1);
    pieces_.emplace_back(head_);
    if (bits == 32) {
        copiedRows_.resize(imageSize);
        for (std::size_t r = 0; r < height; ++r) {
            std::uint8_t* row = copiedRows_.data() + r * stride;
            std::memcpy(row, picture.scanLine(static_cast<int>(height - 1 - r)), stride);
            for (std::size_t x = 3; x < stride; x += 4) {
                row[x] = 0;
            }
        }
        pieces_.emplace_back(copiedRows_);
    } else {
        for (std::size_t r = 0; r < height; ++r) {
            pieces_.emplace_back(picture.scanLine(static_cast<int>(height - 1 - r)), stride);
        }
    }
}

std::vector<std::uint8_t> BmpWriter::bytes() const {
    std::size_t size = 0;
    for (const auto& piece : pieces_) {
        size += piece.size();
    }
    std::vector<std::uint8_t> file;
    file.reserve(size);
    for (const auto& piece : pieces_) {
        file.insert(file.end(), piece.begin(), piece.end());
    }
    return file;
}

}  // namespace varnoset
