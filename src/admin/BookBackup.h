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

// Replaces the book file of the open book by a checked copy of backupFile.
// The backup is copied and checked beside the book first; only then is the
// book closed and the copy renamed into its place, and the book opened again.
// On failure the book file is untouched and open is open on it again
// (unless even that fails). Empty on success, else the error.
QString restoreBook(db::Database &open, const QString &bookFile, const QString &backupFile);

} // namespace backup
