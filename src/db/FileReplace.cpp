#include "FileReplace.h"

#include "EngineFailure.h"
#include "HeldFileVfs.h"

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
// the unique part and the mark still fit the file system's limit on a name
// (255 bytes).
constexpr qsizetype kNameBytesKept = 200;

// The program's own mark, which ends every staging name.
constexpr char kMark[] = ".warehouse-staging";

// A staging name: any name, "." the process number "-" sixteen hex digits,
// the mark; or the engine's journal of a book staged under such a name,
// "-journal" added.
const QRegularExpression &stagingNamePattern()
{
    static const QRegularExpression pattern(QStringLiteral(R"(^.+\.\d+-[0-9a-f]{16})")
                                            + QRegularExpression::escape(QLatin1String(kMark))
                                            + QStringLiteral("(?:-journal)?$"));
    return pattern;
}

// A file unchanged for longer than this is no longer being written.
constexpr qint64 kStaleSeconds = 24 * 60 * 60;

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

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
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

// Gives the staging file held by fd, which is to take target's place, the
// mode; empty when done, else the reason.
QString giveMode(int fd, mode_t mode, const QString &target)
{
    if (::fchmod(fd, mode) == 0)
        return {};
    // Some shared folders keep no modes: that is no failure as long as the
    // new file is open to no one the mode closes it to.
    const int error = errno;
    struct stat made {};
    if (::fstat(fd, &made) == 0 && (made.st_mode & 0777 & ~mode) == 0)
        return {};
    return describeFileFailure(error, target);
}

// In a folder with the sticky bit only a file's owner (or the folder's, or
// the superuser) may rename over it: another user's file there is refused
// for what it is, whatever its mode allows.
QString stickyFolderRefusal(const QString &target, const struct stat &kept)
{
    const uid_t user = ::geteuid();
    struct stat folder {};
    if (user == 0 || kept.st_uid == user || ::stat(QFile::encodeName(folderOf(target)).constData(), &folder) != 0
        || !(folder.st_mode & S_ISVTX) || folder.st_uid == user)
        return {};
    return QStringLiteral("文件 %1 属于其他用户，它所在的文件夹只允许文件的主人替换它。")
        .arg(QDir::toNativeSeparators(target));
}

// Gives staged the protection of the file it is about to be put in place
// of: the mode and, where the process may (only the superuser may give a
// file away), the owner and group of the target; for a new file (or a link
// in the target's place, which gives way), the mode a new file gets. A
// target the user may not write, or whose owner made it read-only, or that
// the folder keeps for its owner, is refused. Empty when staged may take
// target's place, else the reason.
QString takeProtection(const StagedFile &staged, const QString &target, const QString &closedAs)
{
    const QByteArray targetName = QFile::encodeName(target);
    struct stat kept {};
    if (::lstat(targetName.constData(), &kept) != 0) {
        if (errno != ENOENT)
            return describeFileFailure(errno, target);
        staged.giveNewFileMode(closedAs);
        return {};
    }
    if (S_ISLNK(kept.st_mode)) {
        staged.giveNewFileMode(closedAs);
        return {};
    }
    if (!S_ISREG(kept.st_mode))
        return {};  // not a file: the rename tells what is wrong
    if (const QString refused = stickyFolderRefusal(target, kept); !refused.isEmpty())
        return refused;
    // The owner's bit holds even for the superuser, whom access() lets write
    // anything; access() holds for everyone else, whatever the folder allows.
    if (!(kept.st_mode & S_IWUSR) || ::access(targetName.constData(), W_OK) != 0)
        return describeFileFailure(EACCES, target);
    if (::fchown(staged.handle(), kept.st_uid, kept.st_gid) != 0)
        (void)::fchown(staged.handle(), uid_t(-1), kept.st_gid);
    return giveMode(staged.handle(), kept.st_mode & 07777, target);
}

bool isStale(const QFileInfo &file, const QDateTime &now)
{
    return file.lastModified().secsTo(now) > kStaleSeconds;
}
} // namespace

bool syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return synced;
}

// A name that exists already (another writer's) is never opened, another is
// drawn instead; the mode is given at creation, so no file mode mask widens
// it. The file takes its final mode only when it is put in place.
StagedFile::StagedFile(const QString &target)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        path_ = stagedPathFor(target);
        fd_ = ::open(QFile::encodeName(path_).constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd_ >= 0 || errno != EEXIST)
            break;
    }
    if (fd_ < 0)
        error_ = describeFileFailure(errno, target);
}

StagedFile::StagedFile(const QString &path, TakeUp)
    : path_(path)
{
    fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    struct stat made {};
    if (fd_ < 0) {
        error_ = describeFileFailure(errno, path);
    } else if (::fstat(fd_, &made) != 0 || !S_ISREG(made.st_mode) || made.st_uid != ::geteuid()
               || made.st_nlink != 1) {
        error_ = QStringLiteral("暂存文件 %1 已被换成了别的文件。").arg(QDir::toNativeSeparators(path));
        ::close(fd_);
        fd_ = -1;
    }
}

StagedFile::~StagedFile()
{
    if (fd_ < 0)
        return;
    if (!placed_ && nameHolds(path_))
        ::unlink(QFile::encodeName(path_).constData());
    ::close(fd_);
}

QString StagedFile::enginePath() const
{
    return heldFilePath(fd_);
}

