#pragma once
// How values are written into statement text. Every text value that goes into a statement
// passes through QuoteSql (directly or through SqlText), so a quote typed by the user can never
// end a literal early. Numbers go in unquoted as plain decimal text.
#include <string>

namespace storeadjust {

// The text with every single quote doubled: O'Neil -> O''Neil. Empty text stays empty.
std::string QuoteSql(const std::string& text);

// A complete text literal: the quoted text between single quotes ('O''Neil').
std::string SqlText(const std::string& text);

// A number as statements take it: at most 15 significant digits, "." whatever the locale, no
// exponent (0.1 + 0.2 -> "0.3").
std::string SqlNumber(double value);

}  // namespace storeadjust
