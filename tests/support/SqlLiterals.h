#pragma once
// Literals for the tests' own checking and setup statements, which are written as text to read
// like what a clerk's database holds. The module itself binds its values.
#include <string>

#include "adodb/Variant.h"

namespace storeadjust {

// The text with every single quote doubled: O'Neil -> O''Neil.
inline std::string QuoteSql(const std::string& text) {
  std::string quoted;
  for (char c : text) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  return quoted;
}

inline std::string SqlText(const std::string& text) { return "'" + QuoteSql(text) + "'"; }

inline std::string SqlNumber(double value) { return adodb::FormatNumber(value); }

}  // namespace storeadjust
