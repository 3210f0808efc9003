#pragma once
// Reading the arguments of the SQL Server functions registered with SQLite, and SQL Server's words
// for arguments that do not convert.
#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace adodb::tsql {

inline constexpr const char* kTextIsNoDate = "Conversion failed when converting date and/or time from character string.";
inline constexpr const char* kIntOverflow = "Arithmetic overflow error converting expression to data type int.";
inline constexpr const char* kNumericError = "Error converting data type varchar to numeric.";
inline constexpr const char* kFloatError = "Error converting data type varchar to float.";
inline constexpr const char* kMoneyError = "Cannot convert a char value to money. The char value has incorrect syntax.";

// The argument's text, as long as SQLite holds it (valid until the argument changes type).
inline std::string_view TextOf(sqlite3_value* v) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
  return text ? std::string_view(text, static_cast<std::size_t>(sqlite3_value_bytes(v))) : std::string_view();
}

// Text to a whole number as SQL Server converts it to int: blanks around a signed whole number;
// blank text is 0. False for other text.
bool ParseIntText(std::string_view text, std::int64_t& out);

// Text to a decimal or float value: blanks around a plain decimal number, nothing else (blank text
// is no number here).
bool ParseDecimalText(std::string_view text, double& out);

// Text to float or money as SQL Server converts it: as ParseDecimalText, blank text being 0 (as to
// int).
bool ParseFloatText(std::string_view text, double& out);

// Text as SQL Server converts it to bit: TRUE and FALSE, or a whole number, any but 0 being 1;
// blank text is 0, as to int. Other text is the server's conversion error.
void ResultBitText(sqlite3_context* ctx, std::string_view text);

inline void ResultIntConversionError(sqlite3_context* ctx, std::string_view text) {
  const std::string message =
      "Conversion failed when converting the varchar value '" + std::string(text) + "' to data type int.";
  sqlite3_result_error(ctx, message.c_str(), -1);
}

// Most functions give NULL when any argument is NULL.
inline bool AnyNull(int argc, sqlite3_value** argv) {
  for (int i = 0; i < argc; ++i)
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
  return false;
}

}  // namespace adodb::tsql
