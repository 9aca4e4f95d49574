#pragma once

#include "imaging/Picture.h"

namespace varnoset {

// Draws the frame: the outline through the outermost pixel rows and columns of a picture, with a
// pen centred on it in NOT-XOR mode, so every covered pixel is inverted once and drawing the
// same frame twice gives the picture back. The pen keeps its width from one frame to the next.
class FramePainter {
public:
    // frameSize is the pen width in dots: 0 draws like 1, a negative value keeps the width of
    // the previous frame (1 before the first one). Half the pen lies outside the picture, so an
    // edge band of frameSize / 2 + 1 pixels is inverted. Nothing is drawn on an empty picture.
    void draw(Picture& picture, int frameSize);

    int penWidth() const { return penWidth_; }

private:
    int penWidth_ = 1;
};

}  // namespace varnoset
