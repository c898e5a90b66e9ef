#include "TextFile.h"

#include "RegularFile.h"
#include "db/FileReplace.h"

#include <QFile>
#include <QStringDecoder>

namespace textfile {

QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder gb("GB18030");
    if (gb.isValid())
        return gb.decode(bytes);
    return QString::fromLocal8Bit(bytes);
}

QString read(const QString &path, bool *ok)
{
    QFile file;
    const bool opened = openRegularFile(path, file) == RegularFileOpen::Opened;
    if (ok)
        *ok = opened;
    return opened ? decode(file.readAll()) : QString();
}

bool writeAtomically(const QString &path, const QByteArray &content, QString *failure)
{
    const QString reason = db::writeWhole(path, content);
    if (!reason.isEmpty() && failure)
        *failure = reason;
    return reason.isEmpty();
}

} // namespace textfile
