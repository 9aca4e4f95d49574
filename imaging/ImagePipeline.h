#pragma once

#include <optional>

#include "imaging/FramePainter.h"
#include "imaging/ImageOptions.h"
#include "imaging/Picture.h"

namespace varnoset {

// The image options pass without its user-interface parts (the ProcessingEnabled guard, the
// wait cursor and the repaint stay with the main window). It keeps the frame pen's width between
// passes, so one pipeline lives as long as the main window.
class ImagePipeline {
public:
    struct Result {
        Picture preview;                // the new PreviewPicture, frame included
        std::optional<Picture> source;  // the new SourcePicture after a direct swap
    };

    // Derives the preview from the source: reads its pixels as 24-bit rows, applies the options,
    // stores the result in the source's own pixel format and palette, then draws the frame if it
    // is on. An empty source gives an empty preview. With directSwap the two colours are first
    // exchanged in the source itself, which becomes the new source, and the preview is derived
    // from that.
    Result run(const Picture& source, const ImageOptions& options, bool directSwap);

private:
    FramePainter framePainter_;
};

}  // namespace varnoset
