#include "adodb/tsql/AverageAggregate.h"

#include <sqlite3.h>

#include <cstdint>
#include <string>

#include "adodb/Error.h"
#include "adodb/TextCompare.h"

namespace adodb::tsql {
namespace {

// What the schema says of the columns of one name.
enum class ValueType : int { FromValues, Decimal, Whole };

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

// The mean's type for a column of this name in the schema: Whole when every table holding such a
// column declares it a whole-number type, Decimal when every one declares another numeric type,
// FromValues otherwise (no such column, text, or tables that disagree).
ValueType DeclaredType(sqlite3* db, const char* column) {
  constexpr const char* kQuery =
      "select p.type from (select name from sqlite_schema where type = 'table' union all "
      "select name from sqlite_temp_schema where type = 'table') s, pragma_table_info(s.name) p "
      "where p.name = ?1 collate nocase";
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, kQuery, -1, &stmt, nullptr) != SQLITE_OK) return ValueType::FromValues;
  sqlite3_bind_text(stmt, 1, column, -1, SQLITE_STATIC);
  int wholes = 0, decimals = 0, others = 0;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    const auto* declared = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    const std::string type = declared ? LowerName(declared) : "";
    if (type.find("int") != std::string::npos || type == "bit") ++wholes;
    else if (type.rfind("decimal", 0) == 0 || type.rfind("numeric", 0) == 0 || type.find("money") != std::string::npos ||
             type == "float" || type == "real" || type.rfind("double", 0) == 0)
      ++decimals;
    else ++others;
  }
  sqlite3_finalize(stmt);
  if (others > 0 || (wholes > 0) == (decimals > 0)) return ValueType::FromValues;
  return wholes > 0 ? ValueType::Whole : ValueType::Decimal;
}

// tsql_avg_value(x, column): x, a whole number as a decimal when the column is declared decimal.
// The schema is read once per statement.
void AverageValue(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const auto* cached = static_cast<const ValueType*>(sqlite3_get_auxdata(ctx, 1));
  ValueType type = cached ? *cached : ValueType::FromValues;
  if (!cached) {
    const auto* column = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    if (column) type = DeclaredType(sqlite3_context_db_handle(ctx), column);
    sqlite3_set_auxdata(ctx, 1, new ValueType(type), [](void* p) { delete static_cast<ValueType*>(p); });
  }
  if (type == ValueType::Decimal && sqlite3_value_type(argv[0]) == SQLITE_INTEGER)
    return sqlite3_result_double(ctx, static_cast<double>(sqlite3_value_int64(argv[0])));
  sqlite3_result_value(ctx, argv[0]);
}

}  // namespace

void RegisterAverageAggregate(sqlite3* db) {
  constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
  if (sqlite3_create_window_function(db, "tsql_avg", 1, flags | SQLITE_INNOCUOUS, nullptr, Step, Result, Result, Inverse,
                                     nullptr) != SQLITE_OK ||
      sqlite3_create_function_v2(db, "tsql_avg_value", 2, flags, nullptr, AverageValue, nullptr, nullptr, nullptr) !=
          SQLITE_OK)
    throw Error::Provider(std::string("Registering AVG failed: ") + sqlite3_errmsg(db));
}

}  // namespace adodb::tsql
