#pragma once

#include <QPixmap>
#include <QString>

class QFile;

// Pictures come from paths the operator or a book names (a goods picture, an
// operator's picture in the data folder, a file chosen as background). Only a
// regular file is ever read: a FIFO, a device or a socket in its place would
// block the program for good or never end, so it is refused at once.

enum class PictureFileOpen {
    Opened,
    Missing,     // nothing at the path (or a folder on the way is missing)
    NotAFile,    // a folder, FIFO, device or socket
    Unreadable,  // a regular file the program may not read
};

// Opens path read-only into file when it names a regular file (symbolic links
// followed). The open never waits, and the kind of file is checked on the open
// handle, so nothing slipped into the path after a check can block the read.
// detail receives the system's text of a refusal.
PictureFileOpen openPictureFile(const QString &path, QFile &file, QString *detail = nullptr);

// Loads a picture file (jpg, gif, bmp, png) with its format read from the
// content, whatever its name ("syspic.dat"). A null pixmap when it cannot be
// read or is not a regular file.
QPixmap loadPicture(const QString &path);
