#pragma once

#include <QFile>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// A FIFO that no one writes: whoever opens or reads it without care waits for
// a writer for good. So that such a wait fails its test instead of hanging the
// test run, a guard plays the late writer once a generous deadline has passed
// (opening and closing the write end ends the reader's wait with an empty
// read) and remembers that it had to.
class WriterlessFifo {
public:
    explicit WriterlessFifo(const QString &path, std::chrono::seconds deadline = std::chrono::seconds(30))
        : path_(path)
    {
        made_ = ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
        if (made_)
            guard_ = std::thread([this, deadline] { guard(deadline); });
    }
    ~WriterlessFifo()
    {
        finish();
        QFile::remove(path_);
    }
    WriterlessFifo(const WriterlessFifo &) = delete;
    WriterlessFifo &operator=(const WriterlessFifo &) = delete;

    bool made() const { return made_; }
    // Stops the guard; true when someone was still waiting on the FIFO when
    // the deadline passed.
    bool finish()
    {
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
        }
        woken_.notify_all();
        if (guard_.joinable())
            guard_.join();
        return waitedFor_;
    }

private:
    void guard(std::chrono::seconds deadline)
    {
        std::unique_lock lock(mutex_);
        if (woken_.wait_for(lock, deadline, [this] { return finished_; }))
            return;
        waitedFor_ = true;
        // Keep ending the reader's wait until the test is done with the FIFO.
        while (!woken_.wait_for(lock, std::chrono::milliseconds(100), [this] { return finished_; })) {
            const int fd = ::open(QFile::encodeName(path_).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        }
    }

    QString path_;
    bool made_ = false;
    bool finished_ = false;
    bool waitedFor_ = false;
    std::mutex mutex_;
    std::condition_variable woken_;
    std::thread guard_;
};
