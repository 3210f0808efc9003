#pragma once
// A name or a text between quote characters, each quote inside written twice, as SQLite reads it:
// '"' for a table's or column's name, '\'' for a text.
#include <string>
#include <string_view>

namespace adodb::tsql {

inline std::string QuotedName(std::string_view name, char quote) {
  std::string quoted(1, quote);
  for (const char c : name) {
    if (c == quote) quoted += quote;
    quoted += c;
  }
  return quoted += quote;
}

}  // namespace adodb::tsql
