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

// The picture with the options applied, in its own pixel format and palette.
Picture applied(const Picture& source, const ImageOptions& options) {
    Picture result(source.isEmpty() ? 0 : source.width(), source.isEmpty() ? 0 : source.height(),
                   source.format(), source.palette());
    if (!source.isEmpty()) {
        PixelLineWriter writer(result);
        PixelRows strip;
        const int stripLines = std::max(1, kStripBytes / PixelRows::strideFor(source.width()));
        for (int first = 0; first < source.height(); first += stripLines) {
            const int count = std::min(stripLines, source.height() - first);
            readPixelLines(source, first, count, strip);
            ApplyImageOptions(strip.bytes.data(), strip.width, strip.height, strip.stride(),
                              options);
            writer.write(strip, first);
        }
    }
    return result;
}

}  // namespace

ImagePipeline::Result ImagePipeline::run(const Picture& source, const ImageOptions& options,
                                         bool directSwap) {
    Result result;
    if (directSwap) {
        // Only the exchange goes into the source; every other option stays a setting that the
        // pass applies to it.
        ImageOptions exchangeOnly;
        exchangeOnly.swap = true;
        exchangeOnly.color1 = options.color1;
        exchangeOnly.color2 = options.color2;
        result.source = applied(source, exchangeOnly);
    }
    result.preview = applied(result.source ? *result.source : source, options);
    if (options.frame) {
        framePainter_.draw(result.preview, options.frameSize);
    }
    return result;
}

}  // namespace varnoset
