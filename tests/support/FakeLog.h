#pragma once

#include <QString>
#include <QStringList>

namespace varnoset::test {

// The one log that the fakes of a test write into, so that the test can check the order in which
// things happened.
struct Log {
    QStringList entries;
    void add(const QString& entry) {
        if (armed != nullptr && *armed != armedBefore) {
            armedBefore = *armed;
            entries << (armedBefore ? QStringLiteral("armed") : QStringLiteral("disarmed"));
        }
        entries << entry;
    }
    // From here on, a change of the flag since the previous entry is logged before the next one
    // ("armed", "disarmed"), so that a test sees where among the steps the key was let go.
    void watchArmed(const bool& flag) {
        armed = &flag;
        armedBefore = flag;
    }
    int indexOf(const QString& entry) const { return static_cast<int>(entries.indexOf(entry)); }
    bool has(const QString& entry) const { return entries.contains(entry); }

private:
    const bool* armed = nullptr;
    bool armedBefore = false;
};

}  // namespace varnoset::test
