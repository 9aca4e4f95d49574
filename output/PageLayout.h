#pragma once

#include <QRect>
#include <QSize>

namespace varnoset {

// The device values a page is laid out from: the printer's resolution, physical offset and
// printable size in its own pixels, and the screen's resolution.
struct PageMeasures {
    int printerDpiX = 0;  // Pdx
    int printerDpiY = 0;  // Pdy
    int offsetX = 0;      // Ox
    int offsetY = 0;      // Oy
    int pageWidth = 0;    // PW
    int pageHeight = 0;   // PH
    int screenDpiX = 0;   // Sdx
    int screenDpiY = 0;   // Sdy
};

enum class PictureSize { Normal, Half, Page };

struct PageOptions {
    PictureSize size = PictureSize::Normal;
    bool keepProportions = false;
    bool centred = false;
    int footerLines = 0;  // 0 to 3
    int fontPointSize = 10;
};

// Where the picture and the footer go on the page, in printer pixels relative to the printable
// area's top-left corner.
struct PageLayout {
    int scaleX = 0;        // Sx: printer pixels per screen pixel
    int scaleY = 0;        // Sy
    int lineHeight = 0;    // L
    int usableWidth = 0;   // W
    int usableHeight = 0;  // H: above the footer band
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int footerLeft = 0;  // xt
    // Set when "Keep Proportions" would have left a side at zero or below and the picture was
    // fitted into the usable area instead.
    bool fitted = false;

    QRect pictureRect() const { return {x, y, width, height}; }
    // Top of footer line i (1-based); line 0 is the empty line between picture and footer.
    int footerLineTop(int i) const { return usableHeight + i * lineHeight; }
};

// The largest value the picture rectangle carries; anything beyond is clipped to it.
inline constexpr int kMaxPageCoordinate = 65535;

// Lays out a picture of the given size in screen pixels. Integer arithmetic throughout, "/ 2"
// truncating toward zero: the scale is the integer quotient of the resolutions plus one, the
// footer band is one line higher than the number of lines, width overflow is handled before
// height overflow, and an overflowing side without "Keep Proportions" is simply cut, stretching
// the picture. Two guards: when "Keep Proportions" leaves a side at zero or below, the picture is
// fitted into the usable area keeping its printed proportions; and the rectangle is clipped to
// the page and to 0..kMaxPageCoordinate instead of wrapping.
PageLayout layOutPage(const PageMeasures& measures, QSize picture, const PageOptions& options);

}  // namespace varnoset
