#include "platform/linux/XcbScreen.h"

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QScreen>
#include <cmath>
#include <cstring>

#include "core/Error.h"
#include "platform/linux/XcbConnection.h"
#include "platform/linux/XcbPointerEvents.h"
#include "platform/linux/XcbShmPool.h"
#include "platform/linux/XcbShmSegment.h"

namespace varnoset {

// How the server lays out a ZPixmap of the root depth.
struct XcbScreen::Format {
    int bitsPerPixel = 0;
    int scanlinePad = 32;
    bool lsbFirst = true;
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;

    int strideFor(int width) const {
        const int bits = width * bitsPerPixel;
        return ((bits + scanlinePad - 1) / scanlinePad) * (scanlinePad / 8);
    }
    // B, G, R, unused in memory, as the display format of a picture is stored.
    bool isNative() const {
        return bitsPerPixel == 32 && lsbFirst && redMask == 0xff0000 && greenMask == 0xff00 &&
               blueMask == 0xff;
    }
};

namespace {

// One colour channel of a pixel value, widened to 8 bits.
std::uint8_t channel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    int shift = 0;
    while (((mask >> shift) & 1u) == 0) {
        ++shift;
    }
    const std::uint32_t max = mask >> shift;
    const std::uint32_t value = (pixel & mask) >> shift;
    return static_cast<std::uint8_t>((value * 255u + max / 2) / max);
}

}  // namespace

XcbScreen::XcbScreen() : XcbScreen(qtXcbConnection()) {}

XcbScreen::XcbScreen(xcb_connection_t* connection) : format_(std::make_unique<Format>()) {
    xcb_screen_t* screen = displayXcbScreen(connection);
    if (screen == nullptr) {
        return;
    }
    connection_ = connection;
    root_ = screen->root;
    rootDepth_ = screen->root_depth;
    pointerEvents_ = std::make_unique<XcbPointerEvents>(connection_);
    shm_ = std::make_unique<XcbShmPool>(connection_);

    const xcb_setup_t* setup = xcb_get_setup(connection_);
    format_->lsbFirst = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem > 0; xcb_format_next(&it)) {
        if (it.data->depth == rootDepth_) {
            format_->bitsPerPixel = it.data->bits_per_pixel;
            format_->scanlinePad = it.data->scanline_pad;
        }
    }
    for (auto depth = xcb_screen_allowed_depths_iterator(screen); depth.rem > 0;
         xcb_depth_next(&depth)) {
        for (auto visual = xcb_depth_visuals_iterator(depth.data); visual.rem > 0;
             xcb_visualtype_next(&visual)) {
            if (visual.data->visual_id == screen->root_visual) {
                format_->redMask = visual.data->red_mask;
                format_->greenMask = visual.data->green_mask;
                format_->blueMask = visual.data->blue_mask;
            }
        }
    }

    // Asked now, awaited at the first grab: start-up does not wait for the server's answer.
    xcb_prefetch_extension_data(connection_, &xcb_shm_id);
}

bool XcbScreen::usesSharedMemory() {
    if (!useShm_) {
        useShm_ = false;
        const xcb_query_extension_reply_t* shm =
            connection_ != nullptr ? xcb_get_extension_data(connection_, &xcb_shm_id) : nullptr;
        if (shm != nullptr && shm->present) {
            useShm_ = xcbReply(xcb_shm_query_version_reply(
                          connection_, xcb_shm_query_version(connection_), nullptr)) != nullptr;
        }
    }
    return *useShm_;
}

XcbScreen::~XcbScreen() = default;

QSize XcbScreen::size() const {
    if (connection_ == nullptr) {
        return {};
    }
    auto geometry = xcbReply(
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, root_), nullptr));
    return geometry ? QSize(geometry->width, geometry->height) : QSize();
}

int XcbScreen::bitsPerPixel() const {
    return format_->bitsPerPixel;
}

QSize XcbScreen::dotsPerInch() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {96, 96};
    }
    return {static_cast<int>(std::lround(screen->logicalDotsPerInchX())),
            static_cast<int>(std::lround(screen->logicalDotsPerInchY()))};
}

std::optional<QPoint> XcbScreen::pointerPosition(std::uint64_t eventTime) const {
    if (connection_ == nullptr) {
        return std::nullopt;
    }
    // Server times are 32-bit milliseconds; Qt widens them.
    if (const auto seen = pointerEvents_->positionAt(static_cast<std::uint32_t>(eventTime))) {
        return seen;
    }
    auto pointer = xcbReply(
        xcb_query_pointer_reply(connection_, xcb_query_pointer(connection_, root_), nullptr));
    if (!pointer || pointer->same_screen == 0) {
        return std::nullopt;
    }
    return QPoint(pointer->root_x, pointer->root_y);
}

