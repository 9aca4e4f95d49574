#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "imaging/Picture.h"

namespace varnoset {

// Encodes the picture as a BMP file in its own pixel format: 1, 4 and 8 bits with the picture's
// palette, 16 bits as 5-5-5 (no masks) or 5-6-5 (bit masks), 24 bits, and 32 bits for the
// 32-bit and display formats (the unused byte written as 0). Rows are stored bottom-up under a
// 40-byte header. The file is given as pieces for a gathered write, so that a large picture is
// not copied: the headers and palette, then the rows, borrowed from the picture (which must
// outlive the writer) except 32-bit rows, which are copied to clear their unused bytes.
class BmpWriter {
public:
    // Throws varnoset::Error("Bitmap image is not valid") for an empty picture, which no BMP
    // can hold.
    explicit BmpWriter(const Picture& picture);
    BmpWriter(const BmpWriter&) = delete;
    BmpWriter& operator=(const BmpWriter&) = delete;

    std::span<const std::span<const std::uint8_t>> pieces() const { return pieces_; }
    // The whole file in one buffer.
    std::vector<std::uint8_t> bytes() const;

private:
    std::vector<std::uint8_t> head_;
    std::vector<std::uint8_t> copiedRows_;
    std::vector<std::span<const std::uint8_t>> pieces_;
};

// The whole BMP file of the picture in one buffer.
inline std::vector<std::uint8_t> writeBmp(const Picture& picture) {
    return BmpWriter(picture).bytes();
}

}  // namespace varnoset
