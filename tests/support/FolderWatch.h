#pragma once

#include <QMutex>
#include <QString>
#include <QStringList>

#include <functional>
#include <thread>

// Watches a folder, from a thread of its own, for the files made in it while
// the object lives: what a write stages there, however briefly.
class FolderWatch {
public:
    // Calls onMade (when given) with the path of every file made in folder,
    // from the watching thread, as soon as the file is there.
    explicit FolderWatch(const QString &folder, std::function<void(const QString &path)> onMade = {});
    ~FolderWatch();
    FolderWatch(const FolderWatch &) = delete;
    FolderWatch &operator=(const FolderWatch &) = delete;

    // False when the system cannot watch the folder.
    bool watching() const { return watch_ >= 0; }
    // Stops watching (whatever was made so far having been seen) and gives
    // the names of the files made, in order.
    QStringList stop();

private:
    void run();
    bool readEvents();

    QString folder_;
    std::function<void(const QString &)> onMade_;
    int events_ = -1;
    int watch_ = -1;
    int stopPipe_[2] = {-1, -1};
    QMutex mutex_;
    QStringList made_;
    std::thread thread_;
};
