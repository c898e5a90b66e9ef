#include "RegularFile.h"

#include <QDir>
#include <QFile>
#include <QLocale>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString systemText(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

RegularFileOpen refusedKind(mode_t mode, QString *detail)
{
    if (detail)
        *detail = S_ISDIR(mode) ? systemText(EISDIR) : QStringLiteral("not a regular file");
    return RegularFileOpen::NotAFile;
}

RegularFileOpen failedOpen(int errorNumber, QString *detail)
{
    if (detail)
        *detail = systemText(errorNumber);
    return errorNumber == ENOENT || errorNumber == ENOTDIR ? RegularFileOpen::Missing : RegularFileOpen::Unreadable;
}
} // namespace

RegularFileOpen openRegularFile(const QString &path, QFile &file, QString *detail)
{
    const QByteArray name = QFile::encodeName(path);
    // A look before the open keeps devices from being opened at all.
    struct stat before{};
    if (::stat(name.constData(), &before) != 0)
        return failedOpen(errno, detail);
    if (!S_ISREG(before.st_mode))
        return refusedKind(before.st_mode, detail);
    // Without O_NONBLOCK a FIFO put in the file's place after the look would
    // hold the open until some writer comes.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return failedOpen(errno, detail);
    struct stat opened{};
    if (::fstat(fd, &opened) != 0) {
        const int error = errno;
        ::close(fd);
        return failedOpen(error, detail);
    }
    if (!S_ISREG(opened.st_mode)) {
        ::close(fd);
        return refusedKind(opened.st_mode, detail);
    }
    // The handle is the file's from here on, also when it refuses it.
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (detail)
            *detail = file.errorString();
        return RegularFileOpen::Unreadable;
    }
    return RegularFileOpen::Opened;
}

QString sizeRefusal(const QFile &opened, const QString &path, const QString &kind, qint64 limit)
{
    struct stat info{};
    if (::fstat(opened.handle(), &info) != 0)
        return QStringLiteral("无法读取%1 %2").arg(kind, QDir::toNativeSeparators(path));
    if (info.st_size <= limit)
        return {};
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    return QStringLiteral("%1 %2 有 %3，这类文件不会超过 %4：它不是本程序的%1，没有读取。")
        .arg(kind, QDir::toNativeSeparators(path), chinese.formattedDataSize(info.st_size),
             chinese.formattedDataSize(limit));
}
