#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "DecimalSumSql.h"

#include "NumberText.h"

namespace numtext {

namespace {

// The state of one decimal_sum, in the memory SQLite zeroes for it.
struct SumState {
    double total;
    bool any;
};

void decimalSumStep(sqlite3_context *context, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return;
    auto *state = static_cast<SumState *>(sqlite3_aggregate_context(context, sizeof(SumState)));
    if (!state) {
        sqlite3_result_error_nomem(context);
        return;
    }
    state->total = addDecimal(state->total, sqlite3_value_double(argv[0]));
    state->any = true;
}

void decimalSumFinal(sqlite3_context *context)
{
    // Asking for no bytes gives the step's state, or null when no step ran.
    const auto *state = static_cast<const SumState *>(sqlite3_aggregate_context(context, 0));
    if (state && state->any)
        sqlite3_result_double(context, state->total);
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

void registerDecimalSum(sqlite3 *handle)
{
    if (handle)
        sqlite3_create_function_v2(handle, "decimal_sum", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, nullptr,
                                   decimalSumStep, decimalSumFinal, nullptr);
}

void registerDecimalValue(sqlite3 *handle)
{
    if (handle)
        sqlite3_create_function_v2(handle, "decimal_value", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                   decimalValue, nullptr, nullptr, nullptr);
}

} // namespace numtext
