#include "platform/linux/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>

#include "core/Error.h"
#include "imaging/QtPictureConversion.h"

namespace varnoset {

namespace {

// The offered formats Qt has an image reader for, as MIME types ("image/png", ...).
QStringList readableImageTypes(const QMimeData& data) {
    const QList<QByteArray> readable = QImageReader::supportedMimeTypes();
    QStringList types;
    for (const QString& format : data.formats()) {
        if (format.startsWith(QLatin1String("image/")) && readable.contains(format.toLatin1())) {
            types.append(format);
        }
    }
    return types;
}

}  // namespace

void QtClipboard::setPicture(const Picture& picture) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (picture.isEmpty()) {
        clipboard->clear();
        return;
    }
    // The clipboard owns the data from here on; Qt encodes each format only when a program asks.
    auto* data = new QMimeData;
    data->setImageData(toQImage(picture));
    clipboard->setMimeData(data);
}

bool QtClipboard::hasPicture() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data != nullptr && (data->hasImage() || !readableImageTypes(*data).isEmpty());
}

Picture QtClipboard::picture(PixelFormat format) const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data == nullptr) {
        throw Error("Unsupported clipboard format");
    }
    QImage image = qvariant_cast<QImage>(data->imageData());
    // Qt converts only the first image format it finds; another offered one may still read.
    const QStringList types = readableImageTypes(*data);
    for (auto type = types.begin(); image.isNull() && type != types.end(); ++type) {
        image = QImage::fromData(data->data(*type));
    }
    if (image.isNull()) {
        throw Error("Unsupported clipboard format");
    }
    return fromQImage(image, format);
}

}  // namespace varnoset
