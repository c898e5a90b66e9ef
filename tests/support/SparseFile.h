#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <unistd.h>

// A file of head followed by zeros up to size bytes. The zeros are made by
// lengthening the file (ftruncate), so they take no room on the disk: a file
// of a gigabyte costs nothing until someone reads it.
inline bool makeSparseFile(const QString &path, const QByteArray &head, qint64 size)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(head) == head.size() && file.flush()
           && ::ftruncate(file.handle(), size) == 0;
}

inline constexpr qint64 kGigabyte = qint64(1) << 30;
