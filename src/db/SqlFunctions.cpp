#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "DateText.h"
#include "SqlFunctions.h"

namespace db {

namespace {

QDate argumentDate(sqlite3_value *value)
{
    if (sqlite3_value_type(value) == SQLITE_NULL)
        return {};
    const auto *chars = reinterpret_cast<const char *>(sqlite3_value_text(value));
    return parseDate(QString::fromUtf8(chars ? chars : ""));
}

// datediff(unit, a, b): only the unit 'd' (days) is used by the book's statements.
void datediffFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    if (argc != 3) {
        sqlite3_result_error(context, "datediff takes three arguments", -1);
        return;
    }
    const auto *unit = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    if (!unit || (unit[0] != 'd' && unit[0] != 'D') || unit[1] != '\0') {
        sqlite3_result_error(context, "datediff: only the unit 'd' is supported", -1);
        return;
    }
    const QDate a = argumentDate(argv[1]);
    const QDate b = argumentDate(argv[2]);
    if (!a.isValid() || !b.isValid()) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_int64(context, a.daysTo(b));
}

} // namespace

void registerSqlFunctions(sqlite3 *handle)
{
    sqlite3_create_function_v2(handle, "datediff", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               datediffFunction, nullptr, nullptr, nullptr);
}

} // namespace db
