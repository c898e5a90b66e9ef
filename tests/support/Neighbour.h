#pragma once

#include <QString>
#include <QStringList>

#include <sys/types.h>

// A colleague who shares a folder open to the group (without the sticky bit)
// and, as another user, swaps each name made in it for a symbolic link to
// another file the moment the name appears: a process of its own, run as
// "nobody". Needs the superuser (to become that user) and a folder that user
// may write.
class Neighbour {
public:
    // Swaps every file made in folder, except those named in spared, for a
    // link to pointTo, each name once.
    Neighbour(const QString &folder, const QString &pointTo, const QStringList &spared);
    // Stops the process.
    ~Neighbour();
    Neighbour(const Neighbour &) = delete;
    Neighbour &operator=(const Neighbour &) = delete;

    // False when the process could not be started as another user.
    bool started() const { return child_ > 0; }
    // How many names it has swapped so far, as far as it has told.
    int swapped();

private:
    void end();

    pid_t child_ = -1;
    int reports_ = -1;  // one byte for each name swapped
    int stop_ = -1;     // closed to stop the process
    int swapped_ = 0;
};
