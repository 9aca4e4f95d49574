#include "output/PageLayout.h"

#include <algorithm>
#include <cstdint>

namespace varnoset {

namespace {

// The picture at its normal printed proportions (bw × Sx by bh × Sy), as large as fits into
// width × height.
QSize fitInto(QSize picture, int scaleX, int scaleY, int width, int height) {
    const std::int64_t pw = std::int64_t{picture.width()} * scaleX;
    const std::int64_t ph = std::int64_t{picture.height()} * scaleY;
    if (pw <= 0 || ph <= 0 || width <= 0 || height <= 0) {
        return {0, 0};
    }
    if (pw * height <= ph * width) {
        return {static_cast<int>(std::max<std::int64_t>(1, pw * height / ph)), height};
    }
    return {width, static_cast<int>(std::max<std::int64_t>(1, ph * width / pw))};
}

int clipped(int value, int limit) {
    return std::clamp(value, 0, std::clamp(limit, 0, kMaxPageCoordinate));
}

}  // namespace

PageLayout layOutPage(const PageMeasures& m, QSize picture, const PageOptions& options) {
    // A resolution of zero cannot be measured; treat it as one rather than divide by it.
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

    // 64-bit until the overflow rules have brought the sides back to the page.
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
    if (w > W) {
        if (options.keepProportions) {
            h -= (w - W) / p.scaleX * p.scaleY;
        }
        w = W;
    }
    if (h > H) {
        if (options.keepProportions) {
            w -= (h - H) / p.scaleY * p.scaleX;
        }
        h = H;
    }
    if (options.keepProportions && (w <= 0 || h <= 0)) {
        const QSize fit = fitInto(picture, p.scaleX, p.scaleY, W, H);
        w = fit.width();
        h = fit.height();
        p.fitted = true;
    }
    p.width = static_cast<int>(w);
    p.height = static_cast<int>(h);

    p.x = m.offsetX / 2;
    p.y = m.offsetY / 2;
    if (options.centred) {
        if (W - p.width > 0) {
            p.x = (W - p.width) / 2;
        }
        if (H - p.height > 0) {
            p.y = (H - p.height) / 2;
        }
    }
    p.footerLeft = m.offsetX / 2 + 10;

    p.x = clipped(p.x, m.pageWidth);
    p.y = clipped(p.y, m.pageHeight);
    p.width = clipped(p.width, m.pageWidth - p.x);
    p.height = clipped(p.height, m.pageHeight - p.y);
    return p;
}

}  // namespace varnoset
