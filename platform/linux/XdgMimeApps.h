#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "DesktopEntry.h"
#include "XdgDirectories.h"

namespace varnoset {

// The default application for a MIME type by the XDG MIME applications rules:
//  1. The [Default Applications] of the mimeapps.list files, most important first:
//     $XDG_CONFIG_HOME, then each of $XDG_CONFIG_DIRS, then $XDG_DATA_HOME/applications, then
//     each of $XDG_DATA_DIRS/applications, in every folder "<desktop>-mimeapps.list" for each
//     name in $XDG_CURRENT_DESKTOP before "mimeapps.list"; after them the older defaults.list
//     of the applications folders. In each list the first usable application wins.
//  2. Otherwise the associations: [Added Associations] of the same files in the same order,
//     then the applications whose MimeType names the type, taken folder by folder
//     ($XDG_DATA_HOME/applications first); an application in a [Removed Associations] of a file
//     is not taken from that file's [Added Associations] onward (nor from any less important
//     file or folder). The first usable one wins.
// A desktop file ID is found in the applications folders in the same order, the first folder
// holding it deciding; "a-b.desktop" may also stand for the subfolder file "a/b.desktop".
// The type's aliases in the shared MIME database (<data dir>/mime/aliases: image/x-bmp and
// image/x-ms-bmp for image/bmp) count as the type itself; MIME types compare ignoring case.
// Parent types (subclasses) are not followed.
class XdgMimeApps {
public:
    explicit XdgMimeApps(XdgDirectories dirs) : dirs_(std::move(dirs)) {}

    std::optional<DesktopEntry> defaultApplication(const QString& mimeType) const;

    // The desktop entry with this ID, if one is installed.
    std::optional<DesktopEntry> findEntry(const QString& desktopId) const;

    // The mimeapps.list files in order of importance (whether they exist or not).
    QStringList listFiles() const;

    // The type, lower-cased, followed by its aliases.
    QStringList typeAndAliases(const QString& mimeType) const;

private:
    QStringList applicationFolders() const;

    XdgDirectories dirs_;
};

}  // namespace varnoset
