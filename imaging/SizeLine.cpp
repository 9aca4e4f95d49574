#include "imaging/SizeLine.h"

namespace varnoset {

int bitsPerPixel(const Picture& picture, int displayBitsPerPixel) {
    // A picture that holds nothing yet counts as being in the display's format.
    if (picture.isEmpty() || picture.format() == PixelFormat::Device) {
        return displayBitsPerPixel;
    }
    // 5-5-5 is stored in 16 bits but holds 15.
    return picture.format() == PixelFormat::Rgb555 ? 15 : storageBits(picture.format());
}

QString colorCountText(int bits) {
    switch (bits) {
        case 1:
            return QStringLiteral("2 Colors");
        case 4:
            return QStringLiteral("16 Colors");
        case 8:
            return QStringLiteral("256 Colors");
        case 15:
            return QStringLiteral("32K Colors");
        case 16:
            return QStringLiteral("64K Colors");
        case 24:
            return QStringLiteral("16M Colors");
        default:
            return QStringLiteral("64M Colors");
    }
}

std::int64_t sizeInKilobytes(int width, int height, int bits) {
    constexpr std::int64_t kBitsPerKilobyte = 8 * 1024;
    const std::int64_t total = std::int64_t{width} * height * bits;
    std::int64_t kb = total / kBitsPerKilobyte;
    const std::int64_t rest = total % kBitsPerKilobyte;
    if (rest * 2 > kBitsPerKilobyte || (rest * 2 == kBitsPerKilobyte && kb % 2 == 1)) {
        ++kb;
    }
    return kb;
}

QString SizeLine(const Picture& picture, int displayBitsPerPixel) {
    const int bits = bitsPerPixel(picture, displayBitsPerPixel);
    return QStringLiteral("Size %1 X %2  = %3 KB with %4")
        .arg(picture.width())
        .arg(picture.height())
        .arg(sizeInKilobytes(picture.width(), picture.height(), bits))
        .arg(colorCountText(bits));
}

}  // namespace varnoset
