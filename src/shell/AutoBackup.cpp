// The automatic backup made when the program ends: a checked, keyed copy of
// the open book in the folder "数据备份", at most once per cycle of days, the
// previous copy kept as one older generation (".___").
#include "Module1.h"

#include "BackupGenerations.h"

#include "db/BookFile.h"
#include "db/DateText.h"
#include "db/FileReplace.h"
#include "platform/DelayedProgress.h"
#include "platform/NumberText.h"
#include "platform/Prompt.h"
#include "platform/TextFile.h"
#include "platform/WaitCursor.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <cmath>
#include <cstdio>
#include <optional>

void Module1::RemoveBookLeftovers()
{
    const QDir folder(gAppPath + QStringLiteral("数据备份"));
    for (const QString &path : db::leftoversIn(QFileInfo(gBookFile).absolutePath()) + db::leftoversIn(folder.path()))
        QFile::remove(path);
}

void Module1::AutoBackupBook()
{
    if (IsOnNetworkFileSystem(gAppPath))
        return;
    const QString folderPath = gAppPath + QStringLiteral("数据备份");
    QDir().mkpath(folderPath);
    if (gBookName == gBookFile)
        gBookName = QStringLiteral("帐本文件");
    // Everything from the decision to the settings' new date is done in this
    // program's turn: another program leaving the same book at the same
    // moment decides after it and finds today's backup made, instead of
    // making it again and costing the older generation. The turn is kept by
    // a hidden file beside the book's backup settings.
    std::optional<backupgen::BackupTurn> turn;
    {
        WaitCursor wait;
        turn.emplace(gAppPath + QStringLiteral(".") + gBookName + QStringLiteral("bak.lock"));
    }
    RemoveBookLeftovers();
    const QString settingsPath = gAppPath + gBookName + QStringLiteral("bak.set");
    if (!QFileInfo::exists(settingsPath))
        return;

    // Another user's lock is told in the usual words, as a notice: it passes
    // when the other user leaves. Any other reason (a damaged book, a full
    // disk) is named with the warning icon, as it needs the clerk to act.
    // The turn passes on before a message waits for the clerk, so another
    // program leaving meanwhile does not wait for this clerk's answer.
    auto fail = [&turn](const QString &reason = {}) {
        turn.reset();
        if (reason.isEmpty())
            Prompt::current().message(QStringLiteral("自动备份"),
                                      QStringLiteral("其它用户正在使用当前帐本，系统无法备份数据。\n\n"
                                                     "请在其它用户退出之后再备份数据！"),
                                      Prompt::Icon::Information);
        else
            Prompt::current().message(QStringLiteral("自动备份"), QStringLiteral("系统无法备份数据。\n\n") + reason,
                                      Prompt::Icon::Exclamation);
    };
    bool readable = false;
    QString failure;
    const QStringList lines = textfile::read(settingsPath, &readable, &failure).split(QLatin1Char('\n'));
    if (!readable)
        return fail(failure);
    const int cycle = int(std::abs(std::lround(numtext::leadingNumber(lines.value(0).trimmed()))));
    const QString lastText = lines.size() > 1 && !lines[1].trimmed().isEmpty() ? lines[1].trimmed() : QStringLiteral("0");
    const QDateTime now = Now();
    const QDate last = db::parseDate(lastText);
    if (last.isValid() && std::abs(last.daysTo(now.date())) < cycle)
        return;

    QDir folder(folderPath);
    const QString targetName = gBookName + now.date().toString(QStringLiteral("yyyy-M-d")) + QStringLiteral(".vzk");
    const QString target = folder.filePath(targetName);
    if (cycle > 0 && QFileInfo::exists(target))
        return;

    // The new copy is made and checked first; only then does the previous one
    // become the older generation, so a failed backup never costs the last good one.
    {
        WaitCursor wait;
        gDb.close();
        QCoreApplication::processEvents();
        bool busy = false;
        const QString error = db::copyBook(
            gBookFile, target,
            DelayedProgress(QStringLiteral("自动备份"), QStringLiteral("正在自动备份数据，请稍候……")), &busy,
            [&](db::StagedFile &staged, const QString &into) {
                return backupgen::publishNewest(folder, gBookName, staged, into, gBookFile);
            });
        if (!error.isEmpty())
            return fail(busy ? QString() : error);
    }
    QCoreApplication::processEvents();
    const QString settings = QString::number(cycle) + QStringLiteral("\n") + db::stampText(now) + QStringLiteral("\n");
    if (QString failure; !textfile::writeAtomically(settingsPath, settings.toUtf8(), &failure))
        return fail(failure);
}
