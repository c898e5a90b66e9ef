#pragma once

#include <QString>

namespace db {
class Database;
}

// A book's backup cycle (its "bak.set" beside the program), the manual
// backup and the restore of a book from a backup file.
namespace backup {

inline const QString kNoBackupYet = QStringLiteral("还没有备份记录");

struct CycleSettings {
    bool exists = false;
    QString cycleText;       // line 1 as a number text ("" without a file)
    QString lastAutoBackup;  // line 2, or kNoBackupYet
    QString failure;         // why an existing file could not be read, naming it
};

CycleSettings readCycle(const QString &settingsPath);
// The leading number of text rounded half to even; below 0 gives 0.
int cycleDays(const QString &text);
// Writes line 1 the cycle, line 2 lastAutoBackup, whole or not at all.
// failure, when given, receives the reason of a failed write.
bool writeCycle(const QString &settingsPath, int cycle, const QString &lastAutoBackup, QString *failure = nullptr);

// A checked, keyed copy of the book at bookFile in target (never over an
// existing file). Empty on success, else the reason; busy, when given, tells
// whether another user's lock on the book is the reason.
QString backupBook(const QString &bookFile, const QString &target, bool *busy = nullptr);

// Opens backup on backupFile for a restore of the book at bookFile, once it
// may replace the book: an account book (its tables, opened with the book
// key) that reads back whole, and not the book's own file. It stays as it
// was checked while backup is open. Empty on success, else the reason in the
// clerk's words (backup closed); a damaged backup is named as such, with the
// book unchanged.
QString openBackup(db::Database &backup, const QString &bookFile, const QString &backupFile);

// Writes the checked backup into the book file of the open book, in the
// book's own file (db::overwriteBook): another computer reading or writing
// the book makes it wait and then refuse, its work untouched; another
// computer that keeps the book open reads the restored book at its next read.
// open stays open (it is opened on bookFile when it is not) and reads the
// restored book. On any failure the book file is unchanged and open is open
// on it (unless even that fails). backup is closed. Empty on success, else
// the reason.
QString restoreBook(db::Database &open, const QString &bookFile, db::Database &backup);
// Both steps in one: the backup at backupFile checked, then written into the book.
QString restoreBook(db::Database &open, const QString &bookFile, const QString &backupFile);

} // namespace backup
