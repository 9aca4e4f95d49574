#include "imaging/ImagePipeline.h"

#include <algorithm>

#include "imaging/ApplyImageOptions.h"
#include "imaging/PixelConversion.h"
#include "imaging/PixelLineWriter.h"

namespace varnoset {

namespace {

// Every option works on each row alone, so the pass runs over strips of rows small enough to
// stay in the processor's cache instead of over one buffer of the whole picture.
constexpr int kStripBytes = 256 * 1024;

}  // namespace

ImagePipeline::Result ImagePipeline::run(const Picture& source, const ImageOptions& options,
                                         bool directSwap) {
    ImageOptions effective = options;
    effective.swap = options.swap || directSwap;

    Result result;
    result.preview =
        Picture(source.isEmpty() ? 0 : source.width(), source.isEmpty() ? 0 : source.height(),
                source.format(), source.palette());
    if (!source.isEmpty()) {
        PixelLineWriter writer(result.preview);
        PixelRows strip;
        const int stripLines = std::max(1, kStripBytes / PixelRows::strideFor(source.width()));
        for (int first = 0; first < source.height(); first += stripLines) {
            const int count = std::min(stripLines, source.height() - first);
            readPixelLines(source, first, count, strip);
            ApplyImageOptions(strip.bytes.data(), strip.width, strip.height, strip.stride(),
                              effective);
            writer.write(strip, first);
        }
    }
    if (directSwap) {
        result.source = result.preview;
    }
    if (options.frame) {
        framePainter_.draw(result.preview, options.frameSize);
    }
    return result;
}

}  // namespace varnoset
