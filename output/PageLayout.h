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

    QRect pictureRect() const { return {x, y, width, height}; }
    // Top of footer line i (1-based); line 0 is the empty line between picture and footer.
    int footerLineTop(int i) const { return usableHeight + i * lineHeight; }
};

// What a printer may report and still be printed on: beyond these it reports nonsense.
inline constexpr int kMaxPrinterDpi = 100'000;
inline constexpr int kMaxPagePixels = 10'000'000;

// Lays out a picture of the given size in screen pixels. The picture's size on the page is its
// screen size times the scale (the integer quotient of the resolutions plus one; the usable extent
// on an axis where the printer's resolution is not above the screen's), halved for "1/2 Picture
// Size", or the usable area for "Picture = Page Size". Where that overflows the usable area,
// "Keep Proportions" shrinks both sides by one factor to the largest picture of the same shape
// that fits (to the nearest printer pixel); without it each overflowing side is cut to the usable
// extent, stretching the picture. A non-empty picture is at least one pixel each way, lies inside
// the printable area and above the footer band. Throws Error with the text to show when the
// printer reports an unusable page or the page leaves no room beside the footer lines.
PageLayout layOutPage(const PageMeasures& measures, QSize picture, const PageOptions& options);

}  // namespace varnoset
