#pragma once

#include <QPixmap>
#include <QString>

// Pictures come from paths the operator or a book names (a goods picture, an
// operator's picture in the data folder, a file chosen as background); they
// are read only from regular files (openRegularFile).

class QFile;

// No picture the program shows comes near this size: a photo of goods or of
// an operator takes a few megabytes, an uncompressed bitmap of a large screen
// some tens. A larger file is no picture of the program's and is not read.
inline constexpr qint64 kPictureLimit = qint64(64) << 20;
// Empty when the picture open in file (from path) is within kPictureLimit,
// else the clerk's reason naming it.
QString pictureSizeRefusal(const QFile &opened, const QString &path);

// Loads a picture file (jpg, gif, bmp, png) with its format read from the
// content, whatever its name ("syspic.dat"). A null pixmap when it cannot be
// read, is not a regular file or is larger than any picture.
QPixmap loadPicture(const QString &path);

// Whether name can serve as one file's name inside a folder: not empty, no
// path separator ("/" or "\\") and no leading "." (neither "..", the folder
// above, nor a hidden file).
bool isPlainFileName(const QString &name);

// The picture of the operator code in the data folder appPath:
// appPath + "image/" + code + ".jpg". Empty for a code that is no plain file
// name (one stored in a book by an earlier version, say), so no picture path
// made from a code reaches outside the folder "image".
QString operatorPicturePath(const QString &appPath, const QString &code);
