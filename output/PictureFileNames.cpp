#include "output/PictureFileNames.h"

namespace varnoset {

namespace {

const QString kBmp = QStringLiteral(".bmp");
const QString kJpg = QStringLiteral(".jpg");
const QString kJpeg = QStringLiteral(".jpeg");
const QString kPng = QStringLiteral(".png");

}  // namespace

QString lowerExtension(const QString& fileName) {
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < slash) {
        return {};
    }
    return fileName.mid(dot).toLower();
}

std::optional<PictureFileType> pictureFileType(const QString& fileName) {
    const QString extension = lowerExtension(fileName);
    if (extension == kBmp) {
        return PictureFileType::Bmp;
    }
    if (extension == kJpg || extension == kJpeg) {
        return PictureFileType::Jpeg;
    }
    if (extension == kPng) {
        return PictureFileType::Png;
    }
    return std::nullopt;
}

QString typedNameExtension(int filterIndex) {
    switch (filterIndex) {
        case kJpgPictures:
            return kJpg.mid(1);
        case kPngPictures:
            return kPng.mid(1);
        default:
            return kBmp.mid(1);
    }
}

SaveName fixUpSaveName(const QString& fileName, int filterIndex) {
    const QString extension = lowerExtension(fileName);
    const bool jpeg = extension == kJpg || extension == kJpeg;
    const bool bmp = extension == kBmp;
    const bool png = extension == kPng;
    bool keep = false;
    QString appended;
    switch (filterIndex) {
        case kJpgPictures:
            keep = jpeg;
            appended = kJpg;
            break;
        case kBmpPictures:
            keep = bmp;
            appended = kBmp;
            break;
        case kPngPictures:
            keep = png;
            appended = kPng;
            break;
        default:
            keep = jpeg || bmp || png;
            appended = kJpg;
            break;
    }
    if (keep) {
        return {fileName, extension};
    }
    return {fileName + appended, appended};
}

QString savedMessage(const QString& extension) {
    return QStringLiteral("Picture successfuly saved as ") + extension.toUpper();
}

QString folderOf(const QString& fileName) {
    return fileName.left(fileName.lastIndexOf(QLatin1Char('/')) + 1);
}

}  // namespace varnoset
