#pragma once

#include <QDateTime>
#include <QString>

namespace varnoset {

// The file name pattern a saved capture starts with.
inline constexpr char kDefaultCapturePattern[] = "Varnoset %Y-%m-%d %H-%M-%S.png";

// The name a pattern gives a capture taken at `when`: %Y the year, %y its last two digits, %m the
// month, %d the day, %H the hour (0 to 23), %M the minute, %S the second, each of two digits,
// %n the counter (%3n: at least three digits, zero-padded), %% a percent sign; every other
// character stays as it is.
QString expandCapturePattern(const QString& pattern, const QDateTime& when, int counter);

// Whether the pattern numbers its names itself (%n).
bool patternHasCounter(const QString& pattern);

// Why the pattern names no file a capture can be saved as (no name, a folder separator, an
// unknown field, an extension other than .png, .jpg, .jpeg or .bmp, too long a name); empty when
// it names one.
QString capturePatternProblem(const QString& pattern);

}  // namespace varnoset
