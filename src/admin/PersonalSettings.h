#pragma once

#include <QString>
#include <optional>

namespace db {
class Database;
}

// What an operator keeps for themselves: the note, the password, the big
// caption of the main window's background and an own background picture.
namespace personal {

// The note text of operator code ("" when none or no row).
QString readNote(db::Database &db, const QString &code);
// The note as it is stored: apostrophes become the typographic "’".
QString storedNote(const QString &text);
bool saveNote(db::Database &db, const QString &code, const QString &storedText);

// The caption as it is stored: trimmed, apostrophes typographic, one leading blank.
QString storedCaption(const QString &text);
bool saveCaption(db::Database &db, const QString &code, const QString &storedText);

enum class PasswordOutcome { Changed, Mismatch, WrongOld, Failed };

struct PasswordChange {
    PasswordOutcome outcome;
    QString error;  // Failed: the database's text
};

// Replaces the password of code with newPassword when the two new entries
// agree and oldPassword matches the stored one. An empty new password removes
// the password. The new one is stored salted and hashed.
PasswordChange changePassword(db::Database &db, const QString &code, const QString &oldPassword,
                              const QString &newPassword, const QString &confirmation);

// The operator's own background picture in the data folder; empty for a
// code that cannot name a file there (operatorPicturePath).
QString ownPicturePath(const QString &appPath, const QString &code);
QString defaultPicturePath(const QString &appPath);

// Copies source over the operator's picture (written whole beside it, then
// put in place durably). The error text in the clerk's words, or nullopt on success.
std::optional<QString> setOwnPicture(const QString &appPath, const QString &code, const QString &source);
// Removes the operator's picture, so the default background is shown; one
// that is not there counts as removed. The error text in the clerk's words, or
// nullopt on success.
std::optional<QString> removeOwnPicture(const QString &appPath, const QString &code);

} // namespace personal
