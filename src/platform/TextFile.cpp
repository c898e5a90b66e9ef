#include "TextFile.h"

#include "RegularFile.h"
#include "db/EngineFailure.h"
#include "db/FileReplace.h"

#include <QDir>
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

namespace {
QString unopenedReason(const QString &path, RegularFileOpen why, const TextKind &kind)
{
    const QString name = QDir::toNativeSeparators(path);
    switch (why) {
    case RegularFileOpen::Missing: return QStringLiteral("找不到%1 %2").arg(kind.name, name);
    case RegularFileOpen::NotAFile: return QStringLiteral("%1 不是文件（是文件夹、管道或设备），不能作为%2读取").arg(name, kind.name);
    default: return QStringLiteral("无法读取%1 %2").arg(kind.name, name);
    }
}

QString readWhole(const QString &path, const TextKind &kind, QString &failure)
{
    QFile file;
    QString detail;
    if (const RegularFileOpen why = openRegularFile(path, file, &detail); why != RegularFileOpen::Opened) {
        failure = db::withDetail(unopenedReason(path, why, kind), detail);
        return {};
    }
    failure = sizeRefusal(file, path, kind.name, kind.limit);
    if (!failure.isEmpty())
        return {};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFile::NoError) {
        failure = db::withDetail(unopenedReason(path, RegularFileOpen::Unreadable, kind), file.errorString());
        return {};
    }
    return decode(bytes);
}
} // namespace

QString read(const QString &path, bool *ok, QString *failure, const TextKind &kind)
{
    QString why;
    const QString text = readWhole(path, kind, why);
    if (ok)
        *ok = why.isEmpty();
    if (failure)
        *failure = why;
    return text;
}

bool writeAtomically(const QString &path, const QByteArray &content, QString *failure)
{
    const QString reason = db::writeWhole(path, content);
    if (!reason.isEmpty() && failure)
        *failure = reason;
    return reason.isEmpty();
}

} // namespace textfile
