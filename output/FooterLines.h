#pragma once

#include <QDateTime>
#include <QLocale>
#include <QPoint>
#include <QString>
#include <vector>

namespace varnoset {

struct PageLayout;

// What the footer boxes ask for and the texts they print.
struct FooterContent {
    bool printTime = false;  // "Print Date && Time"
    bool printUser = false;  // "Print User Info"
    bool printNote = false;  // "Print FooterText"
    QString footerString;
    QString computerName;
    QString userName;
    QString osName;

    int lineCount() const { return int{printTime} + int{printUser} + int{printNote}; }
};

struct FooterLine {
    QPoint topLeft;
    QString text;

    bool operator==(const FooterLine&) const = default;
};

// A time format without its time zone ('t' outside quotes), for a page that names no zone.
QString withoutTimeZone(const QString& format);

// The date and time as the footer and the date box's tooltip show them: the locale's short date
// and long time, without the zone.
QString footerDateTimeText(const QDateTime& when, const QLocale& locale = QLocale::system());

// The user line's tooltip: computer, user and system names, two blanks apart.
QString userInfoTip(const QString& computerName, const QString& userName, const QString& osName);

// The lines of the footer in their fixed order (date and time, user information, note), numbered
// over the checked boxes only: line i has its top at H + i × L, its left edge at Ox / 2 + 10.
std::vector<FooterLine> footerLines(const FooterContent& content, const QDateTime& now,
                                    const PageLayout& layout);

}  // namespace varnoset
