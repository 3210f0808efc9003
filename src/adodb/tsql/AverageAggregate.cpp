#include "adodb/tsql/AverageAggregate.h"

#include <sqlite3.h>

#include <cstdint>
#include <string>

#include "adodb/Error.h"

namespace adodb::tsql {
namespace {

// The running state of one group or window frame. Fractional values are counted apart, so that
// the mean goes back to whole numbers once they leave a sliding frame.
struct Average {
  std::int64_t wholeSum;
  double fractionalSum;
  std::int64_t count;
  std::int64_t fractionalCount;
  bool overflow;
};

Average* State(sqlite3_context* ctx, bool create) {
  return static_cast<Average*>(sqlite3_aggregate_context(ctx, create ? static_cast<int>(sizeof(Average)) : 0));
}

// Adds (sign 1) or removes (sign -1) one value.
void Apply(sqlite3_context* ctx, sqlite3_value* v, int sign) {
  const int type = sqlite3_value_type(v);
  if (type == SQLITE_NULL) return;
  if (type != SQLITE_INTEGER && type != SQLITE_FLOAT)
    return sqlite3_result_error(ctx, "Operand data type varchar is invalid for avg operator.", -1);
  Average* a = State(ctx, true);
  if (!a) return sqlite3_result_error_nomem(ctx);
  a->count += sign;
  if (type == SQLITE_FLOAT) {
    a->fractionalSum += sign * sqlite3_value_double(v);
    a->fractionalCount += sign;
    return;
  }
  const std::int64_t value = sqlite3_value_int64(v);
  const bool overflow = sign > 0 ? __builtin_add_overflow(a->wholeSum, value, &a->wholeSum)
                                 : __builtin_sub_overflow(a->wholeSum, value, &a->wholeSum);
  a->overflow = a->overflow || overflow;
}

void Step(sqlite3_context* ctx, int, sqlite3_value** argv) { Apply(ctx, argv[0], 1); }
void Inverse(sqlite3_context* ctx, int, sqlite3_value** argv) { Apply(ctx, argv[0], -1); }

void Result(sqlite3_context* ctx) {
  const Average* a = State(ctx, false);
  if (!a || a->count == 0) return sqlite3_result_null(ctx);
  if (a->overflow)
    return sqlite3_result_error(ctx, "Arithmetic overflow error converting expression to data type bigint.", -1);
  if (a->fractionalCount == 0) return sqlite3_result_int64(ctx, a->wholeSum / a->count);
  sqlite3_result_double(ctx, (static_cast<double>(a->wholeSum) + a->fractionalSum) / static_cast<double>(a->count));
}

}  // namespace

void RegisterAverageAggregate(sqlite3* db) {
  constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
  if (sqlite3_create_window_function(db, "tsql_avg", 1, flags | SQLITE_INNOCUOUS, nullptr, Step, Result, Result, Inverse,
                                     nullptr) != SQLITE_OK)
    throw Error::Provider(std::string("Registering AVG failed: ") + sqlite3_errmsg(db));
}

}  // namespace adodb::tsql
