#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace varnoset {

// The [Desktop Entry] of an application's .desktop file, as far as starting it on a file needs.
struct DesktopEntry {
    QString path;
    QString type;
    QString name;
    QString icon;
    QString exec;  // with the string escapes already replaced
    QString tryExec;
    QString workingFolder;  // the Path key
    QStringList mimeTypes;
    bool hidden = false;

    // Nothing when the file cannot be read or has no [Desktop Entry] group.
    static std::optional<DesktopEntry> load(const QString& path);

    // An application that can be started: Type=Application, an Exec line, not Hidden, and its
    // TryExec program (when given) found and executable.
    bool isUsable() const;

    // The program and its arguments that open one file: the Exec line split by its quoting
    // rules, with %f, %F, %u and %U standing for the file (a local path is a valid URL here),
    // %i for "--icon" and the icon, %c for the name, %k for this file and %% for '%'; the
    // deprecated %d %D %n %N %v %m dropped. Without any file code the file is added as the last
    // argument. Empty when the line does not parse (an open quote, an unknown code).
    QStringList commandFor(const QString& file) const;
};

}  // namespace varnoset
