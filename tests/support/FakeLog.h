#pragma once

#include <QString>
#include <QStringList>

namespace varnoset::test {

// The one log that the fakes of a test write into, so that the test can check the order in which
// things happened.
struct Log {
    QStringList entries;
    void add(const QString& entry) { entries << entry; }
    int indexOf(const QString& entry) const { return static_cast<int>(entries.indexOf(entry)); }
    bool has(const QString& entry) const { return entries.contains(entry); }
};

}  // namespace varnoset::test
