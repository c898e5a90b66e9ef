#pragma once

#include "db/Database.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <ostream>

class QProcess;

// Ways a book file fails, made for real: the engine's own failures, not
// imitations of their texts.
namespace faults {

// A file of text, no database at all.
QString makeJunkFile(const QString &path);
// A database keyed with another password, holding a table.
QString makeOtherKeyBook(const QString &path);
// Fills the book at path with rows enough for many pages, so a page in its
// middle holds rows and not the schema.
void growBook(db::Database &book);
// Copies the book at source to target with bytes flipped in a page in the
// middle of the file.
QString makeDamagedCopy(const QString &source, const QString &target);
// Copies the first half of the book at source to target, as a copy cut off.
QString makeCutCopy(const QString &source, const QString &target);

// Which file lies at a path and what it holds: equal only for the same file
// (inode) with the same bytes.
struct FileState {
    quint64 inode = 0;
    QByteArray bytes;
    bool operator==(const FileState &other) const { return inode == other.inode && bytes == other.bytes; }
};
FileState stateOf(const QString &path);
void PrintTo(const FileState &state, std::ostream *out);

// Statements wait this short for another connection's lock while alive.
class ShortBusyWait {
public:
    ShortBusyWait() { db::Database::setBusyTimeout(50); }
    ~ShortBusyWait() { db::Database::setBusyTimeout(10000); }
};

// A second connection (another computer) in the middle of a write: its
// journal beside the book, other writers kept out (Writing), or while it
// writes the book's file, readers too (Committing).
class WriteLock {
public:
    enum class Stage { Writing, Committing };
    explicit WriteLock(const QString &bookPath, Stage stage = Stage::Writing);
    ~WriteLock();
    bool held() const { return held_; }

private:
    db::Database other_;
    bool held_ = false;
};

// Another computer at work on a book: a second process (the engine's own
// command-line program) with its own connection, so that its locks are
// another process's record locks, as another computer's are. It waits for
// no lock; a transaction left open is rolled back when it ends.
class OtherComputer {
public:
    explicit OtherComputer(const QString &bookPath);
    ~OtherComputer();
    bool started() const { return started_; }
    // Runs sql there and waits until it has run: empty when every statement
    // ran, else the engine's messages.
    QString run(const QString &sql);

private:
    std::unique_ptr<QProcess> process_;
    bool started_ = false;
    int round_ = 0;
};

// A file or folder that the test's user cannot write: mode bits for an
// ordinary user, the immutable flag for root (who ignores the mode).
// works() is false where neither can be had.
class Unwritable {
public:
    explicit Unwritable(const QString &path);
    ~Unwritable();
    bool works() const { return works_; }

private:
    QString path_;
    bool works_ = false;
    bool immutable_ = false;
};

// A small file system of its own (a tmpfs mounted at a folder) that a test
// can fill up. mounted() is false where mounting is not allowed.
class SmallDisk {
public:
    explicit SmallDisk(const QString &folder, int kilobytes = 4096);
    ~SmallDisk();
    bool mounted() const { return mounted_; }
    QString folder() const { return folder_; }
    // Takes every free byte; free() gives them back.
    void fill();
    void free();

private:
    QString folder_;
    bool mounted_ = false;
};

} // namespace faults
