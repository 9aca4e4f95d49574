#include "XdgMimeApps.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include "KeyFile.h"

namespace varnoset {

namespace {

const QString kDefaults = QStringLiteral("Default Applications");
const QString kAdded = QStringLiteral("Added Associations");
const QString kRemoved = QStringLiteral("Removed Associations");

// The desktop file IDs of the .desktop files below an applications folder, with their paths.
QList<std::pair<QString, QString>> entriesBelow(const QString& folder) {
    QList<std::pair<QString, QString>> entries;
    const QDir root(folder);
    QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files,
                    QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
    while (it.hasNext()) {
        const QString path = it.next();
        entries.append(
            {root.relativeFilePath(path).replace(QLatin1Char('/'), QLatin1Char('-')), path});
    }
    return entries;
}

}  // namespace

QStringList XdgMimeApps::applicationFolders() const {
    QStringList folders{dirs_.dataHome + QStringLiteral("/applications")};
    for (const QString& dir : dirs_.dataDirs) {
        folders.append(dir + QStringLiteral("/applications"));
    }
    return folders;
}

QStringList XdgMimeApps::listFiles() const {
    QStringList folders{dirs_.configHome};
    folders += dirs_.configDirs;
    folders += applicationFolders();
    QStringList files;
    for (const QString& folder : folders) {
        for (const QString& desktop : dirs_.desktops) {
            files.append(folder + QLatin1Char('/') + desktop + QStringLiteral("-mimeapps.list"));
        }
        files.append(folder + QStringLiteral("/mimeapps.list"));
    }
    return files;
}

std::optional<DesktopEntry> XdgMimeApps::findEntry(const QString& desktopId) const {
    if (desktopId.contains(QLatin1Char('/')) || !desktopId.endsWith(QLatin1String(".desktop"))) {
        return std::nullopt;
    }
    for (const QString& folder : applicationFolders()) {
        const QString direct = folder + QLatin1Char('/') + desktopId;
        if (QFileInfo(direct).isFile()) {
            return DesktopEntry::load(direct);
        }
        if (desktopId.contains(QLatin1Char('-'))) {
            for (const auto& [id, path] : entriesBelow(folder)) {
                if (id == desktopId) {
                    return DesktopEntry::load(path);
                }
            }
        }
    }
    return std::nullopt;
}

QStringList XdgMimeApps::typeAndAliases(const QString& mimeType) const {
    const QString type = mimeType.toLower();
    QStringList types{type};
    QStringList folders{dirs_.dataHome};
    folders += dirs_.dataDirs;
    for (const QString& folder : folders) {
        QFile aliases(folder + QStringLiteral("/mime/aliases"));
        if (!aliases.open(QIODevice::ReadOnly)) {
            continue;
        }
        for (const QByteArray& line : aliases.readAll().split('\n')) {
            const QStringList pair =
                QString::fromUtf8(line).toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (pair.size() == 2 && pair[1] == type && !types.contains(pair[0])) {
                types.append(pair[0]);
            }
        }
    }
    return types;
}

std::optional<DesktopEntry> XdgMimeApps::defaultApplication(const QString& mimeType) const {
    const QStringList types = typeAndAliases(mimeType);
    const auto handles = [&types](const DesktopEntry& entry) {
        for (const QString& type : entry.mimeTypes) {
            if (types.contains(type.toLower())) {
                return true;
            }
        }
        return false;
    };
    const auto usable = [this](const QString& id) -> std::optional<DesktopEntry> {
        auto entry = findEntry(id);
        return entry && entry->isUsable() ? entry : std::nullopt;
    };

    QStringList files = listFiles();
    QStringList defaultsFiles = files;
    for (const QString& folder : applicationFolders()) {
        defaultsFiles.append(folder + QStringLiteral("/defaults.list"));
    }
    std::vector<KeyFile> lists;
    for (const QString& file : defaultsFiles) {
        const auto keys = KeyFile::load(file);
        if (!keys) {
            continue;
        }
        for (const QString& id : keys->listAnyCase(kDefaults, types)) {
            if (auto entry = usable(id)) {
                return entry;
            }
        }
        if (files.contains(file)) {
            lists.push_back(*keys);
        }
    }

    QStringList candidates;
    QSet<QString> removed;
    for (const KeyFile& keys : lists) {
        for (const QString& id : keys.listAnyCase(kAdded, types)) {
            if (!removed.contains(id) && !candidates.contains(id)) {
                candidates.append(id);
            }
        }
        for (const QString& id : keys.listAnyCase(kRemoved, types)) {
            removed.insert(id);
        }
    }
    QSet<QString> seen;  // an ID in an earlier folder hides the same ID further on
    for (const QString& folder : applicationFolders()) {
        for (const auto& [id, path] : entriesBelow(folder)) {
            if (seen.contains(id)) {
                continue;
            }
            seen.insert(id);
            const auto entry = DesktopEntry::load(path);
            if (entry && handles(*entry) && !removed.contains(id) && !candidates.contains(id)) {
                candidates.append(id);
            }
        }
    }
    for (const QString& id : candidates) {
        if (auto entry = usable(id)) {
            return entry;
        }
    }
    return std::nullopt;
}

}  // namespace varnoset
