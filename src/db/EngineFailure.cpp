#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "EngineFailure.h"

#include <QDir>
#include <cerrno>
#include <cstring>

namespace db {

namespace {
const QString kDetailOpen = QStringLiteral("\n【系统信息：");
const QString kDetailClose = QStringLiteral("】");
} // namespace

Failure failureOf(int resultCode, const QString &engineText)
{
    switch (resultCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Failure::Busy;
    case SQLITE_READONLY:
        return resultCode == SQLITE_READONLY_DBMOVED ? Failure::Replaced : Failure::ReadOnly;
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return Failure::ReadOnly;
    case SQLITE_FULL:
        return Failure::DiskFull;
    case SQLITE_NOTADB:
    case SQLITE_FORMAT:
        return Failure::NotABook;
    case SQLITE_CORRUPT:
        return Failure::Damaged;
    case SQLITE_CANTOPEN:
        return Failure::CannotOpen;
    case SQLITE_IOERR:
        return Failure::DiskError;
    case SQLITE_ERROR:
        if (engineText.startsWith(QLatin1String("no such table")) || engineText.startsWith(QLatin1String("no such column")))
            return Failure::MissingTables;
        // A failure inside an SQL function (the export of a copy) comes back
        // as a plain error that carries the engine's text of the real code.
        for (const int code : {SQLITE_CORRUPT, SQLITE_NOTADB, SQLITE_BUSY, SQLITE_LOCKED, SQLITE_READONLY, SQLITE_FULL,
                               SQLITE_IOERR, SQLITE_CANTOPEN})
            if (engineText.startsWith(QString::fromUtf8(sqlite3_errstr(code))))
                return failureOf(code);
        return Failure::Other;
    default:
        return Failure::Other;
    }
}

QString failureReason(Failure kind)
{
    switch (kind) {
    case Failure::Busy:
        return QStringLiteral("其它电脑正在使用这个帐本，请稍后再试。");
    case Failure::ReadOnly:
        return QStringLiteral("帐本文件或它所在的文件夹不能写入（只读），请检查它们的权限。");
    case Failure::Replaced:
        return QStringLiteral("帐本文件已被替换（可能在其它电脑上恢复了数据），请退出系统后重新登录。");
    case Failure::DiskFull:
        return QStringLiteral("磁盘已满，请腾出磁盘空间后再试。");
    case Failure::NotABook:
        return QStringLiteral("这个文件不是帐本文件（或者它的密码不同）。");
    case Failure::Damaged:
        return QStringLiteral("帐本文件已经损坏！\n请用“帐本恢复”从“数据备份”中恢复最近一次的备份。");
    case Failure::MissingTables:
        return QStringLiteral("文件中缺少帐本的数据表，不是完整的帐本文件。");
    case Failure::CannotOpen:
        return QStringLiteral("无法打开帐本文件：文件不存在，或者文件、文件夹不能访问。");
    case Failure::DiskError:
        return QStringLiteral("读写磁盘时出错，请检查磁盘或网络连接。");
    case Failure::Other:
        break;
    }
    return QStringLiteral("帐本数据库报告了错误。");
}

QString describeEngineFailure(int resultCode, const QString &engineText)
{
    return withDetail(failureReason(failureOf(resultCode, engineText)), engineText);
}

QString describeFileFailure(int errorNumber, const QString &path)
{
    const QString detail = QString::fromLocal8Bit(std::strerror(errorNumber));
    switch (errorNumber) {
    case ENOSPC:
    case EDQUOT:
        return withDetail(failureReason(Failure::DiskFull), detail);
    case EROFS:
    case EACCES:
    case EPERM:
        return withDetail(QStringLiteral("文件 %1 不能写入（只读），请检查它和它所在文件夹的权限。")
                              .arg(QDir::toNativeSeparators(path)),
                          detail);
    default:
        return withDetail(QStringLiteral("无法写入文件 %1。").arg(QDir::toNativeSeparators(path)), detail);
    }
}

QString withDetail(const QString &text, const QString &detail)
{
    return detail.isEmpty() ? text : text + kDetailOpen + detail + kDetailClose;
}

TextAndDetails splitDetails(const QString &text)
{
    TextAndDetails result;
    qsizetype from = 0;
    while (true) {
        const qsizetype open = text.indexOf(kDetailOpen, from);
        const qsizetype close = open < 0 ? -1 : text.indexOf(kDetailClose, open + kDetailOpen.size());
        if (close < 0) {
            result.text += text.mid(from);
            break;
        }
        result.text += text.mid(from, open - from);
        if (!result.details.isEmpty())
            result.details += QLatin1Char('\n');
        result.details += text.mid(open + kDetailOpen.size(), close - open - kDetailOpen.size());
        from = close + kDetailClose.size();
    }
    return result;
}

} // namespace db
