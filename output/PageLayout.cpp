#include "output/PageLayout.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/Error.h"

namespace varnoset {

namespace {

// A printer that reports no resolution or page, or values no printer has, cannot be laid out
// for; printing on it would draw nothing or a page of garbage.
void requireUsable(const PageMeasures& m) {
    const auto within = [](int value, int low, int high) { return value >= low && value <= high; };
    if (!within(m.printerDpiX, 1, kMaxPrinterDpi) || !within(m.printerDpiY, 1, kMaxPrinterDpi) ||
        !within(m.pageWidth, 1, kMaxPagePixels) || !within(m.pageHeight, 1, kMaxPagePixels) ||
        !within(m.offsetX, 0, kMaxPagePixels) || !within(m.offsetY, 0, kMaxPagePixels)) {
        throw Error(QStringLiteral("The printer reports an unusable page: %1 x %2 pixels at %3 x "
                                   "%4 dpi, %5 x %6 pixels from the paper's edge")
                        .arg(m.pageWidth)
                        .arg(m.pageHeight)
                        .arg(m.printerDpiX)
                        .arg(m.printerDpiY)
                        .arg(m.offsetX)
                        .arg(m.offsetY)
                        .toStdString());
    }
}

// Shrinks w × h by one factor to the largest size of its shape inside width × height: the side
// that meets its limit takes it, the other rounds to the nearest pixel (halves to even).
void shrinkToFit(std::int64_t& w, std::int64_t& h, int width, int height) {
    const double factor = std::min(static_cast<double>(width) / static_cast<double>(w),
                                   static_cast<double>(height) / static_cast<double>(h));
    w = static_cast<std::int64_t>(std::nearbyint(static_cast<double>(w) * factor));
    h = static_cast<std::int64_t>(std::nearbyint(static_cast<double>(h) * factor));
}

}  // namespace

PageLayout layOutPage(const PageMeasures& m, QSize picture, const PageOptions& options) {
    requireUsable(m);
    // A screen resolution of zero cannot be measured; treat it as one rather than divide by it.
    const int sdx = std::max(1, m.screenDpiX);
    const int sdy = std::max(1, m.screenDpiY);

    PageLayout p;
    p.scaleX = m.printerDpiX / sdx + 1;
    p.scaleY = m.printerDpiY / sdy + 1;
    p.lineHeight = (options.fontPointSize + 2) * p.scaleY;
    p.usableWidth = m.pageWidth - m.offsetX;
    p.usableHeight = m.pageHeight - m.offsetY;
    if (options.footerLines > 0) {
        p.usableHeight -= (options.footerLines + 1) * p.lineHeight;
    }
    const int W = p.usableWidth;
    const int H = p.usableHeight;
    if (W < 1 || H < 1) {
        throw Error(options.footerLines > 0
                        ? "The page is too small for the picture and its footer lines"
                        : "The page is too small for the picture");
    }
    p.footerLeft = m.offsetX / 2 + 10;
    p.x = m.offsetX / 2;
    p.y = m.offsetY / 2;
    if (picture.isEmpty()) {
        return p;  // nothing to draw
    }

    // 64-bit until the picture is brought to the page: a wide picture at a high resolution
    // overflows 32 bits.
    std::int64_t w = W;
    std::int64_t h = H;
    if (m.printerDpiX > sdx) {
        w = std::int64_t{picture.width()} * p.scaleX;
    }
    if (m.printerDpiY > sdy) {
        h = std::int64_t{picture.height()} * p.scaleY;
    }
    if (options.size == PictureSize::Half) {
        w /= 2;
        h /= 2;
    }
    if (options.size == PictureSize::Page) {
        w = W;
        h = H;
    }
    w = std::max<std::int64_t>(w, 1);
    h = std::max<std::int64_t>(h, 1);
    if (w > W || h > H) {
        if (options.keepProportions) {
            shrinkToFit(w, h, W, H);
        }
        w = std::min<std::int64_t>(w, W);
        h = std::min<std::int64_t>(h, H);
    }
    // A picture far longer than wide keeps a pixel of its short side.
    p.width = static_cast<int>(std::max<std::int64_t>(w, 1));
    p.height = static_cast<int>(std::max<std::int64_t>(h, 1));

    if (options.centred) {
        if (W - p.width > 0) {
            p.x = (W - p.width) / 2;
        }
        if (H - p.height > 0) {
            p.y = (H - p.height) / 2;
        }
    }
    // The half offset above the picture must not push it into the footer band: it rises instead.
    if (options.footerLines > 0) {
        p.y = std::min(p.y, H - p.height);
    }
    return p;
}

}  // namespace varnoset
