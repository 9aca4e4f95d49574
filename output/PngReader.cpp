#include "output/PngReader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/Error.h"
#include "output/PngErrorTrap.h"

namespace varnoset {

namespace {

constexpr std::array<std::uint8_t, 8> kSignature{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
// A chunk's length, type and checksum.
constexpr std::size_t kChunkFrame = 12;
// Deflate spends at least two bits on a copy of at most 258 bytes, so compressed data unpacks to
// at most 1032 times its length; a file whose image data is shorter than that allows for its
// announced size was cut short or lies.
constexpr std::uint64_t kMostUnpackedPerByte = 1032;

[[noreturn]] void invalid(const std::string& why) {
    throw Error("PNG image is not valid: " + why);
}

[[noreturn]] void truncated(const std::string& why) {
    throw Error("PNG image is truncated: " + why);
}

std::uint32_t bigEndian32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

// What the chunks say before any pixel is decoded.
struct Structure {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bitDepth = 0;
    int colourType = 0;
    std::uint64_t imageData = 0;  // the bytes of all IDAT chunks
};

// Walks the chunks from the header to IEND without decoding anything.
Structure readStructure(std::span<const std::uint8_t> file) {
    if (file.size() < kSignature.size() ||
        !std::equal(kSignature.begin(), kSignature.end(), file.begin())) {
        invalid("no PNG signature");
    }
    Structure s;
    std::size_t at = kSignature.size();
    for (bool first = true;; first = false) {
        if (file.size() - at < kChunkFrame) {
            truncated("the file ends before its last chunk");
        }
        const std::uint32_t length = bigEndian32(&file[at]);
        if (length > 0x7FFFFFFFu) {
            invalid("bad chunk length");
        }
        if (file.size() - at - kChunkFrame < length) {
            truncated("the file ends inside a chunk");
        }
        const std::string_view type(reinterpret_cast<const char*>(&file[at + 4]), 4);
        const std::uint8_t* data = &file[at + 8];
        if (first) {
            if (type != "IHDR" || length != 13) {
                invalid("no image header");
            }
            s.width = bigEndian32(data);
            s.height = bigEndian32(data + 4);
            s.bitDepth = data[8];
            s.colourType = data[9];
        } else if (type == "IDAT") {
            s.imageData += length;
        } else if (type == "IEND") {
            return s;
        }
        at += kChunkFrame + length;
    }
}

int samplesPerPixel(int colourType) {
    switch (colourType) {
        case PNG_COLOR_TYPE_GRAY:
        case PNG_COLOR_TYPE_PALETTE:
            return 1;
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            return 2;
        case PNG_COLOR_TYPE_RGB:
            return 3;
        case PNG_COLOR_TYPE_RGB_ALPHA:
            return 4;
        default:
            invalid("unknown colour type");
    }
}

PixelFormat formatFor(const Structure& s) {
    if (s.colourType != PNG_COLOR_TYPE_PALETTE) {
        return PixelFormat::Rgb24;
    }
    switch (s.bitDepth) {
        case 1:
            return PixelFormat::Indexed1;
        case 4:
            return PixelFormat::Indexed4;
        default:
            return PixelFormat::Indexed8;  // 2-bit indices are unpacked to bytes
    }
}

// Refuses a picture larger than a picture may be, or larger than the image data can hold.
void checkSize(const Structure& s, PixelFormat format) {
    if (s.bitDepth != 1 && s.bitDepth != 2 && s.bitDepth != 4 && s.bitDepth != 8 &&
        s.bitDepth != 16) {
        invalid("bad bit depth");
    }
    if (s.width == 0 || s.height == 0) {
        invalid("no pixels");
    }
    const std::string size = std::to_string(s.width) + " x " + std::to_string(s.height);
    const auto side = static_cast<std::uint32_t>(Picture::kMaxSide);
    if (s.width > side || s.height > side ||
        std::uint64_t{s.height} *
                static_cast<std::uint64_t>(Picture::strideFor(static_cast<int>(s.width), format)) >
            Picture::kMaxBytes) {
        throw Error("PNG image is too large: " + size + " pixels");
    }
    // Unpacked, every row is a filter byte and its samples (more with interlacing).
    const std::uint64_t bits =
        std::uint64_t{s.width} *
        static_cast<std::uint64_t>(samplesPerPixel(s.colourType) * s.bitDepth);
    const std::uint64_t unpacked = std::uint64_t{s.height} * (1 + (bits + 7) / 8);
    if (unpacked > s.imageData * kMostUnpackedPerByte) {
        truncated("its image data cannot hold " + size + " pixels");
    }
}

struct Decoder {
    Decoder(std::span<const std::uint8_t> bytes)
        : png(png_create_read_struct(PNG_LIBPNG_VER_STRING, &trap, PngErrorTrap::fail,
                                     PngErrorTrap::warn)),
          file(bytes) {
        if (png != nullptr) {
            info = png_create_info_struct(png);
        }
        if (info == nullptr) {
            png_destroy_read_struct(&png, nullptr, nullptr);  // no destructor runs after a throw
            throw Error("Out of memory");
        }
    }
    ~Decoder() { png_destroy_read_struct(&png, &info, nullptr); }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    PngErrorTrap trap;  // before png, which keeps its address
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::span<const std::uint8_t> file;
    std::size_t at = 0;
};

void readBytes(png_structp png, png_bytep out, std::size_t length) {
    auto* d = static_cast<Decoder*>(png_get_io_ptr(png));
    if (d->file.size() - d->at < length) {
        png_error(png, "unexpected end of file");
    }
    std::memcpy(out, d->file.data() + d->at, length);
    d->at += length;
}

// The guarded steps. Each sets the jump target before its first libpng call and holds only plain
// values, so a failure returns false here without skipping a destructor.

bool startDecoding(Decoder& d) {
    if (setjmp(png_jmpbuf(d.png)) != 0) {
        return false;
    }
    png_set_read_fn(d.png, &d, readBytes);
    png_set_user_limits(d.png, Picture::kMaxSide, Picture::kMaxSide);
    png_read_info(d.png, d.info);
    const int colourType = png_get_color_type(d.png, d.info);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        if (png_get_bit_depth(d.png, d.info) == 2) {
            png_set_packing(d.png);
        }
    } else {
        png_set_scale_16(d.png);
        png_set_strip_alpha(d.png);
        if ((colourType & PNG_COLOR_MASK_COLOR) == 0) {
            png_set_expand_gray_1_2_4_to_8(d.png);
            png_set_gray_to_rgb(d.png);
        }
        png_set_bgr(d.png);
    }
    png_set_interlace_handling(d.png);
    png_read_update_info(d.png, d.info);
    return true;
}

bool readRows(Decoder& d, png_bytepp rows) {
    if (setjmp(png_jmpbuf(d.png)) != 0) {
        return false;
    }
    png_read_image(d.png, rows);
    png_read_end(d.png, nullptr);
    return true;
}

std::vector<ColorValue> paletteOf(const Decoder& d, PixelFormat format) {
    png_colorp entries = nullptr;
    int count = 0;
    std::vector<ColorValue> palette;
    if (png_get_PLTE(d.png, d.info, &entries, &count) != 0) {
        count = std::min(count, paletteSize(format));
        for (int i = 0; i < count; ++i) {
            palette.push_back(rgbValue(entries[i].red, entries[i].green, entries[i].blue));
        }
    }
    return palette;
}

}  // namespace

Picture readPng(std::span<const std::uint8_t> file) {
    const Structure structure = readStructure(file);
    const PixelFormat format = formatFor(structure);
    checkSize(structure, format);

    Decoder d(file);
    if (!startDecoding(d)) {
        invalid(d.trap.text());
    }
    Picture picture(static_cast<int>(structure.width), static_cast<int>(structure.height), format,
                    paletteOf(d, format));
    if (png_get_rowbytes(d.png, d.info) > static_cast<std::size_t>(picture.stride())) {
        invalid("unexpected row size");
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(picture.height()));
    for (int y = 0; y < picture.height(); ++y) {
        rows[static_cast<std::size_t>(y)] = picture.scanLine(y);
    }
    if (!readRows(d, rows.data())) {
        invalid(d.trap.text());
    }
    return picture;
}

}  // namespace varnoset
