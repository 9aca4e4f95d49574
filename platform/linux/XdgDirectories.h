#pragma once

#include <QString>
#include <QStringList>

namespace varnoset {

// The XDG base folders and the current desktop's names, as the environment gives them.
struct XdgDirectories {
    QString configHome;      // XDG_CONFIG_HOME, else ~/.config
    QStringList configDirs;  // XDG_CONFIG_DIRS, else /etc/xdg
    QString dataHome;        // XDG_DATA_HOME, else ~/.local/share
    QStringList dataDirs;    // XDG_DATA_DIRS, else /usr/local/share and /usr/share
    QStringList desktops;    // XDG_CURRENT_DESKTOP, lower-cased, most specific first

    // Relative paths in the variables are ignored, as the base directory rules require.
    static XdgDirectories fromEnvironment();
};

}  // namespace varnoset
