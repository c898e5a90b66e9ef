#include "FolderWatch.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

FolderWatch::FolderWatch(const QString &folder, std::function<void(const QString &path)> onMade)
    : folder_(folder), onMade_(std::move(onMade))
{
    events_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (events_ < 0 || ::pipe2(stopPipe_, O_CLOEXEC) != 0)
        return;
    watch_ = ::inotify_add_watch(events_, QFile::encodeName(folder).constData(), IN_CREATE);
    if (watch_ >= 0)
        thread_ = std::thread([this] { run(); });
}

FolderWatch::~FolderWatch()
{
    stop();
    for (const int fd : {events_, stopPipe_[0], stopPipe_[1]})
        if (fd >= 0)
            ::close(fd);
}

QStringList FolderWatch::stop()
{
    if (thread_.joinable()) {
        (void)!::write(stopPipe_[1], "x", 1);
        thread_.join();
    }
    const QMutexLocker locked(&mutex_);
    return made_;
}

void FolderWatch::run()
{
    pollfd waited[] = {{events_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
    for (;;) {
        if (::poll(waited, 2, -1) < 0 && errno != EINTR)
            return;
        if (waited[0].revents & POLLIN)
            readEvents();
        if (waited[1].revents & POLLIN) {
            while (readEvents()) {
            }  // what was made before the stop, still queued
            return;
        }
    }
}

bool FolderWatch::readEvents()
{
    alignas(inotify_event) char buffer[16 * 1024];
    const ssize_t length = ::read(events_, buffer, sizeof buffer);
    if (length <= 0)
        return false;
    for (ssize_t at = 0; at < length;) {
        const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
        if (event->len > 0 && !(event->mask & IN_ISDIR)) {
            const QString name = QFile::decodeName(event->name);
            if (onMade_)
                onMade_(folder_ + QLatin1Char('/') + name);
            const QMutexLocker locked(&mutex_);
            made_.append(name);
        }
        at += ssize_t(sizeof(inotify_event) + event->len);
    }
    return true;
}
