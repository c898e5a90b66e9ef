#include "BookBackup.h"

#include "db/BookFile.h"
#include "db/Database.h"
#include "db/EngineFailure.h"
#include "db/FileReplace.h"
#include "platform/NumberText.h"
#include "platform/TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>

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

QString restoreBook(db::Database &open, const QString &bookFile, const QString &backupFile)
{
    const QString staged = db::restoreStagePathFor(bookFile);
    QString error = db::compactCopy(backupFile, staged);
    if (!error.isEmpty()) {
        QFile::remove(staged);
        if (!open.isOpen())
            open.open(bookFile);
        return error;
    }
    open.close();
    // A journal beside the book belongs to a write of another user still
    // running (or cut off): it must never be played into the restored file.
    if (QFileInfo::exists(bookFile + QStringLiteral("-journal"))) {
        QFile::remove(staged);
        open.open(bookFile);
        return db::failureReason(db::Failure::Busy);
    }
    if (const QString replaced = db::replaceFile(staged, bookFile); !replaced.isEmpty()) {
        QFile::remove(staged);
        open.open(bookFile);
        return replaced;
    }
    if (!open.open(bookFile))
        return open.lastError();
    return {};
}

} // namespace backup
