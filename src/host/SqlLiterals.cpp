#include "host/SqlLiterals.h"

#include "adodb/Variant.h"

namespace storeadjust {

std::string QuoteSql(const std::string& text) {
  std::string quoted;
  quoted.reserve(text.size());
  for (char c : text) {
    if (c == '\'') {
      quoted += "''";
    } else {
      quoted += c;
    }
  }
  return quoted;
}

std::string SqlText(const std::string& text) { return "'" + QuoteSql(text) + "'"; }

std::string SqlNumber(double value) { return adodb::FormatNumber(value); }

}  // namespace storeadjust
