#include "TextFile.h"

#include "db/FileReplace.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
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
    QFile file(path);
    const bool opened = file.open(QIODevice::ReadOnly);
    if (ok)
        *ok = opened;
    return opened ? decode(file.readAll()) : QString();
}

bool writeAtomically(const QString &path, const QByteArray &content)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // A short text waits in the file's buffer; a full disk refuses it only
    // when the buffer is written, and commit() does not look at that failure.
    if (file.write(content) != content.size() || !file.flush())
        return false;
    // commit() syncs the file before its rename; the rename itself is kept by
    // syncing the folder.
    return file.commit() && db::syncFolder(QFileInfo(path).absolutePath());
}

} // namespace textfile