QString StagedFile::sync() const
{
    return ::fsync(fd_) == 0 ? QString() : describeFileFailure(errno, path_);
}

void StagedFile::giveNewFileMode(const QString &closedAs) const
{
    mode_t bits = 0666 & ~fileModeMask();
    struct stat source {};
    if (!closedAs.isEmpty() && ::stat(QFile::encodeName(closedAs).constData(), &source) == 0)
        bits &= source.st_mode;
    // As far as the folder keeps modes: a new file on a memory stick takes
    // the mode its file system gives every file.
    (void)::fchmod(fd_, bits | S_IRUSR | S_IWUSR);
}

bool StagedFile::nameHolds(const QString &name) const
{
    struct stat held {}, named {};
    return fd_ >= 0 && ::fstat(fd_, &held) == 0 && ::lstat(QFile::encodeName(name).constData(), &named) == 0
           && sameFile(held, named);
}

// A neighbour quick enough to swap the staging name between the look and
// the rename had the rename move their file, and the file made still lies
// where they put it: the write did not happen. A file made that has no name
// left was put in place and then replaced by another write of the same
// target (another computer's), as a file put in place may be at any time.
bool StagedFile::movedInPlace(const QString &target) const
{
    struct stat held {};
    return nameHolds(target) || (::fstat(fd_, &held) == 0 && held.st_nlink == 0);
}

QString StagedFile::swappedReason(const QString &target) const
{
    return QStringLiteral("无法写入文件 %1：写入时，它的暂存文件 %2 被换成了别的文件。")
        .arg(QDir::toNativeSeparators(target), QDir::toNativeSeparators(path_));
}

QString StagedFile::renameOver(const QString &target)
{
    if (!nameHolds(path_))
        return swappedReason(target);
    if (std::rename(QFile::encodeName(path_).constData(), QFile::encodeName(target).constData()) != 0)
        return describeFileFailure(errno, target);
    placed_ = true;
    return movedInPlace(target) ? QString() : swappedReason(target);
}

QString StagedFile::putAtFreeName(const QString &target)
{
    const QByteArray to = QFile::encodeName(target);
    // A second name for the very file held, which refuses a name taken
    // meanwhile; then the staging name goes, if it still holds the file.
    if (::linkat(AT_FDCWD, QFile::encodeName(enginePath()).constData(), AT_FDCWD, to.constData(), AT_SYMLINK_FOLLOW)
        == 0) {
        if (nameHolds(path_))
            ::unlink(QFile::encodeName(path_).constData());
        placed_ = true;
        return {};
    }
    if (errno == EEXIST)
        return nameTakenReason();
    // A file system without second names: the staging name itself, renamed
    // where the system can refuse a taken name; where it cannot, renamed
    // while the name is still free.
    if (!nameHolds(path_))
        return swappedReason(target);
    const QByteArray from = QFile::encodeName(path_);
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) != 0) {
        if (errno == EEXIST)
            return nameTakenReason();
        if (errno != EINVAL && errno != ENOSYS)
            return describeFileFailure(errno, target);
        if (::access(to.constData(), F_OK) == 0)
            return nameTakenReason();
        if (std::rename(from.constData(), to.constData()) != 0)
            return describeFileFailure(errno, target);
    }
    placed_ = true;
    return movedInPlace(target) ? QString() : swappedReason(target);
}

QString nameTakenReason()
{
    return QStringLiteral("目标位置已存在同名文件，请更换存放位置或文件名！");
}

QString stagedPathFor(const QString &target)
{
    const QString unique = QStringLiteral("%1-%2")
                               .arg(::getpid())
                               .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
    return QDir(folderOf(target)).filePath(namePrefix(target) + QLatin1Char('.') + unique + QLatin1String(kMark));
}

QString restoreStagePathFor(const QString &bookFile)
{
    return stagedPathFor(bookFile + QStringLiteral(".restore"));
}

QString replaceFile(StagedFile &staged, const QString &target, const QString &closedAs)
{
    if (QString error = staged.sync(); !error.isEmpty())
        return error;
    if (const QString refused = takeProtection(staged, target, closedAs); !refused.isEmpty())
        return refused;
    if (const QString error = staged.renameOver(target); !error.isEmpty())
        return error;
    // Best effort: the new file is in place, and some network file systems
    // refuse to sync a folder.
    syncFolder(folderOf(target));
    return {};
}

QString writeWhole(const QString &target, const QByteArray &content)
{
    StagedFile staged(target);
    if (!staged.error().isEmpty())
        return staged.error();
    for (qsizetype done = 0; done < content.size();) {
        const ssize_t wrote = ::write(staged.handle(), content.constData() + done, size_t(content.size() - done));
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return describeFileFailure(wrote < 0 ? errno : ENOSPC, target);
        done += wrote;
    }
    return replaceFile(staged, target);
}

QString renameDurably(const QString &from, const QString &to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return describeFileFailure(errno, to);
    syncFolder(folderOf(to));  // best effort, as in replaceFile
    return {};
}

QStringList leftoversIn(const QString &folder)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const uint user = ::geteuid();
    QStringList result;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo &file : files)
        if (stagingNamePattern().match(file.fileName()).hasMatch() && file.ownerId() == user && isStale(file, now))
            result.append(file.filePath());
    return result;
}

} // namespace db
