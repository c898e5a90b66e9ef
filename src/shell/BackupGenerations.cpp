#include "BackupGenerations.h"

#include "db/FileReplace.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

BackupTurn::BackupTurn(const QString &lockPath)
{
    // Never through a link, and only a regular file of this user's own: the
    // name lies in a folder others may share, and a neighbour's file could be
    // held locked by the neighbour for ever. Non-blocking only so that a pipe
    // planted under the name cannot hold the open.
    const QByteArray path = QFile::encodeName(lockPath);
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return;
    struct stat st {};
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    int locked = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()) {
        do
            locked = ::fcntl(fd, F_SETLKW, &lock);
        while (locked != 0 && errno == EINTR);
    }
    if (locked != 0) {
        ::close(fd);
        return;
    }
    fd_ = fd;
}

BackupTurn::~BackupTurn()
{
    // Closing the file ends the lock.
    if (fd_ >= 0)
        ::close(fd_);
}

} // namespace backupgen
