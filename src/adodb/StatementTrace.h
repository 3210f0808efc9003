#pragma once
// What the embedded backend hands to a statement trace: each statement it runs, as SQLite got
// it (the translated text with its numbered ? marks), and the values bound to those marks. A
// benchmark replays them raw, prepared once per text and bound the same way, as a hand-written
// program would send them.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace adodb {

// A value in the form it is bound to SQLite (sqlite3_bind_null / int64 / double / text).
struct SqliteValue {
  enum class Kind { Null, Integer, Real, Text } kind = Kind::Null;
  std::int64_t integer = 0;
  double real = 0;
  std::string text;
};

// Called once the statement's values are bound, before it runs; values[i] is bound to mark i+1.
using StatementTrace = std::function<void(std::string_view sql, const std::vector<SqliteValue>& values)>;

}  // namespace adodb
