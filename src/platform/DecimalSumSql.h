#pragma once

struct sqlite3;

namespace numtext {

// Makes decimal_sum(x) callable in the statements of the connection: the sum
// of the non-null values of x added as DecimalSum adds them, Null when there
// are none. Sums that are shown (a report's movements, a printed summary) use
// it in place of sum(), whose plain additions leave binary noise in the last
// shown digits. Registering it again on the same connection is harmless.
void registerDecimalSum(sqlite3 *handle);

// Makes decimal_value(x) callable in the statements of the connection: x at
// the 15 significant digits its text shows (roundSignificant), Null as Null.
// Conditions on computed figures compare them so: (0.3 - 0.2) reads 0.1 and
// equals 0.1. Registering it again on the same connection is harmless.
void registerDecimalValue(sqlite3 *handle);

} // namespace numtext
