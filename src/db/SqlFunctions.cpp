#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "DateText.h"
#include "DecimalSum.h"
#include "SqlFunctions.h"

#include <memory>
#include <new>

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

// The state of one decimal_sum.
struct SumState {
    bool any;
    DecimalSum sum;
};

// The state in the memory SQLite zeroes for one decimal_sum, aligned within
// it (SQLite aligns to 8 bytes, the total's 128-bit integer needs 16); null
// when there is none yet and create is false, or no memory.
SumState *sumState(sqlite3_context *context, bool create)
{
    std::size_t space = sizeof(SumState) + alignof(SumState);
    void *memory = sqlite3_aggregate_context(context, create ? int(space) : 0);
    return memory ? static_cast<SumState *>(std::align(alignof(SumState), sizeof(SumState), memory, space)) : nullptr;
}

void decimalSumStep(sqlite3_context *context, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return;
    SumState *state = sumState(context, true);
    if (!state) {
        sqlite3_result_error_nomem(context);
        return;
    }
    if (!state->any) {
        new (&state->sum) DecimalSum;
        state->any = true;
    }
    state->sum.add(sqlite3_value_double(argv[0]));
}

void decimalSumFinal(sqlite3_context *context)
{
    // Asking for no bytes gives the step's state, or null when no step ran.
    const SumState *state = sumState(context, false);
    if (state && state->any)
        sqlite3_result_double(context, state->sum.value());
    else
        sqlite3_result_null(context);
}

void decimalValue(sqlite3_context *context, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        sqlite3_result_null(context);
    else
        sqlite3_result_double(context, roundSignificant(sqlite3_value_double(argv[0])));
}

} // namespace

void registerSqlFunctions(sqlite3 *handle)
{
    if (!handle)
        return;
    sqlite3_create_function_v2(handle, "datediff", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               datediffFunction, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(handle, "decimal_sum", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, nullptr,
                               decimalSumStep, decimalSumFinal, nullptr);
    sqlite3_create_function_v2(handle, "decimal_value", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               decimalValue, nullptr, nullptr, nullptr);
}

} // namespace db
