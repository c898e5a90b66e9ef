#pragma once

#include <QPixmap>
#include <QString>

// Loads a picture file (jpg, gif, bmp, png) with its format read from the
// content, whatever its name ("syspic.dat"). A null pixmap when it cannot be read.
QPixmap loadPicture(const QString &path);
