#include "FileReplace.h"

#include "EngineFailure.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace db {

namespace {
// At most this many bytes of the target's name begin a staging name, so that
// the unique part still fits the file system's limit on a name (255 bytes).
constexpr qsizetype kNameBytesKept = 200;

// A staging name: any name, "." the process number "-" sixteen hex digits,
// ".tmp"; or the engine's journal of a book staged under such a name (a new
// book or a compacted copy being written), "-journal" added.
const QRegularExpression &stagingNamePattern()
{
    static const QRegularExpression pattern(QStringLiteral(R"(^.+\.\d+-[0-9a-f]{16}\.tmp(?:-journal)?$)"));
    return pattern;
}

// A file unchanged for longer than this is no longer being written.
constexpr qint64 kStaleSeconds = 24 * 60 * 60;

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

// target's file name, cut to kNameBytesKept bytes at a whole character.
QString namePrefix(const QString &target)
{
    QString name = QFileInfo(target).fileName();
    while (QFile::encodeName(name).size() > kNameBytesKept)
        name.chop(name.size() > 1 && name.back().isLowSurrogate() ? 2 : 1);
    return name;
}

// Opens a new staging file beside target, exclusively and private to its
// owner from the first moment (the mode is given at creation, so no file mode
// mask widens it): a name that exists already (another writer's) is never
// opened, another is drawn instead. The file takes its final mode only when
// it is put in place (takeProtection).
int openStaged(const QString &target, QString *staged)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        *staged = stagedPathFor(target);
        const int fd = ::open(QFile::encodeName(*staged).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// The process's file mode mask, read without changing it (changing it for a
// moment would give a file another thread makes meanwhile the wrong mode).
mode_t fileModeMask()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly | QIODevice::Text)) {
        for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok)
                    return mode_t(mask & 0777);
            }
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

// Gives staged, which is to take target's place, the mode; empty when done,
// else the reason.
QString giveMode(const QString &staged, mode_t mode, const QString &target)
{
    const QByteArray stagedName = QFile::encodeName(staged);
    if (::chmod(stagedName.constData(), mode) == 0)
        return {};
    // Some shared folders keep no modes: that is no failure as long as the
    // new file is open to no one the mode closes it to.
    const int error = errno;
    struct stat made {};
    if (::stat(stagedName.constData(), &made) == 0 && (made.st_mode & 0777 & ~mode) == 0)
        return {};
    return describeFileFailure(error, target);
}

// Gives staged the protection of the file it is about to be put in place
// of: the mode and, where the process may (only the superuser may give a
// file away), the owner and group of the target; for a new file, the mode a
// new file gets (giveNewFileMode). A target the user may not write, or whose
// owner made it read-only, is refused. Empty when staged may take target's
// place, else the reason.
QString takeProtection(const QString &staged, const QString &target, const QString &closedAs)
{
    const QByteArray stagedName = QFile::encodeName(staged);
    const QByteArray targetName = QFile::encodeName(target);
    struct stat kept {};
    if (::stat(targetName.constData(), &kept) != 0) {
        if (errno != ENOENT)
            return describeFileFailure(errno, target);
        giveNewFileMode(staged, closedAs);
        return {};
    }
    if (!S_ISREG(kept.st_mode))
        return {};  // not a file: the rename tells what is wrong
    // The owner's bit holds even for the superuser, whom access() lets write
    // anything; access() holds for everyone else, whatever the folder allows.
    if (!(kept.st_mode & S_IWUSR) || ::access(targetName.constData(), W_OK) != 0)
        return describeFileFailure(EACCES, target);
    if (::chown(stagedName.constData(), kept.st_uid, kept.st_gid) != 0)
        (void)::chown(stagedName.constData(), uid_t(-1), kept.st_gid);
    return giveMode(staged, kept.st_mode & 07777, target);
}

bool isStale(const QFileInfo &file, const QDateTime &now)
{
    return file.lastModified().secsTo(now) > kStaleSeconds;
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

QString stagedPathFor(const QString &target)
{
    const QString unique = QStringLiteral("%1-%2")
                               .arg(::getpid())
                               .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
    return QDir(folderOf(target)).filePath(namePrefix(target) + QLatin1Char('.') + unique + QStringLiteral(".tmp"));
}

QString createStaged(const QString &target, QString *staged)
{
    const int fd = openStaged(target, staged);
    if (fd < 0)
        return describeFileFailure(errno, target);
    ::close(fd);
    return {};
}

void giveNewFileMode(const QString &staged, const QString &closedAs)
{
    mode_t bits = 0666 & ~fileModeMask();
    struct stat source {};
    if (!closedAs.isEmpty() && ::stat(QFile::encodeName(closedAs).constData(), &source) == 0)
        bits &= source.st_mode;
    // As far as the folder keeps modes: a new file on a memory stick takes
    // the mode its file system gives every file.
    (void)::chmod(QFile::encodeName(staged).constData(), bits | S_IRUSR | S_IWUSR);
}

QString restoreStagePathFor(const QString &bookFile)
{
    return stagedPathFor(bookFile + QStringLiteral(".restore"));
}

QString replaceFile(const QString &staged, const QString &target, const QString &closedAs)
{
    if (!syncFile(staged))
        return describeFileFailure(errno, staged);
    if (const QString refused = takeProtection(staged, target, closedAs); !refused.isEmpty())
        return refused;
    if (std::rename(QFile::encodeName(staged).constData(), QFile::encodeName(target).constData()) != 0)
        return describeFileFailure(errno, target);
    // Best effort: the new file is in place, and some network file systems
    // refuse to sync a folder.
    syncFolder(folderOf(target));
    return {};
}

QString writeWhole(const QString &target, const QByteArray &content)
{
    QString staged;
    const int fd = openStaged(target, &staged);
    if (fd < 0)
        return describeFileFailure(errno, target);
    const QByteArray stagedName = QFile::encodeName(staged);
    const auto failed = [&](int error, const QString &path) {
        ::unlink(stagedName.constData());
        return describeFileFailure(error, path);
    };
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
    syncFolder(folderOf(to));  // best effort, as in replaceFile
    return {};
}

QStringList leftoversIn(const QString &folder, const QStringList &formerNames)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QStringList result;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo &file : files)
        if ((stagingNamePattern().match(file.fileName()).hasMatch() || formerNames.contains(file.fileName()))
            && isStale(file, now))
            result.append(file.filePath());
    return result;
}

QStringList leftoversBeside(const QString &bookFile)
{
    const QString name = QFileInfo(bookFile).fileName();
    return leftoversIn(folderOf(bookFile), {name + QStringLiteral(".tmp"), name + QStringLiteral(".restore"),
                                            name + QStringLiteral(".restore.tmp")});
}

} // namespace db
