#include "TextFile.h"

#include "db/EngineFailure.h"
#include "db/FileReplace.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <cerrno>

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

bool writeAtomically(const QString &path, const QByteArray &content, QString *failure)
{
    const auto failed = [&](const QString &file) {
        if (failure)
            *failure = db::describeFileFailure(errno, file);
        return false;
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(path);
    // A short text waits in the file's buffer; a full disk refuses it only
    // when the buffer is written, and commit() does not look at that failure.
    if (file.write(content) != content.size() || !file.flush())
        return failed(path);
    // commit() syncs the file before its rename; the rename itself is kept by
    // syncing the folder.
    if (!file.commit())
        return failed(path);
    const QString folder = QFileInfo(path).absolutePath();
    return db::syncFolder(folder) || failed(folder);
}

} // namespace textfile
