#include "imaging/FramePainter.h"

#include <algorithm>
#include <cstdint>

#include "imaging/PackedPixels.h"
#include "imaging/PaletteMatcher.h"

namespace varnoset {

namespace {

using Byte = std::uint8_t;

// Inverts pixels [from, to) of one line. On the direct formats the pen's black is 0, so
// NOT (black XOR pixel) flips every colour bit. On a palette picture the raster operation acts on
// the stored index: the pen's index is that of the palette entry nearest to black, and the
// result is NOT (pen XOR index) within the index's bits. With the 16- and 256-colour palettes
// black is entry 0 and entry N - 1 - i is (close to) the inverse of entry i, so the frame shows
// inverted colours there too; with other palettes it shows whatever colour the index names.
void invertSpan(Byte* line, int from, int to, PixelFormat format, int penIndex) {
    switch (format) {
        case PixelFormat::Indexed1:
        case PixelFormat::Indexed4:
        case PixelFormat::Indexed8: {
            const int bits = storageBits(format);
            const int mask = (1 << bits) - 1;
            for (int x = from; x < to; ++x) {
                setIndexAt(line, x, bits, ~(penIndex ^ indexAt(line, x, bits)) & mask);
            }
            break;
        }
        case PixelFormat::Rgb555:
        case PixelFormat::Rgb565: {
            // The top bit of a 5-5-5 word is unused and stays clear.
            const Byte highMask = format == PixelFormat::Rgb555 ? 0x7F : 0xFF;
            for (int x = from; x < to; ++x) {
                line[2 * x] ^= 0xFF;
                line[2 * x + 1] ^= highMask;
            }
            break;
        }
        case PixelFormat::Rgb24:
            for (int i = 3 * from; i < 3 * to; ++i) {
                line[i] ^= 0xFF;
            }
            break;
        case PixelFormat::Rgb32:
        case PixelFormat::Device:
            for (int x = from; x < to; ++x) {
                line[4 * x] ^= 0xFF;
                line[4 * x + 1] ^= 0xFF;
                line[4 * x + 2] ^= 0xFF;
            }
            break;
    }
}

}  // namespace

void FramePainter::draw(Picture& picture, int frameSize) {
    if (frameSize >= 0) {
        penWidth_ = std::max(1, frameSize);
    }
    if (picture.isEmpty()) {
        return;
    }
    const int width = picture.width();
    const int height = picture.height();
    const int band = penWidth_ / 2 + 1;
    const PixelFormat format = picture.format();
    const int penIndex = isIndexed(format) ? PaletteMatcher(picture.palette()).nearest(0, 0, 0) : 0;

    // Each covered pixel is inverted exactly once, also where the bands of opposite edges meet.
    const int leftEnd = std::min(band, width);
    const int rightStart = std::max(width - band, leftEnd);
    for (int y = 0; y < height; ++y) {
        Byte* line = picture.scanLine(y);
        if (y < band || y >= height - band) {
            invertSpan(line, 0, width, format, penIndex);
        } else {
            invertSpan(line, 0, leftEnd, format, penIndex);
            invertSpan(line, rightStart, width, format, penIndex);
        }
    }
}

}  // namespace varnoset
