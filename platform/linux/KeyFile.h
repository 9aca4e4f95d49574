#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace varnoset {

// A file of [groups] with key=value lines, as desktop entries and mimeapps.list are written.
// Blank lines and lines starting with '#' are skipped; of a key given twice in a group the first
// value counts. Values are kept as written (see unescaped() for the string escapes).
class KeyFile {
public:
    // Nothing when the file cannot be read.
    static std::optional<KeyFile> load(const QString& path);
    static KeyFile parse(const QByteArray& text);

    bool hasGroup(const QString& group) const { return groups_.contains(group); }
    QString value(const QString& group, const QString& key) const;
    // A ';'-separated list value without its empty items ("\;" stands for a ';' in an item).
    QStringList list(const QString& group, const QString& key) const;
    // The items of every key of the group that equals one of the keys ignoring case (MIME
    // types are compared so), in the order of the keys given.
    QStringList listAnyCase(const QString& group, const QStringList& keys) const;

    // A string value with the escapes \s, \n, \t, \r and \\ replaced.
    static QString unescaped(const QString& value);

private:
    static QStringList splitList(const QString& text);

    QHash<QString, QHash<QString, QString>> groups_;
};

}  // namespace varnoset