Picture XcbScreen::grab(const QRect& rect) {
    if (connection_ == nullptr) {
        throw Error("The screen cannot be read without an X11 display");
    }
    const int bytesPerPixel = format_->bitsPerPixel / 8;
    if (bytesPerPixel < 2 || format_->bitsPerPixel % 8 != 0) {
        throw Error("The display's pixel format is not supported");
    }
    const QRect area = rect.intersected(QRect(QPoint(0, 0), size()));
    if (!area.isEmpty() && usesSharedMemory()) {
        if (std::optional<Picture> picture = grabShm(rect, area)) {
            return std::move(*picture);
        }
    }
    Picture picture(rect.width(), rect.height(), PixelFormat::Device);
    if (!area.isEmpty()) {
        grabPlain(picture, area, area.topLeft() - rect.topLeft());
    }
    return picture;
}

std::optional<Picture> XcbScreen::grabShm(const QRect& rect, const QRect& area) {
    const std::size_t needed = static_cast<std::size_t>(format_->strideFor(area.width())) *
                               static_cast<std::size_t>(area.height());
    std::unique_ptr<XcbShmSegment> segment = shm_->take(needed);
    if (!segment) {
        // A server that cannot reach our memory (a remote display) never will.
        useShm_ = false;
        return std::nullopt;
    }
    xcb_generic_error_t* rawError = nullptr;
    auto reply = xcbReply(xcb_shm_get_image_reply(
        connection_,
        xcb_shm_get_image(connection_, root_, static_cast<std::int16_t>(area.x()),
                          static_cast<std::int16_t>(area.y()),
                          static_cast<std::uint16_t>(area.width()),
                          static_cast<std::uint16_t>(area.height()), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP,
                          segment->serverId(), 0),
        &rawError));
    auto error = xcbReply(rawError);
    if (!reply) {
        shm_->giveBack(std::move(segment));
        return std::nullopt;
    }
    const std::size_t written = std::min<std::size_t>(reply->size, segment->size());
    // The display's rows are the picture's rows: the picture takes the segment as it is, unless
    // the segment is much larger than it needs; a small grab is copied out quickly and leaves the
    // segment ready for the next.
    if (area == rect && format_->isNative() && written >= needed && segment->size() / 2 <= needed) {
        return Picture(rect.width(), rect.height(), PixelFormat::Device,
                       shm_->lend(std::move(segment)));
    }
    Picture picture(rect.width(), rect.height(), PixelFormat::Device);
    copyInto(picture, area.topLeft() - rect.topLeft(), segment->data(), area.width(), area.height(),
             written);
    shm_->giveBack(std::move(segment));
    return picture;
}

void XcbScreen::grabPlain(Picture& picture, const QRect& area, QPoint at) {
    xcb_generic_error_t* rawError = nullptr;
    auto reply = xcbReply(xcb_get_image_reply(
        connection_,
        xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_,
                      static_cast<std::int16_t>(area.x()), static_cast<std::int16_t>(area.y()),
                      static_cast<std::uint16_t>(area.width()),
                      static_cast<std::uint16_t>(area.height()), ~0u),
        &rawError));
    auto error = xcbReply(rawError);
    if (!reply) {
        throw Error("The screen could not be read");
    }
    copyInto(picture, at, xcb_get_image_data(reply.get()), area.width(), area.height(),
             static_cast<std::size_t>(xcb_get_image_data_length(reply.get())));
}

void XcbScreen::copyInto(Picture& picture, QPoint at, const std::uint8_t* data, int width,
                         int height, std::size_t length) const {
    const auto stride = static_cast<std::size_t>(format_->strideFor(width));
    if (stride * static_cast<std::size_t>(height) > length) {
        throw Error("The screen could not be read");
    }
    const int bytesPerPixel = format_->bitsPerPixel / 8;
    const auto pixelBytes = static_cast<std::size_t>(bytesPerPixel);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* source = data + static_cast<std::size_t>(y) * stride;
        std::uint8_t* target = picture.scanLine(at.y() + y) + static_cast<std::size_t>(at.x()) * 4;
        if (format_->isNative()) {
            std::memcpy(target, source, static_cast<std::size_t>(width) * 4);
            continue;
        }
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel = 0;
            const std::uint8_t* p = source + static_cast<std::size_t>(x) * pixelBytes;
            for (int b = 0; b < bytesPerPixel; ++b) {
                const int shift = format_->lsbFirst ? 8 * b : 8 * (bytesPerPixel - 1 - b);
                pixel |= static_cast<std::uint32_t>(p[b]) << shift;
            }
            std::uint8_t* out = target + static_cast<std::size_t>(x) * 4;
            out[0] = channel(pixel, format_->blueMask);
            out[1] = channel(pixel, format_->greenMask);
            out[2] = channel(pixel, format_->redMask);
            out[3] = 0;
        }
    }
}

}  // namespace varnoset
