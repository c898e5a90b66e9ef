#pragma once

#include <QString>

// An account book damaged at its start does not read as a book at all: the
// engine reads every page through the first one. These tell such a book
// from a file that never was one.
namespace db {

// Whether the file at path is too short to hold a book's first page: empty,
// or a copy cut short within it.
bool isTooShortForABook(const QString &path);

// Whether the second page of the file at path reads back with the book key,
// although the file does not open as a book: its first page alone is
// damaged. A file of another key, or no database at all, has no such page.
bool secondPageReadsWithBookKey(const QString &path);

} // namespace db
