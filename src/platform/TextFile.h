#pragma once

#include <QByteArray>
#include <QString>

// Text files beside the program: read as UTF-8 when valid, else as GB18030
// (files of older installations); written as UTF-8, whole, through a
// temporary file renamed into place.
namespace textfile {

QString decode(const QByteArray &bytes);
// Reads a whole file; ok is false when it cannot be read.
QString read(const QString &path, bool *ok = nullptr);
// Writes a whole file atomically; false when it cannot be written, with the
// reason in the clerk's words in failure when one is asked for.
bool writeAtomically(const QString &path, const QByteArray &content, QString *failure = nullptr);

} // namespace textfile
