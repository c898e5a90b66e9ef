#pragma once

#include <QString>

namespace db {

// Creates a new, keyed account book at path from the schema and its default
// rows. The book is built in a temporary file beside path and renamed into
// place, so path never holds half a book. Returns an empty text on success,
// else the error.
QString createBook(const QString &path);

} // namespace db
