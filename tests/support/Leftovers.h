#pragma once

#include <QString>
#include <QStringList>

// Files left by writes cut off at some time in the past, for the tests of
// what the program clears away and what it must keep.
namespace leftovers {

// Writes a small file at path and sets its times of last change and access
// hoursAgo back (0: now, as a file another process is still writing).
void leave(const QString &path, int hoursAgo);

// A file a write left hoursAgo, and whether the program's cleanup must
// remove it.
struct Left {
    QString path;
    int hoursAgo;
    bool removed;
};
// Leaves the file of every case.
void leave(const QList<Left> &cases);
// Checks that the files of the cases to be removed are gone and the others stay.
void expectRemovedAsTold(const QList<Left> &cases);

// The names of the files in folder that carry the program's staging mark:
// whatever a write staged and left there.
QStringList stagingIn(const QString &folder);

} // namespace leftovers
