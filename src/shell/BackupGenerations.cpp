#include "BackupGenerations.h"

#include "db/FileReplace.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace backupgen {

QStringList backupsOf(const QDir &folder, const QString &bookName, const QStringList &extensions)
{
    QStringList escaped;
    for (const QString &extension : extensions)
        escaped << QRegularExpression::escape(extension);
    const QRegularExpression pattern(QStringLiteral("^") + QRegularExpression::escape(bookName)
                                     + QStringLiteral(R"(\d{4}-\d{1,2}-\d{1,2}\.(?:)") + escaped.join(QLatin1Char('|'))
                                     + QStringLiteral(")$"));
    QStringList result;
    for (const QString &name : folder.entryList(QDir::Files, QDir::Name))
        if (pattern.match(name).hasMatch())
            result.append(name);
    return result;
}

QString publishNewest(const QDir &folder, const QString &bookName, db::StagedFile &staged, const QString &target,
                      const QString &bookFile)
{
    // The previous backup becomes the older generation by one rename, and
    // only then are the generations before it removed: a rename has one
    // winner, so when another program leaving the same book has just moved
    // the previous backup, this one finds it gone and leaves the generations
    // alone instead of removing the one just made.
    const QStringList previous = backupsOf(folder, bookName, {QStringLiteral("vzk")});
    if (!previous.isEmpty()) {
        const QString first = previous.first();
        const QString older = first.left(first.size() - 3) + QStringLiteral("___");
        if (const QString error = db::renameDurably(folder.filePath(first), folder.filePath(older)); error.isEmpty()) {
            for (const QString &old : backupsOf(folder, bookName, {QStringLiteral("___")}))
                if (old != older)
                    QFile::remove(folder.filePath(old));
        } else if (QFileInfo::exists(folder.filePath(first))) {
            return error;
        }
    }
    return db::replaceFile(staged, target, bookFile);
}

} // namespace backupgen
