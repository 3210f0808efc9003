#pragma once
// How values are written into statement text. The module's statements bind their values as ?
// marks instead (adodb/BoundValues.h); QuoteSql is left for SubstituteTemplateValue
// (host/SelectTemplates.h), which writes values into a site's stored statements, and SqlText and
// SqlNumber for the engines and tests that still write values in until they bind theirs too.
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
