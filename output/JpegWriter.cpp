#include "output/JpegWriter.h"

#include <algorithm>
#include <cstddef>

#include "core/Error.h"
#include "imaging/PixelConversion.h"
#include "output/JpegErrorTrap.h"

#include <jerror.h>

namespace varnoset {

namespace {

constexpr int kQuality = 100;

// Collects the encoded bytes in a vector. A growth that fails is reported to the codec as its
// own out-of-memory failure, after the exception has been caught.
struct VectorDestination {
    jpeg_destination_mgr manager{};  // first member: the codec's dest pointer points at it
    std::vector<std::uint8_t>* bytes = nullptr;
    std::size_t initialSize = 0;
};

VectorDestination& destinationOf(j_compress_ptr codec) {
    return *reinterpret_cast<VectorDestination*>(codec->dest);
}

void initDestination(j_compress_ptr codec) {
    VectorDestination& d = destinationOf(codec);
    bool grown = true;
    try {
        d.bytes->resize(d.initialSize);
    } catch (...) {
        grown = false;
    }
    if (!grown) {
        ERREXIT1(codec, JERR_OUT_OF_MEMORY, 0);
    }
    d.manager.next_output_byte = d.bytes->data();
    d.manager.free_in_buffer = d.bytes->size();
}

boolean emptyOutputBuffer(j_compress_ptr codec) {
    VectorDestination& d = destinationOf(codec);
    const std::size_t used = d.bytes->size();
    bool grown = true;
    try {
        d.bytes->resize(used * 2);
    } catch (...) {
        grown = false;
    }
    if (!grown) {
        ERREXIT1(codec, JERR_OUT_OF_MEMORY, 1);
    }
    d.manager.next_output_byte = d.bytes->data() + used;
    d.manager.free_in_buffer = d.bytes->size() - used;
    return TRUE;
}

void termDestination(j_compress_ptr codec) {
    VectorDestination& d = destinationOf(codec);
    d.bytes->resize(d.bytes->size() - d.manager.free_in_buffer);  // shrinking never allocates
}

struct Compressor {
    Compressor() { info.err = &trap.manager; }
    ~Compressor() { jpeg_destroy_compress(&info); }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    jpeg_compress_struct info{};
    JpegErrorTrap trap;
    VectorDestination destination;
};

// Rows of the picture as the codec reads them, top row first; step may be negative.
struct RowSource {
    const std::uint8_t* top = nullptr;
    std::ptrdiff_t step = 0;
    int width = 0;
    int height = 0;
    J_COLOR_SPACE colourSpace = JCS_EXT_BGR;
    int components = 3;
};

// The guarded encoding: holds only plain values, so a codec failure returns false here without
// skipping a destructor.
bool compress(Compressor& c, const RowSource& source) {
    if (setjmp(c.trap.jump) != 0) {
        return false;
    }
    jpeg_create_compress(&c.info);
    c.destination.manager.init_destination = initDestination;
    c.destination.manager.empty_output_buffer = emptyOutputBuffer;
    c.destination.manager.term_destination = termDestination;
    c.info.dest = &c.destination.manager;

    c.info.image_width = static_cast<JDIMENSION>(source.width);
    c.info.image_height = static_cast<JDIMENSION>(source.height);
    c.info.input_components = source.components;
    c.info.in_color_space = source.colourSpace;
    jpeg_set_defaults(&c.info);
    jpeg_set_quality(&c.info, kQuality, TRUE);
    c.info.dct_method = JDCT_ISLOW;
    c.info.optimize_coding = FALSE;
    jpeg_start_compress(&c.info, TRUE);

    constexpr JDIMENSION kBatch = 16;
    JSAMPROW rows[kBatch];
    while (c.info.next_scanline < c.info.image_height) {
        const JDIMENSION first = c.info.next_scanline;
        const JDIMENSION count = std::min(kBatch, c.info.image_height - first);
        for (JDIMENSION i = 0; i < count; ++i) {
            // The codec only reads the rows it is given.
            rows[i] = const_cast<JSAMPROW>(source.top +
                                           static_cast<std::ptrdiff_t>(first + i) * source.step);
        }
        jpeg_write_scanlines(&c.info, rows, count);
    }
    jpeg_finish_compress(&c.info);
    return true;
}

}  // namespace

std::vector<std::uint8_t> writeJpeg(const Picture& picture) {
    std::vector<std::uint8_t> bytes;
    Compressor c;
    c.destination.bytes = &bytes;
    c.destination.initialSize =
        std::max<std::size_t>(std::size_t{1} << 16, static_cast<std::size_t>(picture.width()) *
                                                        static_cast<std::size_t>(picture.height()));

    RowSource source;
    source.width = picture.width();
    source.height = picture.height();
    PixelRows converted;  // only for formats the codec cannot read directly
    switch (picture.format()) {
        case PixelFormat::Rgb24:
            source.top = picture.scanLine(0);
            source.step = picture.stride();
            break;
        case PixelFormat::Rgb32:
        case PixelFormat::Device:
            source.top = picture.scanLine(0);
            source.step = picture.stride();
            source.colourSpace = JCS_EXT_BGRX;
            source.components = 4;
            break;
        default:
            converted = readPixelRows(picture);
            if (!picture.isEmpty()) {
                source.top = converted.row(converted.height - 1);  // the rows are bottom-up
                source.step = -static_cast<std::ptrdiff_t>(converted.stride());
            }
            break;
    }
    if (!compress(c, source)) {
        throw Error(jpegErrorText(c.trap.messageCode));
    }
    return bytes;
}

}  // namespace varnoset
