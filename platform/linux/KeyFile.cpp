#include "KeyFile.h"

#include <QFile>

namespace varnoset {

std::optional<KeyFile> KeyFile::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return parse(file.readAll());
}

KeyFile KeyFile::parse(const QByteArray& text) {
    KeyFile keyFile;
    QHash<QString, QString>* group = nullptr;
    for (const QByteArray& raw : text.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            group = &keyFile.groups_[line.mid(1, line.size() - 2)];
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (group == nullptr || equals <= 0) {
            continue;
        }
        const QString key = line.left(equals).trimmed();
        if (!group->contains(key)) {
            group->insert(key, line.mid(equals + 1).trimmed());
        }
    }
    return keyFile;
}

QString KeyFile::value(const QString& group, const QString& key) const {
    const auto found = groups_.constFind(group);
    return found == groups_.cend() ? QString() : found->value(key);
}

QStringList KeyFile::list(const QString& group, const QString& key) const {
    return splitList(value(group, key));
}

QStringList KeyFile::listAnyCase(const QString& group, const QStringList& keys) const {
    QStringList items;
    const auto found = groups_.constFind(group);
    if (found == groups_.cend()) {
        return items;
    }
    for (const QString& wanted : keys) {
        for (auto entry = found->cbegin(); entry != found->cend(); ++entry) {
            if (entry.key().compare(wanted, Qt::CaseInsensitive) == 0) {
                items += splitList(entry.value());
            }
        }
    }
    return items;
}

QStringList KeyFile::splitList(const QString& text) {
    QStringList items;
    QString item;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\\') && i + 1 < text.size() &&
            text[i + 1] == QLatin1Char(';')) {
            item += QLatin1Char(';');
            ++i;
        } else if (text[i] == QLatin1Char(';')) {
            if (!item.trimmed().isEmpty()) {
                items.append(item.trimmed());
            }
            item.clear();
        } else {
            item += text[i];
        }
    }
    if (!item.trimmed().isEmpty()) {
        items.append(item.trimmed());
    }
    return items;
}

QString KeyFile::unescaped(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != QLatin1Char('\\') || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar next = value[++i];
        switch (next.unicode()) {
            case 's':
                out += QLatin1Char(' ');
                break;
            case 'n':
                out += QLatin1Char('\n');
                break;
            case 't':
                out += QLatin1Char('\t');
                break;
            case 'r':
                out += QLatin1Char('\r');
                break;
            case '\\':
                out += QLatin1Char('\\');
                break;
            default:  // not a string escape: kept for the Exec quoting rules
                out += QLatin1Char('\\');
                out += next;
        }
    }
    return out;
}

}  // namespace varnoset
