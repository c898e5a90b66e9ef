#include "FileReplace.h"

#include "EngineFailure.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace db {

namespace {
bool syncPath(const QString &path, int flags)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return synced;
}

QString folderOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}
} // namespace

bool syncFile(const QString &path)
{
    return syncPath(path, O_RDONLY);
}

bool syncFolder(const QString &folder)
{
    return syncPath(folder, O_RDONLY | O_DIRECTORY);
}

QString replaceFile(const QString &staged, const QString &target)
{
    if (!syncFile(staged))
        return describeFileFailure(errno, staged);
    if (std::rename(QFile::encodeName(staged).constData(), QFile::encodeName(target).constData()) != 0)
        return describeFileFailure(errno, target);
    if (!syncFolder(folderOf(target)))
        return describeFileFailure(errno, folderOf(target));
    return {};
}

QString writeWhole(const QString &target, const QByteArray &content)
{
    const QString staged = stagedPathFor(target);
    const QByteArray stagedName = QFile::encodeName(staged);
    const auto failed = [&](int error, const QString &path) {
        ::unlink(stagedName.constData());
        return describeFileFailure(error, path);
    };
    const int fd = ::open(stagedName.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return describeFileFailure(errno, target);
    for (qsizetype done = 0; done < content.size();) {
        const ssize_t wrote = ::write(fd, content.constData() + done, size_t(content.size() - done));
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            const int error = wrote < 0 ? errno : ENOSPC;
            ::close(fd);
            return failed(error, target);
        }
        done += wrote;
    }
    if (::close(fd) != 0)
        return failed(errno, target);
    if (const QString error = replaceFile(staged, target); !error.isEmpty()) {
        ::unlink(stagedName.constData());
        return error;
    }
    return {};
}

QString renameDurably(const QString &from, const QString &to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return describeFileFailure(errno, to);
    if (!syncFolder(folderOf(to)))
        return describeFileFailure(errno, folderOf(to));
    return {};
}

QString stagedPathFor(const QString &target)
{
    return target + QStringLiteral(".tmp");
}

QString restoreStagePathFor(const QString &bookFile)
{
    return bookFile + QStringLiteral(".restore");
}

QStringList leftoversBeside(const QString &bookFile)
{
    const QString restoreStage = restoreStagePathFor(bookFile);
    return {restoreStage, stagedPathFor(restoreStage), stagedPathFor(bookFile)};
}

} // namespace db
