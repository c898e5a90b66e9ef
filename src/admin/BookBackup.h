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

// Empty when backupFile may replace the book at bookFile: an account book
// (its tables, opened with the book key) that reads back whole, and not the
// book's own file. Else the reason in the clerk's words; a damaged backup is
// named as such, with the book unchanged.
QString checkBackup(const QString &bookFile, const QString &backupFile);

// Replaces the book file of the open book by a checked copy of backupFile,
// under the book's own lock: another computer reading or writing the book
// makes it wait and then refuse, its work untouched, and open stays open. On
// any other failure the book file is unchanged as well and open is open on it
// again (unless even that fails). Empty on success, else the reason.
QString restoreBook(db::Database &open, const QString &bookFile, const QString &backupFile);

} // namespace backup
