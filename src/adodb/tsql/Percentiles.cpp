#include "adodb/tsql/Percentiles.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "adodb/Error.h"

namespace adodb::tsql {
namespace {

struct Value {
  double number;
  bool whole;  // an integer: DISC gives it back as one
};

struct Partition {
  std::vector<Value> values;
  double share = -1;
  bool descending = false;
  bool sorted = true;
};

constexpr const char* kShareOutOfRange = "The PERCENTILE function's argument must be between 0.0 and 1.0.";

// The partition's state lives on the heap; SQLite's aggregate context holds the pointer.
Partition* PartitionOf(sqlite3_context* ctx, bool create) {
  auto** slot = static_cast<Partition**>(sqlite3_aggregate_context(ctx, create ? sizeof(Partition*) : 0));
  if (!slot) return nullptr;
  if (!*slot && create) *slot = new Partition;
  return *slot;
}

void Step(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Partition* p = PartitionOf(ctx, true);
  if (!p) return sqlite3_result_error_nomem(ctx);
  if (p->share < 0) {
    p->share = sqlite3_value_double(argv[0]);
    p->descending = sqlite3_value_int(argv[2]) != 0;
  }
  if (sqlite3_value_type(argv[1]) == SQLITE_NULL) return;
  p->values.push_back({sqlite3_value_double(argv[1]), sqlite3_value_type(argv[1]) == SQLITE_INTEGER});
  p->sorted = false;
}

void Inverse(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Partition* p = PartitionOf(ctx, true);
  if (!p || sqlite3_value_type(argv[1]) == SQLITE_NULL) return;
  const double number = sqlite3_value_double(argv[1]);
  const auto found = std::find_if(p->values.begin(), p->values.end(), [&](const Value& v) { return v.number == number; });
  if (found != p->values.end()) p->values.erase(found);
}

// Sorts once for all the rows of a partition that read it.
const std::vector<Value>& Ordered(Partition& p) {
  if (!p.sorted) {
    auto less = [](const Value& a, const Value& b) { return a.number < b.number; };
    if (p.descending) std::stable_sort(p.values.begin(), p.values.end(), [&](const Value& a, const Value& b) { return less(b, a); });
    else std::stable_sort(p.values.begin(), p.values.end(), less);
    p.sorted = true;
  }
  return p.values;
}

template <bool kContinuous>
void Result(sqlite3_context* ctx) {
  Partition* p = PartitionOf(ctx, false);
  if (!p || p->values.empty()) return sqlite3_result_null(ctx);
  if (p->share < 0 || p->share > 1 || std::isnan(p->share)) return sqlite3_result_error(ctx, kShareOutOfRange, -1);
  const std::vector<Value>& v = Ordered(*p);
  const double n = static_cast<double>(v.size());
  if (kContinuous) {
    const double row = p->share * (n - 1);
    const std::size_t below = static_cast<std::size_t>(std::floor(row)), above = static_cast<std::size_t>(std::ceil(row));
    const double fraction = row - std::floor(row);
    return sqlite3_result_double(ctx, v[below].number + (v[above].number - v[below].number) * fraction);
  }
  const std::size_t index = p->share <= 0 ? 0 : static_cast<std::size_t>(std::ceil(p->share * n)) - 1;
  const Value& found = v[std::min(index, v.size() - 1)];
  if (found.whole) return sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(found.number));
  sqlite3_result_double(ctx, found.number);
}

template <bool kContinuous>
void Final(sqlite3_context* ctx) {
  Result<kContinuous>(ctx);
  if (Partition* p = PartitionOf(ctx, false)) delete p;
}

}  // namespace

void RegisterPercentiles(sqlite3* db) {
  constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
  if (sqlite3_create_window_function(db, "tsql_percentile_cont", 3, flags, nullptr, Step, Final<true>, Result<true>,
                                     Inverse, nullptr) != SQLITE_OK ||
      sqlite3_create_window_function(db, "tsql_percentile_disc", 3, flags, nullptr, Step, Final<false>, Result<false>,
                                     Inverse, nullptr) != SQLITE_OK)
    throw Error::Provider(std::string("Registering PERCENTILE_CONT failed: ") + sqlite3_errmsg(db));
}

}  // namespace adodb::tsql
