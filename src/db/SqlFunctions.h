#pragma once

struct sqlite3;

namespace db {

// Registers the SQL functions of the program's statements on a connection;
// every connection the program opens gets them (Database::open):
// - datediff('d', a, b): whole days from date a to date b (b - a).
// - decimal_sum(x): the sum of the non-null values of x added as DecimalSum
//   adds them, Null when there are none. Sums that are shown (a report's
//   movements, a printed summary) use it in place of sum(), whose plain
//   additions leave binary noise in the last shown digits.
// - decimal_value(x): x at the 15 significant digits its text shows, Null as
//   Null. Conditions on computed figures compare them so: (0.3 - 0.2) reads
//   0.1 and equals 0.1.
// Registering them again on the same connection is harmless.
void registerSqlFunctions(sqlite3 *handle);

} // namespace db
