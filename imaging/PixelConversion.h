#pragma once

#include <vector>

#include "imaging/ColorValue.h"
#include "imaging/Picture.h"

namespace varnoset {

// Every pixel of the picture as 24-bit rows, whatever its format: palette indices are looked up
// (an index past the palette's end reads as black), 5-bit and 6-bit fields are widened by
// repeating their top bits. An empty picture gives empty rows.
PixelRows readPixelRows(const Picture& picture);

// Lines first .. first + count - 1 of the picture (counted from the top) into rows, reusing their
// storage; the last of those lines becomes row 0, as in readPixelRows. Throws std::out_of_range
// for lines outside the picture.
void readPixelLines(const Picture& picture, int first, int count, PixelRows& rows);

// A picture of the given format made from the rows. Colours the format cannot hold exactly are
// stored as the nearest it can: the nearest palette entry for a palette format (no dithering),
// the nearest 5-bit or 6-bit level for the 16-bit formats. The palette is kept only for the
// palette formats.
Picture pictureFromRows(const PixelRows& rows, PixelFormat format,
                        std::vector<ColorValue> palette = {});

// Rewrites the picture in another format at the same size, each pixel taking the nearest colour
// the new format holds. A picture already in that format is left exactly as it is, palette
// included.
void convertPixelFormat(Picture& picture, PixelFormat format, std::vector<ColorValue> palette = {});

}  // namespace varnoset
