#pragma once

#include <QPixmap>
#include <QString>

// Pictures come from paths the operator or a book names (a goods picture, an
// operator's picture in the data folder, a file chosen as background); they
// are read only from regular files (openRegularFile).

// Loads a picture file (jpg, gif, bmp, png) with its format read from the
// content, whatever its name ("syspic.dat"). A null pixmap when it cannot be
// read or is not a regular file.
QPixmap loadPicture(const QString &path);
