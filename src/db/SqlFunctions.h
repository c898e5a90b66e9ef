#pragma once

struct sqlite3;

namespace db {

// Registers the SQL functions the book's statements use:
// datediff('d', a, b) = whole days from date a to date b (b - a).
void registerSqlFunctions(sqlite3 *handle);

} // namespace db
