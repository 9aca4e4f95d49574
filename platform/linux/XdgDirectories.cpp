#include "XdgDirectories.h"

#include <QDir>
#include <QProcessEnvironment>

namespace varnoset {

namespace {

QStringList absolutePaths(const QString& value) {
    QStringList paths;
    for (const QString& path : value.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(path)) {
            paths.append(path);
        }
    }
    return paths;
}

QString oneFolder(const QProcessEnvironment& env, const char* name, const QString& fallback) {
    const QString value = env.value(QString::fromLatin1(name));
    return QDir::isAbsolutePath(value) ? value : fallback;
}

QStringList folderList(const QProcessEnvironment& env, const char* name,
                       const QStringList& fallback) {
    const QStringList paths = absolutePaths(env.value(QString::fromLatin1(name)));
    return paths.isEmpty() ? fallback : paths;
}

}  // namespace

XdgDirectories XdgDirectories::fromEnvironment() {
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString home = QDir::homePath();
    XdgDirectories dirs;
    dirs.configHome = oneFolder(env, "XDG_CONFIG_HOME", home + QStringLiteral("/.config"));
    dirs.configDirs = folderList(env, "XDG_CONFIG_DIRS", {QStringLiteral("/etc/xdg")});
    dirs.dataHome = oneFolder(env, "XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
    dirs.dataDirs = folderList(env, "XDG_DATA_DIRS",
                               {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")});
    for (const QString& desktop :
         env.value(QStringLiteral("XDG_CURRENT_DESKTOP")).split(':', Qt::SkipEmptyParts)) {
        dirs.desktops.append(desktop.toLower());
    }
    return dirs;
}

}  // namespace varnoset
