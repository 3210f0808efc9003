#pragma once
// A column the server names nothing, where SQLite would name it anew: the columns of a UNION
// member limited by TOP are read through a select of * over it, and SQLite gives two nameless
// ones there the names "" and ":1". The translator marks each such column with a name of its
// own, and the backends read the mark as no name.
#include <string>
#include <string_view>

namespace adodb::tsql {

inline constexpr std::string_view kUnnamedColumnMark = "tsql_unnamed_";

inline std::string UnnamedColumnMark(std::size_t place) { return std::string(kUnnamedColumnMark) + std::to_string(place); }

// The name a result column has on the server: none for a column the translator marked.
inline std::string ServerColumnName(std::string_view name) {
  return name.starts_with(kUnnamedColumnMark) ? std::string() : std::string(name);
}

}  // namespace adodb::tsql
