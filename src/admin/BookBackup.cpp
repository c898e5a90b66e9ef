#include "BookBackup.h"

#include "BookFiles.h"
#include "db/BookFile.h"
#include "db/BookLock.h"
#include "db/Database.h"
#include "db/EngineFailure.h"
#include "db/FileReplace.h"
#include "platform/NumberText.h"
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
// name): the book cannot be read from while its lock is held for the restore.
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
} // namespace

CycleSettings readCycle(const QString &settingsPath)
{
    CycleSettings settings;
    settings.lastAutoBackup = kNoBackupYet;
    if (!QFileInfo::exists(settingsPath))
        return settings;
    settings.exists = true;
    const QStringList read = lines(textfile::read(settingsPath));
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

QString checkBackup(const QString &bookFile, const QString &backupFile)
{
    if (const QString error = sameFileError(bookFile, backupFile); !error.isEmpty())
        return error;
    const QString shownName = QDir::toNativeSeparators(backupFile);
    db::Failure kind = db::Failure::Other;
    const QString error = db::checkBook(backupFile, &kind);
    if (error.isEmpty())
        return books::checkBookFile(backupFile);  // the book's own tables, as a book is opened
    if (kind != db::Failure::Damaged)
        return error;
    return db::withDetail(QStringLiteral("备份文件 %1 已经损坏，不能用它恢复数据！\n现在的帐本没有任何改变。").arg(shownName),
                          db::splitDetails(error).details);
}

QString restoreBook(db::Database &open, const QString &bookFile, const QString &backupFile)
{
    if (const QString error = sameFileError(bookFile, backupFile); !error.isEmpty())
        return error;
    // The order keeps another computer's work whole. The lock comes first,
    // while the program's own connection stays open and idle: any reader or
    // writer elsewhere makes the restore wait and then refuse before anything
    // is touched, and the book stays open as it was. Once the lock is held
    // the own connection is closed; the engine keeps its handle of the file
    // until the lock ends, since closing it would drop the lock. The stage
    // beside the book is then the restore's alone (it reads only the backup
    // and writes only the stage), and the rename over the book's name is made
    // while the lock still lies on the old file, so a connection waiting
    // meanwhile finds that file replaced rather than writing into it. Only
    // then is the lock released and the restored book opened.
    QString error;
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

} // namespace backup
