#pragma once

#include <cstdint>

// The layout of a BMP file as far as reader and writer share it.
namespace varnoset::bmp {

constexpr std::uint16_t kSignature = 0x4D42;  // "BM"
constexpr int kFileHeaderSize = 14;

// Sizes of the info headers that are read: OS/2 core, Windows 3 and its extensions with bit
// masks (52 and 56), version 4 and version 5.
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kV2HeaderSize = 52;
constexpr std::uint32_t kV3HeaderSize = 56;
constexpr std::uint32_t kV4HeaderSize = 108;
constexpr std::uint32_t kV5HeaderSize = 124;

enum Compression : std::uint32_t {
    kRgb = 0,
    kRle8 = 1,
    kRle4 = 2,
    kBitFields = 3,
    kJpeg = 4,
    kPng = 5,
    kAlphaBitFields = 6,
};

constexpr std::uint32_t kRed565 = 0xF800;
constexpr std::uint32_t kGreen565 = 0x07E0;
constexpr std::uint32_t kBlue565 = 0x001F;
constexpr std::uint32_t kRed555 = 0x7C00;
constexpr std::uint32_t kGreen555 = 0x03E0;
constexpr std::uint32_t kBlue555 = 0x001F;

}  // namespace varnoset::bmp
