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
