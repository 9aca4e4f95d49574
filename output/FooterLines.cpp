#include "output/FooterLines.h"

#include <QLocale>

#include "output/PageLayout.h"

namespace varnoset {

QString withoutTimeZone(const QString& format) {
    QString kept;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
        }
        if (quoted || c != QLatin1Char('t')) {
            kept += c;
        }
    }
    // The blanks that stood around the zone go with it.
    return kept.simplified();
}

QString footerDateTimeText(const QDateTime& when, const QLocale& locale) {
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), withoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
}

QString userInfoTip(const QString& computerName, const QString& userName, const QString& osName) {
    return computerName + QStringLiteral("  ") + userName + QStringLiteral("  ") + osName;
}

std::vector<FooterLine> footerLines(const FooterContent& content, const QDateTime& now,
                                    const PageLayout& layout) {
    std::vector<FooterLine> lines;
    const auto add = [&](QString text) {
        const int i = static_cast<int>(lines.size()) + 1;
        lines.push_back({QPoint(layout.footerLeft, layout.footerLineTop(i)), std::move(text)});
    };
    if (content.printTime) {
        add(QStringLiteral("Date + time : ") + footerDateTimeText(now));
    }
    if (content.printUser) {
        add(QStringLiteral("Computer name : ") + content.computerName +
            QStringLiteral("   User name : ") + content.userName +
            QStringLiteral("   Operating System : ") + content.osName);
    }
    if (content.printNote) {
        add(QStringLiteral("Note : ") + content.footerString);
    }
    return lines;
}

}  // namespace varnoset
