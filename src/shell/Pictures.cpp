#include "Pictures.h"

#include "platform/RegularFile.h"

#include <QFile>
#include <QImageReader>

QPixmap loadPicture(const QString &path)
{
    QFile file;
    if (openRegularFile(path, file) != RegularFileOpen::Opened)
        return {};
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}
