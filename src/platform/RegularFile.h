#pragma once

#include <QString>

class QFile;

// Files whose paths come from the operator, a book or the data folder are
// read only when they are regular files: a FIFO, a device or a socket in
// their place would block the program for good or never end, so it is
// refused at once.

enum class RegularFileOpen {
    Opened,
    Missing,     // nothing at the path (or a folder on the way is missing)
    NotAFile,    // a folder, FIFO, device or socket
    Unreadable,  // a regular file the program may not read
};

// Opens path read-only into file when it names a regular file (symbolic links
// followed). The open never waits, and the kind of file is checked on the open
// handle, so nothing slipped into the path after a check can block the read.
// detail receives the system's text of a refusal.
RegularFileOpen openRegularFile(const QString &path, QFile &file, QString *detail = nullptr);

// Files of a kind the program reads whole (settings texts, report templates,
// pictures) never reach past a size of their kind: a larger one is refused
// before it is read, so a file with a long empty tail costs neither memory
// nor time. The size is taken from the open handle, so it is the size of
// what would be read. Empty when opened (the file at path, of kind
// "设置文件", "报表模板" or "图片文件") holds at most limit bytes, else the
// clerk's reason.
QString sizeRefusal(const QFile &opened, const QString &path, const QString &kind, qint64 limit);
