#include "output/CaptureNamePattern.h"

#include "output/PictureFileNames.h"

namespace varnoset {

namespace {

// The longest file name Linux file systems take, in bytes.
constexpr qsizetype kLongestName = 255;
// Far enough ahead to measure the longest a pattern's names can be.
const QDateTime kSampleTime(QDate(2099, 12, 31), QTime(23, 59, 59));
constexpr int kSampleCounter = 99999;

QString twoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// The field at pattern[at] (just after a '%'), its width for %n, and where the field ends; a
// null text for a field that does not exist.
struct Field {
    QString text;
    qsizetype end = 0;
};

Field field(const QString& pattern, qsizetype at, const QDateTime& when, int counter) {
    int width = 0;
    if (at < pattern.size() && pattern[at] >= QLatin1Char('1') && pattern[at] <= QLatin1Char('9') &&
        at + 1 < pattern.size() && pattern[at + 1] == QLatin1Char('n')) {
        width = pattern[at].digitValue();
        ++at;
    }
    if (at >= pattern.size()) {
        return {};
    }
    const QDate date = when.date();
    const QTime time = when.time();
    switch (pattern[at].unicode()) {
        case 'Y':
            return {QString::number(date.year()), at + 1};
        case 'y':
            return {twoDigits(date.year() % 100), at + 1};
        case 'm':
            return {twoDigits(date.month()), at + 1};
        case 'd':
            return {twoDigits(date.day()), at + 1};
        case 'H':
            return {twoDigits(time.hour()), at + 1};
        case 'M':
            return {twoDigits(time.minute()), at + 1};
        case 'S':
            return {twoDigits(time.second()), at + 1};
        case 'n':
            return {QStringLiteral("%1").arg(counter, width, 10, QLatin1Char('0')), at + 1};
        case '%':
            return {QStringLiteral("%"), at + 1};
        default:
            return {};
    }
}

}  // namespace

QString expandCapturePattern(const QString& pattern, const QDateTime& when, int counter) {
    QString name;
    for (qsizetype at = 0; at < pattern.size();) {
        if (pattern[at] != QLatin1Char('%')) {
            name += pattern[at++];
            continue;
        }
        const Field f = field(pattern, at + 1, when, counter);
        if (f.text.isNull()) {
            name += pattern[at++];  // not a field: kept as written
            continue;
        }
        name += f.text;
        at = f.end;
    }
    return name;
}

bool patternHasCounter(const QString& pattern) {
    return expandCapturePattern(pattern, kSampleTime, 1) !=
           expandCapturePattern(pattern, kSampleTime, 2);
}

QString capturePatternProblem(const QString& pattern) {
    for (qsizetype at = 0; at < pattern.size(); ++at) {
        if (pattern[at] == QLatin1Char('%')) {
            const Field f = field(pattern, at + 1, kSampleTime, 1);
            if (f.text.isNull()) {
                return QStringLiteral(
                           "The file name pattern has an unknown field \"%1\": use %Y, "
                           "%y, %m, %d, %H, %M, %S, %n or %%.")
                    .arg(pattern.mid(at, 2));
            }
            at = f.end - 1;
        }
    }
    const QString name = expandCapturePattern(pattern, kSampleTime, kSampleCounter);
    if (name.contains(QLatin1Char('/'))) {
        return QStringLiteral(
            "The file name pattern names a file, not a folder: it cannot "
            "contain \"/\".");
    }
    if (!pictureFileType(name)) {
        return QStringLiteral(
            "The file name pattern must end in .png, .jpg, .jpeg or .bmp, "
            "which decides the format.");
    }
    const QString stem = name.left(name.size() - lowerExtension(name).size());
    if (stem.trimmed().isEmpty() || stem == QLatin1String(".")) {
        return QStringLiteral("The file name pattern gives no name before the extension.");
    }
    if (name.toUtf8().size() > kLongestName) {
        return QStringLiteral("The file name pattern makes names longer than %1 bytes.")
            .arg(kLongestName);
    }
    return {};
}

}  // namespace varnoset
