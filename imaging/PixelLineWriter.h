#pragma once

#include "imaging/PaletteMatcher.h"
#include "imaging/Picture.h"

namespace varnoset {

// Stores 24-bit rows into the lines of a picture in the picture's own format, each colour the
// format cannot hold exactly as the nearest it can: the nearest palette entry (no dithering), or
// the nearest 5-bit or 6-bit level. Keeps its nearest-colour look-ups from one block of lines to
// the next, so a picture can be written in strips.
class PixelLineWriter {
public:
    explicit PixelLineWriter(Picture& target);

    // Writes rows (bottom-up, as PixelRows are) into lines first .. first + rows.height - 1.
    // Throws std::out_of_range when they do not fit the picture.
    void write(const PixelRows& rows, int first);

private:
    Picture& target_;
    PaletteMatcher matcher_;
};

}  // namespace varnoset
