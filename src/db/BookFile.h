#pragma once

#include <QString>

namespace db {

// Creates a new, keyed account book at path from the schema and its default
// rows. The book is built in a temporary file beside path and renamed into
// place, so path never holds half a book. Returns an empty text on success,
// else the error.
QString createBook(const QString &path);

class Database;

// Empty when the open database holds an account book's tables (the operators
// TE1 and the goods TA4, which every book has had since its first version),
// else why it is no account book. An empty file or a keyed database without
// tables opens like a book; this tells them apart.
QString accountBookError(Database &book);

} // namespace db

namespace db {

// Writes a compacted, keyed copy of the book at source into target (through a
// temporary file in target's folder that is checked — opens with the key,
// passes the structure check, its theVer table is readable — and then renamed
// into place). Returns an empty text on success, else the error.
QString compactCopy(const QString &source, const QString &target);

} // namespace db
