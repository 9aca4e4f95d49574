#include "ImagePipeline.h"

#include "ApplyImageOptions.h"
#include "PixelConversion.h"

namespace varnoset {

ImagePipeline::Result ImagePipeline::run(const Picture& source, const ImageOptions& options,
                                         bool directSwap) {
    ImageOptions effective = options;
    effective.swap = options.swap || directSwap;

    PixelRows rows = readPixelRows(source);
    ApplyImageOptions(rows.bytes.data(), rows.width, rows.height, rows.stride(), effective);

    Result result;
    result.preview = pictureFromRows(rows, source.format(), source.palette());
    if (directSwap) {
        result.source = result.preview;
    }
    if (options.frame) {
        framePainter_.draw(result.preview, options.frameSize);
    }
    return result;
}

}  // namespace varnoset
