#pragma once

#include <QImage>

#include "imaging/Picture.h"

namespace varnoset {

// The picture as a QImage for display, the clipboard and printing, in the nearest QImage format:
// a palette picture becomes an indexed image whose colour table is the palette (a 4-bit picture
// an 8-bit indexed one with the same 16 colours), 16-bit pictures keep their layout, 24-bit
// pictures become BGR888 and 32-bit and display-format pictures opaque RGB32. An empty picture
// gives a null image.
QImage toQImage(const Picture& picture);

// A picture of the given format made from any QImage. Into a palette format an indexed image
// keeps its indices and colour table when the table fits; any other image takes, pixel by
// pixel, the nearest colour of the format's standard palette (black and white, the 16-colour or
// the 256-colour palette). Alpha is dropped. A null image gives an empty picture.
Picture fromQImage(const QImage& image, PixelFormat format);

}  // namespace varnoset
