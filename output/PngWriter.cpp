#include "output/PngWriter.h"

#include <algorithm>

#include "core/Error.h"
#include "imaging/PackedPixels.h"
#include "imaging/PixelConversion.h"
#include "output/PngErrorTrap.h"

namespace varnoset {

namespace {

// Lines converted to 24 bits at a time for the formats the encoder cannot take as they are.
constexpr int kStripLines = 64;

struct Encoder {
    Encoder()
        : png(png_create_write_struct(PNG_LIBPNG_VER_STRING, &trap, PngErrorTrap::fail,
                                      PngErrorTrap::warn)) {
        if (png != nullptr) {
            info = png_create_info_struct(png);
        }
        if (info == nullptr) {
            png_destroy_write_struct(&png, nullptr);  // no destructor runs after a throw
            throw Error("Out of memory");
        }
    }
    ~Encoder() { png_destroy_write_struct(&png, &info); }
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;

    PngErrorTrap trap;  // before png, which keeps its address
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<std::uint8_t>* bytes = nullptr;
};

// A growth of the output that fails is reported to libpng as its own failure, after the
// exception has been caught.
void appendBytes(png_structp png, png_bytep data, std::size_t length) {
    auto* e = static_cast<Encoder*>(png_get_io_ptr(png));
    bool grown = true;
    try {
        e->bytes->insert(e->bytes->end(), data, data + length);
    } catch (...) {
        grown = false;
    }
    if (!grown) {
        png_error(png, "out of memory");
    }
}

void flushNothing(png_structp) {}

// The palette written: the picture's, long enough for every index its pixels use (an index past
// the palette's end shows black, as it does in the picture).
std::vector<png_color> pngPalette(const Picture& picture) {
    const int bits = storageBits(picture.format());
    int used = 0;
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint8_t* line = picture.scanLine(y);
        for (int x = 0; x < picture.width(); ++x) {
            used = std::max(used, indexAt(line, x, bits) + 1);
        }
    }
    const auto& palette = picture.palette();
    std::vector<png_color> entries(std::max(palette.size(), static_cast<std::size_t>(used)));
    for (std::size_t i = 0; i < palette.size(); ++i) {
        entries[i] = {static_cast<png_byte>(redOf(palette[i])),
                      static_cast<png_byte>(greenOf(palette[i])),
                      static_cast<png_byte>(blueOf(palette[i]))};
    }
    entries.resize(
        std::min(entries.size(), static_cast<std::size_t>(paletteSize(picture.format()))));
    return entries;
}

// The guarded steps. Each sets the jump target before its first libpng call and holds only plain
// values, so a failure returns false here without skipping a destructor.

bool writeHeader(Encoder& e, const Picture& picture, const std::vector<png_color>& palette) {
    if (setjmp(png_jmpbuf(e.png)) != 0) {
        return false;
    }
    png_set_write_fn(e.png, &e, appendBytes, flushNothing);
    const bool indexed = isIndexed(picture.format());
    png_set_IHDR(e.png, e.info, static_cast<png_uint_32>(picture.width()),
                 static_cast<png_uint_32>(picture.height()),
                 indexed ? storageBits(picture.format()) : 8,
                 indexed ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (indexed) {
        png_set_PLTE(e.png, e.info, palette.data(), static_cast<int>(palette.size()));
    }
    png_write_info(e.png, e.info);
    if (!indexed) {
        png_set_bgr(e.png);  // the picture's own byte order
    }
    return true;
}

bool writeRow(Encoder& e, const std::uint8_t* row) {
    if (setjmp(png_jmpbuf(e.png)) != 0) {
        return false;
    }
    png_write_row(e.png, row);
    return true;
}

bool writeEnd(Encoder& e) {
    if (setjmp(png_jmpbuf(e.png)) != 0) {
        return false;
    }
    png_write_end(e.png, nullptr);
    return true;
}

}  // namespace

std::vector<std::uint8_t> writePng(const Picture& picture) {
    if (picture.isEmpty()) {
        throw Error("PNG image is not valid: no pixels");
    }
    std::vector<std::uint8_t> bytes;
    Encoder e;
    e.bytes = &bytes;
    const auto fail = [&e] { throw Error("PNG image is not valid: " + e.trap.text()); };
    const std::vector<png_color> palette =
        isIndexed(picture.format()) ? pngPalette(picture) : std::vector<png_color>{};
    if (!writeHeader(e, picture, palette)) {
        fail();
    }
    const bool direct = isIndexed(picture.format()) || picture.format() == PixelFormat::Rgb24;
    PixelRows strip;
    for (int first = 0; first < picture.height(); first += kStripLines) {
        const int count = std::min(kStripLines, picture.height() - first);
        if (!direct) {
            readPixelLines(picture, first, count, strip);
        }
        for (int i = 0; i < count; ++i) {
            // A strip's rows are bottom-up: its last line is row 0.
            const std::uint8_t* row =
                direct ? picture.scanLine(first + i) : strip.row(count - 1 - i);
            if (!writeRow(e, row)) {
                fail();
            }
        }
    }
    if (!writeEnd(e)) {
        fail();
    }
    return bytes;
}

}  // namespace varnoset
