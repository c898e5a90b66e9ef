#include "BookBackup.h"

#include "db/BookFile.h"
#include "db/BookLock.h"
#include "db/DamagedStart.h"
#include "db/Database.h"
#include "db/EngineFailure.h"
#include "db/FileReplace.h"
#include "platform/NumberText.h"
#include "platform/RegularFile.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <sys/stat.h>

namespace backup {

namespace {
QStringList lines(const QString &text)
{
    QStringList result = text.split(QLatin1Char('\n'));
    for (QString &line : result)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    if (!result.isEmpty() && result.last().isEmpty())
        result.removeLast();
    return result;
}

// Refuses a backup that is the book's own file (under this or another
// name): the book cannot be read from while it is written.
QString sameFileError(const QString &bookFile, const QString &backupFile)
{
    struct stat book {}, backup {};
    if (::stat(QFile::encodeName(bookFile).constData(), &book) != 0
        || ::stat(QFile::encodeName(backupFile).constData(), &backup) != 0 || book.st_dev != backup.st_dev
        || book.st_ino != backup.st_ino)
        return {};
    return QStringLiteral("所选的文件 %1 就是现在使用的帐本文件，不能用它恢复数据。")
        .arg(QDir::toNativeSeparators(backupFile));
}

// The chosen backup told as what it is when it cannot be a backup at all:
// nothing at the path, no file (a folder, a FIFO, a device, or a link to
// one), or a file shorter than a book's first page. From so few bytes a
// backup cut short cannot be told from a file that never was a book: both are
// named. Empty when the engine is to judge the file.
QString unusableChoice(const QString &backupFile)
{
    const QString name = QDir::toNativeSeparators(backupFile);
    const QString unchanged = QStringLiteral("，不能用它恢复数据！\n现在的帐本没有任何改变。");
    QFile file;
    QString detail;
    switch (openRegularFile(backupFile, file, &detail)) {
    case RegularFileOpen::Missing: return db::withDetail(QStringLiteral("找不到文件 %1").arg(name), detail);
    case RegularFileOpen::NotAFile:
        return db::withDetail((QFileInfo(backupFile).isDir() ? QStringLiteral("所选的 %1 是文件夹，不是备份文件")
                                                             : QStringLiteral("所选的 %1 不是文件，而是管道或设备"))
                                      .arg(name)
                                  + unchanged,
                              detail);
    case RegularFileOpen::Unreadable: return {};  // the engine's open names why
    case RegularFileOpen::Opened: break;
    }
    if (!db::isTooShortForABook(backupFile))
        return {};
    return QStringLiteral("所选的文件 %1 只有 %2 字节，不到帐本的一页：它可能是不完整的备份，也可能根本不是帐本文件")
               .arg(name)
               .arg(file.size())
        + unchanged;
}

// Whether the book at bookFile is damaged, after the engine refused to write
// into it for a failure of kind refused: a lock, a full disk or a read-only
// file are no damage.
bool bookIsDamaged(const QString &bookFile, db::Failure refused)
{
    if (refused == db::Failure::Busy || refused == db::Failure::DiskFull || refused == db::Failure::ReadOnly)
        return false;
    db::Failure kind = db::Failure::Other;
    return !db::checkBook(bookFile, &kind).isEmpty() && (kind == db::Failure::Damaged || kind == db::Failure::NotABook);
}
} // namespace

CycleSettings readCycle(const QString &settingsPath)
{
    CycleSettings settings;
    settings.lastAutoBackup = kNoBackupYet;
    if (!QFileInfo::exists(settingsPath))
        return settings;
    settings.exists = true;
    const QStringList read = lines(textfile::read(settingsPath, nullptr, &settings.failure));
    if (!read.isEmpty())
        settings.cycleText = numtext::numToText(numtext::leadingNumber(read.first().trimmed()));
    // Only a second line is the date of the last automatic backup.
    if (read.size() > 1)
        settings.lastAutoBackup = read.at(1);
    return settings;
}

int cycleDays(const QString &text)
{
    const double value = numtext::typedNumber(text.trimmed());
    if (value < 0)
        return 0;
    const double rounded = std::nearbyint(value);  // the default rounding: half to even
    return rounded > 1e9 ? 1000000000 : int(rounded);
}

bool writeCycle(const QString &settingsPath, int cycle, const QString &lastAutoBackup, QString *failure)
{
    const QString text = QString::number(cycle) + QStringLiteral("\r\n") + lastAutoBackup + QStringLiteral("\r\n");
    return textfile::writeAtomically(settingsPath, text.toUtf8(), failure);
}

QString backupBook(const QString &bookFile, const QString &target, bool *busy)
{
    if (busy)
        *busy = false;
    if (QFileInfo::exists(target))
        return QStringLiteral("文件 %1 已存在").arg(target);
    return db::copyBook(bookFile, target, {}, busy);
}

QString openBackup(db::Database &backup, const QString &bookFile, const QString &backupFile)
{
    if (const QString error = unusableChoice(backupFile); !error.isEmpty())
        return error;
    if (const QString error = sameFileError(bookFile, backupFile); !error.isEmpty())
        return error;
    db::Failure kind = db::Failure::Other;
    QString error = db::openCheckedBook(backup, backupFile, &kind);
    if (error.isEmpty()) {
        error = db::accountBookError(backup);  // the book's own tables, as a book is opened
        if (!error.isEmpty())
            backup.close();
        return error;
    }
    if (kind != db::Failure::Damaged)
        return error;
    return db::withDetail(QStringLiteral("备份文件 %1 已经损坏，不能用它恢复数据！\n现在的帐本没有任何改变。")
                              .arg(QDir::toNativeSeparators(backupFile)),
                          db::splitDetails(error).details);
}

QString restoreBook(db::Database &open, const QString &bookFile, db::Database &backup)
{
    if (!open.isOpen() && !open.open(bookFile)) {
        backup.close();
        return open.lastError();
    }
    db::Failure refused = db::Failure::Other;
    QString error = db::overwriteBook(open, backup, &refused);
    if (error.isEmpty() || !bookIsDamaged(bookFile, refused)) {
        backup.close();
        return error;
    }
    // The engine cannot journal pages it cannot read: a damaged book is
    // replaced by a checked copy of the backup, renamed over it under its lock.
    const QString backupFile = backup.path();
    backup.close();  // the copy below reads the backup's file through a connection of its own
    {
        db::BookLock lock(bookFile);
        if (!lock.isHeld())
            return lock.error();
        open.close();
        // A name of this restore's own: a stage a restore cut off left is
        // removed with the other leftovers, once no one can be writing it.
        const QString staged = db::restoreStagePathFor(bookFile);
        error = db::compactCopy(backupFile, staged);
        if (error.isEmpty())
            error = lock.replaceBookWith(staged);
        if (!error.isEmpty())
            QFile::remove(staged);
    }
    if (!open.open(bookFile) && error.isEmpty())
        error = open.lastError();
    return error;
}

QString restoreBook(db::Database &open, const QString &bookFile, const QString &backupFile)
{
    db::Database backup;
    if (const QString error = openBackup(backup, bookFile, backupFile); !error.isEmpty())
        return error;
    return restoreBook(open, bookFile, backup);
}

} // namespace backup
