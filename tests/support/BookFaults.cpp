#include "BookFaults.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QProcess>
#include <linux/fs.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace faults {

namespace {
bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

bool setImmutable(const QString &path, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

QString fillerOf(const QString &folder)
{
    return folder + QStringLiteral("/filler");
}
} // namespace

QString makeJunkFile(const QString &path)
{
    writeBytes(path, QByteArray("这不是帐本，只是一段文字。\n").repeated(400));
    return path;
}

QString makeOtherKeyBook(const QString &path)
{
    db::Database other;
    if (other.open(path, QStringLiteral("another password"), true))
        other.exec(QStringLiteral("create table TA4 (F1 text)"));
    return path;
}

void growBook(db::Database &book)
{
    db::Transaction filling(book);
    for (int i = 0; i < 400; ++i)
        book.exec(QStringLiteral("insert into TA4 (F1,F2,F6) values (?,?,?)"),
                  {QStringLiteral("G%1").arg(i, 5, 10, QLatin1Char('0')), QStringLiteral("货品%1").arg(i),
                   QStringLiteral("备注").repeated(20)});
    filling.commit();
}

QString makeDamagedCopy(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = in.readAll();
    const qint64 pageSize = 1024;
    const qint64 middle = (bytes.size() / pageSize / 2) * pageSize;
    for (qint64 i = middle + 100; i < middle + 140 && i < bytes.size(); ++i)
        bytes[i] = char(~bytes[i]);
    writeBytes(target, bytes);
    return target;
}

QString makeCutCopy(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    writeBytes(target, in.read(in.size() / 2));
    return target;
}

FileState stateOf(const QString &path)
{
    FileState state;
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) == 0)
        state.inode = status.st_ino;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        state.bytes = file.readAll();
    return state;
}

void PrintTo(const FileState &state, std::ostream *out)
{
    *out << "inode " << state.inode << ", " << state.bytes.size() << " bytes, sha1 "
         << QCryptographicHash::hash(state.bytes, QCryptographicHash::Sha1).toHex().constData();
}

WriteLock::WriteLock(const QString &bookPath, Stage stage)
{
    const QString begin = stage == Stage::Writing ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN EXCLUSIVE");
    held_ = other_.open(bookPath) && other_.execScript(begin)
            && other_.exec(QStringLiteral("insert into TA3 (F1,F2) values ('锁','另一台电脑')"));
}

WriteLock::~WriteLock()
{
    if (other_.isOpen())
        other_.execScript(QStringLiteral("ROLLBACK"));
}

OtherComputer::OtherComputer(const QString &bookPath)
    : process_(std::make_unique<QProcess>())
{
    process_->setProcessChannelMode(QProcess::MergedChannels);
    process_->start(QStringLiteral("sqlcipher"), {bookPath});
    started_ = process_->waitForStarted(10000)
               && run(QStringLiteral("PRAGMA key='%1'").arg(QString::fromLatin1(db::kBookPassword))).isEmpty();
}

OtherComputer::~OtherComputer()
{
    if (process_->state() == QProcess::NotRunning)
        return;
    process_->closeWriteChannel();
    if (!process_->waitForFinished(10000))
        process_->kill();
    process_->waitForFinished(10000);
}

QString OtherComputer::run(const QString &sql)
{
    // Each round ends by printing its own mark, after whatever the
    // statements printed (errors included: both channels are one).
    const QByteArray mark = "round-" + QByteArray::number(++round_);
    process_->write(sql.toUtf8() + ";\nSELECT '" + mark + "';\n");
    QByteArray output;
    while (!output.contains(mark + '\n')) {
        if (!process_->waitForReadyRead(10000))
            return QStringLiteral("the other computer does not answer: ") + QString::fromUtf8(output);
        output += process_->readAll();
    }
    return QString::fromUtf8(output.left(output.indexOf(mark))).trimmed();
}

Unwritable::Unwritable(const QString &path)
    : path_(path)
{
    if (::geteuid() != 0) {
        const bool folder = QFileInfo(path).isDir();
        works_ = QFile::setPermissions(path, folder ? QFile::ReadOwner | QFile::ExeOwner : QFile::ReadOwner);
        return;
    }
    works_ = immutable_ = setImmutable(path, true);
}

Unwritable::~Unwritable()
{
    if (immutable_)
        setImmutable(path_, false);
    else if (works_)
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

SmallDisk::SmallDisk(const QString &folder, int kilobytes)
    : folder_(folder)
{
    QDir().mkpath(folder);
    const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k";
    mounted_ = ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options.constData()) == 0;
}

SmallDisk::~SmallDisk()
{
    if (mounted_)
        ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
}

void SmallDisk::fill()
{
    QFile filler(fillerOf(folder_));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return;
    const QByteArray block(4096, '\0');
    while (filler.write(block) == block.size()) {
    }
}

void SmallDisk::free()
{
    QFile::remove(fillerOf(folder_));
}

} // namespace faults
