#include "imaging/ReduceColorDepth.h"

#include <stdexcept>

#include "imaging/PixelConversion.h"
#include "imaging/StandardPalettes.h"

namespace varnoset {

void ReduceColorDepth(Picture& picture, int bits) {
    if (bits != 4 && bits != 8) {
        throw std::invalid_argument("colour depth must be 4 or 8 bits");
    }
    if (picture.isEmpty()) {
        return;
    }
    if (bits == 4) {
        convertPixelFormat(picture, PixelFormat::Indexed4, standardPalette16());
    } else {
        convertPixelFormat(picture, PixelFormat::Indexed8, halftonePalette256());
    }
}

}  // namespace varnoset
