#include "DesktopEntry.h"

#include <QFileInfo>
#include <QStandardPaths>

#include "KeyFile.h"

namespace varnoset {

namespace {

const QString kGroup = QStringLiteral("Desktop Entry");

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

}  // namespace

std::optional<DesktopEntry> DesktopEntry::load(const QString& path) {
    const auto file = KeyFile::load(path);
    if (!file || !file->hasGroup(kGroup)) {
        return std::nullopt;
    }
    DesktopEntry entry;
    entry.path = path;
    entry.type = file->value(kGroup, QStringLiteral("Type"));
    entry.name = KeyFile::unescaped(file->value(kGroup, QStringLiteral("Name")));
    entry.icon = KeyFile::unescaped(file->value(kGroup, QStringLiteral("Icon")));
    entry.exec = KeyFile::unescaped(file->value(kGroup, QStringLiteral("Exec")));
    entry.tryExec = KeyFile::unescaped(file->value(kGroup, QStringLiteral("TryExec")));
    entry.workingFolder = KeyFile::unescaped(file->value(kGroup, QStringLiteral("Path")));
    entry.mimeTypes = file->list(kGroup, QStringLiteral("MimeType"));
    entry.hidden = file->value(kGroup, QStringLiteral("Hidden")) == QLatin1String("true");
    return entry;
}

bool DesktopEntry::isUsable() const {
    if (type != QLatin1String("Application") || exec.isEmpty() || hidden) {
        return false;
    }
    if (tryExec.isEmpty()) {
        return true;
    }
    if (tryExec.contains(QLatin1Char('/'))) {
        const QFileInfo program(tryExec);
        return program.isFile() && program.isExecutable();
    }
    return !QStandardPaths::findExecutable(tryExec).isEmpty();
}

QStringList DesktopEntry::commandFor(const QString& file) const {
    QStringList arguments;
    QString current;
    bool inArgument = false;  // something, if only "", has started the current argument
    bool inQuotes = false;
    bool fileGiven = false;
    const auto endArgument = [&] {
        if (inArgument) {
            arguments.append(current);
        }
        current.clear();
        inArgument = false;
    };

    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (inQuotes) {
            if (c == QLatin1Char('"')) {
                inQuotes = false;
            } else if (c == QLatin1Char('\\') && i + 1 < exec.size() &&
                       QStringLiteral("\"`$\\").contains(exec[i + 1])) {
                current += exec[++i];
            } else if (c == QLatin1Char('%') && i + 1 < exec.size() &&
                       exec[i + 1] == QLatin1Char('%')) {
                current += QLatin1Char('%');
                ++i;
            } else {
                current += c;
            }
            continue;
        }
        if (isBlank(c)) {
            endArgument();
            continue;
        }
        if (c == QLatin1Char('"')) {
            inQuotes = true;
            inArgument = true;
            continue;
        }
        if (c != QLatin1Char('%')) {
            current += c;
            inArgument = true;
            continue;
        }
        if (i + 1 == exec.size()) {
            return {};
        }
        const QChar code = exec[++i];
        const bool alone = !inArgument && (i + 1 == exec.size() || isBlank(exec[i + 1]));
        switch (code.unicode()) {
            case 'f':
            case 'F':
            case 'u':
            case 'U':
                current += file;
                inArgument = true;
                fileGiven = true;
                break;
            case 'i':
                if (alone && !icon.isEmpty()) {
                    arguments << QStringLiteral("--icon") << icon;
                }
                break;
            case 'c':
                current += name;
                inArgument = true;
                break;
            case 'k':
                current += path;
                inArgument = true;
                break;
            case '%':
                current += QLatin1Char('%');
                inArgument = true;
                break;
            case 'd':
            case 'D':
            case 'n':
            case 'N':
            case 'v':
            case 'm':
                break;
            default:
                return {};
        }
    }
    if (inQuotes) {
        return {};
    }
    endArgument();
    if (arguments.isEmpty()) {
        return {};
    }
    if (!fileGiven) {
        arguments.append(file);
    }
    return arguments;
}

}  // namespace varnoset
