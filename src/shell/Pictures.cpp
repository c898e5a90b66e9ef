#include "Pictures.h"

#include "platform/RegularFile.h"

#include <QFile>
#include <QImageReader>

QString pictureSizeRefusal(const QFile &opened, const QString &path)
{
    return sizeRefusal(opened, path, QStringLiteral("图片文件"), kPictureLimit);
}

QPixmap loadPicture(const QString &path)
{
    QFile file;
    if (openRegularFile(path, file) != RegularFileOpen::Opened || !pictureSizeRefusal(file, path).isEmpty())
        return {};
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

bool isPlainFileName(const QString &name)
{
    return !name.isEmpty() && !name.startsWith(QLatin1Char('.')) && !name.contains(QLatin1Char('/'))
           && !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

QString operatorPicturePath(const QString &appPath, const QString &code)
{
    if (!isPlainFileName(code))
        return {};
    return appPath + QStringLiteral("image/") + code + QStringLiteral(".jpg");
}
