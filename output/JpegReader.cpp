#include "output/JpegReader.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/Error.h"
#include "output/JpegErrorTrap.h"

#include <jerror.h>

namespace varnoset {

namespace {

constexpr int kPaletteColours = 236;
// The most the codec may take for its own whole-picture buffers (progressive coefficients, the
// quantiser's first pass); a file that needs more is refused rather than swapped out.
constexpr long kCodecMemory = 1L << 30;
// Every scan spends at least a bit on each 8 x 8 block of the picture, so a file describes at most
// 512 pixels a byte. One that claims many more ends long before its picture: it is refused before
// the codec sets out to fill pictures of gigabytes. Small pictures are decoded whatever they claim.
constexpr std::uint64_t kPixelsPerByte = 1024;
constexpr std::uint64_t kPixelsAlwaysDecoded = 4096 * 4096;

struct Decompressor {
    Decompressor() { info.err = &trap.manager; }
    ~Decompressor() { jpeg_destroy_decompress(&info); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    jpeg_decompress_struct info{};
    JpegErrorTrap trap;
};

// The guarded steps. Each sets the jump target before its first codec call and holds only plain
// values, so a codec failure returns false here without skipping a destructor.

bool readHeader(Decompressor& d, const std::uint8_t* data, std::size_t size) {
    if (setjmp(d.trap.jump) != 0) {
        return false;
    }
    jpeg_create_decompress(&d.info);
    jpeg_mem_src(&d.info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&d.info, TRUE);
    return true;
}

bool startDecoding(Decompressor& d) {
    if (setjmp(d.trap.jump) != 0) {
        return false;
    }
    jpeg_start_decompress(&d.info);
    return true;
}

bool readRows(Decompressor& d, Picture& picture) {
    if (setjmp(d.trap.jump) != 0) {
        return false;
    }
    constexpr JDIMENSION kBatch = 16;
    JSAMPROW rows[kBatch];
    while (d.info.output_scanline < d.info.output_height) {
        const JDIMENSION first = d.info.output_scanline;
        const JDIMENSION count = std::min(kBatch, d.info.output_height - first);
        for (JDIMENSION i = 0; i < count; ++i) {
            rows[i] = picture.scanLine(static_cast<int>(first + i));
        }
        jpeg_read_scanlines(&d.info, rows, count);
    }
    jpeg_finish_decompress(&d.info);
    return true;
}

[[noreturn]] void fail(int messageCode) {
    throw Error(jpegErrorText(messageCode));
}

}  // namespace

Picture readJpeg(std::span<const std::uint8_t> file, int displayBitsPerPixel) {
    Decompressor d;
    if (!readHeader(d, file.data(), file.size())) {
        fail(d.trap.messageCode);
    }

    const bool palette = displayBitsPerPixel <= 8;
    const PixelFormat format = palette ? PixelFormat::Indexed8 : PixelFormat::Rgb24;
    const JDIMENSION width = d.info.image_width;
    const JDIMENSION height = d.info.image_height;
    if (width > static_cast<JDIMENSION>(Picture::kMaxSide) ||
        height > static_cast<JDIMENSION>(Picture::kMaxSide) ||
        static_cast<std::size_t>(Picture::strideFor(static_cast<int>(width), format)) * height >
            Picture::kMaxBytes) {
        fail(JERR_IMAGE_TOO_BIG);
    }
    const std::uint64_t pixels = std::uint64_t{width} * height;
    if (pixels > kPixelsAlwaysDecoded && pixels > file.size() * kPixelsPerByte) {
        fail(JWRN_JPEG_EOF);
    }

    d.info.dct_method = JDCT_ISLOW;
    d.info.do_block_smoothing = TRUE;
    d.info.scale_num = 1;
    d.info.scale_denom = 1;
    d.info.buffered_image = FALSE;
    d.info.mem->max_memory_to_use = kCodecMemory;
    if (palette) {
        d.info.out_color_space = JCS_RGB;
        d.info.quantize_colors = TRUE;
        d.info.desired_number_of_colors = kPaletteColours;
        d.info.two_pass_quantize = TRUE;
        d.info.dither_mode = JDITHER_FS;
    } else {
        d.info.out_color_space = JCS_EXT_BGR;  // the picture's own byte order
    }
    if (!startDecoding(d)) {
        fail(d.trap.messageCode);
    }

    std::vector<ColorValue> colours;
    if (palette) {
        colours.resize(static_cast<std::size_t>(d.info.actual_number_of_colors));
        for (std::size_t i = 0; i < colours.size(); ++i) {
            colours[i] =
                rgbValue(d.info.colormap[0][i], d.info.colormap[1][i], d.info.colormap[2][i]);
        }
    }
    Picture picture(static_cast<int>(d.info.output_width), static_cast<int>(d.info.output_height),
                    format, std::move(colours));
    if (!readRows(d, picture)) {
        fail(d.trap.messageCode);
    }
    return picture;
}

}  // namespace varnoset
