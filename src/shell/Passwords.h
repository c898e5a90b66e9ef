#pragma once

#include <QString>

// Operator passwords (TE1.F3) are stored as salted PBKDF2 hashes. The empty
// text (or Null) means "no password" and matches only an empty entry, so the
// default operator "001" logs in with an empty box.
namespace passwords {

// The text to store for a password the operator chose: "" for an empty one.
QString storedForm(const QString &plain);
// Whether typed matches the stored text (a hash, or a plain text of an older
// book). A hash is worked at the iteration count stored with it, from 1 up to
// storedForm's own count: hashes stored before the count was raised still
// match. A larger or unreadable count never matches.
bool matches(const QString &stored, const QString &typed);
// Whether stored holds a hash made by storedForm.
bool isHashed(const QString &stored);

} // namespace passwords
