#pragma once

#include <QByteArray>
#include <QString>

// Text files beside the program: read as UTF-8 when valid, else as GB18030
// (files of older installations); written as UTF-8, whole, through a
// temporary file renamed into place.
namespace textfile {

QString decode(const QByteArray &bytes);

// A kind of text file read whole, named for the clerk, and the size none of
// its files reaches.
struct TextKind {
    QString name;
    qint64 limit;
};
// The book list, a book's backup settings and the tips are a few lines each:
// even a list of a thousand books stays far below a megabyte.
inline const TextKind kSettingsText{QStringLiteral("设置文件"), qint64(1) << 20};

// Reads a whole file; ok is false when it cannot be read: missing, no regular
// file, unreadable, or larger than its kind's limit (refused unread). failure,
// when given, receives the reason naming the file.
QString read(const QString &path, bool *ok = nullptr, QString *failure = nullptr, const TextKind &kind = kSettingsText);
// Writes a whole file atomically; false when it cannot be written, with the
// reason in the clerk's words in failure when one is asked for.
bool writeAtomically(const QString &path, const QByteArray &content, QString *failure = nullptr);

} // namespace textfile
