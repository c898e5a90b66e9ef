#pragma once

#include "EngineFailure.h"

#include <QString>

#include <functional>

namespace db {

// Creates a new, keyed account book at path from the schema and its default
// rows. The book is built in a staging file beside path and put there only
// while path is free, so path never holds half a book and a file that took
// the name meanwhile (another computer's new book) keeps its bytes: that is
// refused with nameTakenReason(). Returns an empty text on success, else the
// error.
QString createBook(const QString &path);

class Database;

// Empty when the open database holds an account book's tables (the operators
// TE1 and the goods TA4, which every book has had since its first version)
// and nothing the program never makes (a trigger or a view), else why it is
// no account book. An empty file or a keyed database without tables opens
// like a book; this tells them apart.
QString accountBookError(Database &book);

} // namespace db

namespace db {

// Writes a compacted, keyed copy of the book at source as a new book at target
// (through a staging file in target's folder that is checked — opens with the
// key, passes the structure check, its theVer table is readable — and then
// put at target while target is free, as createBook puts a new book, open to
// no one the source is closed to). Returns an empty text on success, else the
// error.
QString compactCopy(const QString &source, const QString &target);

// Empty when the book file at path reads back whole: it opens with the key,
// every page passes the structure check and its theVer table is readable.
// Else the reason; kind, when given, receives its kind (Failure::Damaged for
// a damaged page or a file cut short).
QString checkBook(const QString &path, Failure *kind = nullptr);

// Opens book on the book file at path for reading only, as checkBook checks
// it, in a read transaction that keeps the file as it was checked until book
// is closed: what is then copied from book is what was checked. Empty when
// the file reads back whole (book is left open), else the reason with its
// kind in kind (book is closed).
QString openCheckedBook(Database &book, const QString &path, Failure *kind = nullptr);

} // namespace db

namespace db {

class StagedFile;

// Reports a copy's progress: bytes copied so far of all bytes.
using CopyProgress = std::function<void(qint64 copied, qint64 total)>;
// Puts the checked copy staged in target's place, as replaceFile does (which
// it may call once it has made room, giving the copy's source as closedAs):
// empty on success, else the reason; staged goes with its object.
using PublishCopy = std::function<QString(StagedFile &staged, const QString &target)>;

// Writes a copy of the book at source into target: its file as it lies, read
// under a read transaction of the book (so the copy is one committed state of
// it, while other connections go on reading), into the one staging file of
// this write beside target, which is checked like a compacted copy and then
// put in place by publish (replaceFile when none is given), open to no one
// the source is closed to. A lock of another connection is waited for as long
// as any statement waits. Returns an empty text on success, else the reason;
// busy, when given, tells whether the reason is such a lock.
QString copyBook(const QString &source, const QString &target, const CopyProgress &progress = {},
                 bool *busy = nullptr, const PublishCopy &publish = {});

} // namespace db
