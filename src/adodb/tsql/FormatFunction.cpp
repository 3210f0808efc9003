#include "adodb/tsql/FormatFunction.h"

#include <sqlite3.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "adodb/Error.h"
#include "adodb/TextCompare.h"
#include "adodb/tsql/DateText.h"
#include "adodb/tsql/SqliteArguments.h"

namespace adodb::tsql {
namespace {

// Thrown inside the function for a pattern the embedded database does not format.
struct UnsupportedPattern {};
// Thrown for a pattern .NET itself rejects: SQL Server's FORMAT then gives NULL.
struct RejectedPattern {};

// ---- numbers -----------------------------------------------------------------------------------

// A number as decimal digits: the whole part without leading zeros ("" for zero) and the fraction.
struct Digits {
  bool negative = false;
  std::string whole;
  std::string fraction;
};

Digits DigitsOfInteger(std::int64_t value) {
  Digits d;
  d.negative = value < 0;
  const std::uint64_t magnitude = d.negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  if (magnitude != 0) d.whole = std::to_string(magnitude);
  return d;
}

// A double by its 15 significant digits, the decimal value SQL Server's float shows.
Digits DigitsOfReal(double value) {
  Digits d;
  d.negative = value < 0;
  if (value == 0 || !std::isfinite(value)) return d;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));  // d.dddddddddddddde+XX
  const std::string mantissa = std::string(1, buf[0]) + std::string(buf + 2, 14);
  const int point = std::atoi(buf + 17) + 1;  // digits before the decimal point
  if (point <= 0) {
    d.fraction = std::string(static_cast<std::size_t>(-point), '0') + mantissa;
  } else if (point >= static_cast<int>(mantissa.size())) {
    d.whole = mantissa + std::string(static_cast<std::size_t>(point) - mantissa.size(), '0');
  } else {
    d.whole = mantissa.substr(0, static_cast<std::size_t>(point));
    d.fraction = mantissa.substr(static_cast<std::size_t>(point));
  }
  return d;
}

// Multiplies by 100 for percentages, by moving the decimal point.
void TimesHundred(Digits& d) {
  d.fraction.resize(std::max<std::size_t>(d.fraction.size(), 2), '0');
  d.whole += d.fraction.substr(0, 2);
  d.fraction.erase(0, 2);
  d.whole.erase(0, d.whole.find_first_not_of('0') == std::string::npos ? d.whole.size() : d.whole.find_first_not_of('0'));
}

// Rounds to `places` decimals, halves away from zero as .NET does for decimals; pads with zeros.
void RoundTo(Digits& d, std::size_t places) {
  const bool up = d.fraction.size() > places && d.fraction[places] >= '5';
  d.fraction.resize(places, '0');
  if (up) {
    std::string all = d.whole + d.fraction;
    std::size_t i = all.size();
    while (i > 0 && all[i - 1] == '9') all[--i] = '0';
    if (i == 0) all.insert(all.begin(), '1');
    else ++all[i - 1];
    d.whole = all.substr(0, all.size() - places);
    d.fraction = all.substr(all.size() - places);
  }
  // A negative value that rounds to zero prints without its sign.
  if (d.whole.find_first_not_of('0') == std::string::npos && d.fraction.find_first_not_of('0') == std::string::npos)
    d.negative = false;
}

std::string Grouped(const std::string& whole) {
  std::string out;
  for (std::size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) out += ',';
    out += whole[i];
  }
  return out;
}

std::string WholeAtLeast(const std::string& whole, std::size_t digits) {
  return whole.size() >= digits ? whole : std::string(digits - whole.size(), '0') + whole;
}

std::string Fixed(const Digits& d, bool grouped) {
  const std::string whole = WholeAtLeast(d.whole, 1);
  return (grouped ? Grouped(whole) : whole) + (d.fraction.empty() ? "" : "." + d.fraction);
}

std::string Hex(std::int64_t value, bool upper, std::size_t digits) {
  // .NET writes a negative int in its 32-bit two's complement, a bigint in 64 bits.
  const bool fitsInt = value >= INT32_MIN && value <= INT32_MAX;
  char buf[24];
  if (fitsInt) std::snprintf(buf, sizeof buf, upper ? "%X" : "%x", static_cast<std::uint32_t>(value));
  else std::snprintf(buf, sizeof buf, upper ? "%llX" : "%llx", static_cast<unsigned long long>(value));
  return WholeAtLeast(buf, digits);
}

// N2, F0, P, C2, D5, X8, G: one letter and an optional precision of up to two digits.
std::optional<std::string> StandardNumber(sqlite3_value* v, std::string_view pattern) {
  const char kind = static_cast<char>(pattern[0] & ~0x20);
  if (pattern.size() > 3 || !((pattern[0] | 0x20) >= 'a' && (pattern[0] | 0x20) <= 'z')) return std::nullopt;
  std::optional<std::size_t> precision;
  for (std::size_t i = 1; i < pattern.size(); ++i) {
    if (pattern[i] < '0' || pattern[i] > '9') return std::nullopt;
    precision = precision.value_or(0) * 10 + static_cast<std::size_t>(pattern[i] - '0');
  }
  const bool integer = sqlite3_value_type(v) == SQLITE_INTEGER;
  Digits d = integer ? DigitsOfInteger(sqlite3_value_int64(v)) : DigitsOfReal(sqlite3_value_double(v));
  const std::string sign = d.negative ? "-" : "";
  switch (kind) {
    case 'N':
    case 'F':
      RoundTo(d, precision.value_or(2));
      return std::string(d.negative ? "-" : "") + Fixed(d, kind == 'N');
    case 'P':
      TimesHundred(d);
      RoundTo(d, precision.value_or(2));
      return std::string(d.negative ? "-" : "") + Fixed(d, true) + " %";
    case 'C':
      RoundTo(d, precision.value_or(2));
      return d.negative ? "($" + Fixed(d, true) + ")" : "$" + Fixed(d, true);
    case 'D':
      if (!integer) throw RejectedPattern{};
      return sign + WholeAtLeast(WholeAtLeast(d.whole, 1), precision.value_or(1));
    case 'X':
      if (!integer) throw RejectedPattern{};
      return Hex(sqlite3_value_int64(v), pattern[0] == 'X', precision.value_or(1));
    case 'G': {
      if (precision) throw UnsupportedPattern{};
      if (integer) return std::to_string(sqlite3_value_int64(v));
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.15g", sqlite3_value_double(v));
      return std::string(buf);
    }
    default:
      throw UnsupportedPattern{};
  }
}

// A custom pattern: literal prefix, placeholders 0 # with ',' grouping and one '.', literal suffix.
std::string CustomNumber(sqlite3_value* v, std::string_view pattern) {
  std::string prefix, suffix;
  std::size_t minWhole = 0, minFraction = 0, maxFraction = 0;
  bool grouped = false, afterPoint = false, inNumber = false, numberDone = false, percent = false;
  bool seenZero = false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    const bool placeholder = c == '0' || c == '#';
    const bool numberPart = placeholder || ((c == ',' || c == '.') && inNumber && !numberDone) ||
                            (c == '.' && !inNumber && !numberDone);
    if (numberPart) {
      if (numberDone) throw UnsupportedPattern{};
      inNumber = true;
      if (c == '.') {
        if (afterPoint) throw UnsupportedPattern{};
        afterPoint = true;
      } else if (c == ',') {
        if (afterPoint || i + 1 >= pattern.size() || (pattern[i + 1] != '0' && pattern[i + 1] != '#'))
          throw UnsupportedPattern{};  // a scaling comma
        grouped = true;
      } else if (afterPoint) {
        ++maxFraction;
        if (c == '0') minFraction = maxFraction;
      } else {
        seenZero = seenZero || c == '0';
        if (seenZero) ++minWhole;
      }
      continue;
    }
    if (inNumber) numberDone = true;
    std::string literal;
    const bool exponent = (c == 'E' || c == 'e') && i + 1 < pattern.size() &&
                          (pattern[i + 1] == '0' || pattern[i + 1] == '+' || pattern[i + 1] == '-');
    if (c == ';' || exponent) throw UnsupportedPattern{};
    if (c == '%') {
      percent = true;
      literal = "%";
    } else if (c == '\\' && i + 1 < pattern.size()) {
      literal = pattern[++i];
    } else if (c == '\'' || c == '"') {
      const std::size_t close = pattern.find(c, i + 1);
      if (close == std::string_view::npos) throw RejectedPattern{};
      literal = pattern.substr(i + 1, close - i - 1);
      i = close;
    } else {
      literal = c;
    }
    (inNumber ? suffix : prefix) += literal;
  }
  if (!inNumber) throw UnsupportedPattern{};
  Digits d = sqlite3_value_type(v) == SQLITE_INTEGER ? DigitsOfInteger(sqlite3_value_int64(v))
                                                     : DigitsOfReal(sqlite3_value_double(v));
  if (percent) TimesHundred(d);
  RoundTo(d, maxFraction);
  while (d.fraction.size() > minFraction && d.fraction.back() == '0') d.fraction.pop_back();
  std::string whole = d.whole.find_first_not_of('0') == std::string::npos ? "" : d.whole;
  whole = WholeAtLeast(whole, minWhole);
  if (grouped) whole = Grouped(whole);
  return std::string(d.negative ? "-" : "") + prefix + whole + (d.fraction.empty() ? "" : "." + d.fraction) + suffix;
}

std::string FormatNumber(sqlite3_value* v, std::string_view pattern) {
  if (pattern.empty()) throw UnsupportedPattern{};
  if (std::optional<std::string> standard = StandardNumber(v, pattern)) return *standard;
  return CustomNumber(v, pattern);
}

// ---- dates -------------------------------------------------------------------------------------

std::string Padded(long value, std::size_t width) {
  std::string text = std::to_string(value);
  return text.size() >= width ? text : std::string(width - text.size(), '0') + text;
}

int Weekday(const Date& d) {  // 0 for Sunday
  int y = d.year, m = d.month;
  if (m < 3) {
    m += 12;
    --y;
  }
  const int k = y % 100, j = y / 100;
  const int h = (d.day + 13 * (m + 1) / 5 + k + k / 4 + j / 4 + 5 * j) % 7;  // 0 for Saturday
  return (h + 6) % 7;
}

// The .NET standard date patterns, spelled out for en-US.
std::optional<std::string_view> StandardDatePattern(char c) {
  switch (c) {
    case 'd': return "M/d/yyyy";
    case 'D': return "dddd, MMMM d, yyyy";
    case 't': return "h:mm tt";
    case 'T': return "h:mm:ss tt";
    case 'f': return "dddd, MMMM d, yyyy h:mm tt";
    case 'F': return "dddd, MMMM d, yyyy h:mm:ss tt";
    case 'g': return "M/d/yyyy h:mm tt";
    case 'G': return "M/d/yyyy h:mm:ss tt";
    case 'm': case 'M': return "MMMM d";
    case 'y': case 'Y': return "MMMM yyyy";
    case 's': return "yyyy'-'MM'-'dd'T'HH':'mm':'ss";
    case 'u': return "yyyy'-'MM'-'dd HH':'mm':'ss'Z'";
    default: return std::nullopt;
  }
}

// One run of a pattern letter, `count` long, written for the date.
std::string DateField(char letter, std::size_t count, const DateTime& value) {
  const Date& d = value.date;
  const int hour12 = d.hour % 12 == 0 ? 12 : d.hour % 12;
  switch (letter) {
    case 'y':
      return count <= 2 ? Padded(d.year % 100, count) : Padded(d.year, count);
    case 'M':
      if (count <= 2) return Padded(d.month, count);
      return count == 3 ? std::string(kMonthNames[d.month - 1]).substr(0, 3) : kMonthNames[d.month - 1];
    case 'd':
      if (count <= 2) return Padded(d.day, count);
      return count == 3 ? std::string(kDayNames[Weekday(d)]).substr(0, 3) : kDayNames[Weekday(d)];
    case 'H':
      return Padded(d.hour, std::min<std::size_t>(count, 2));
    case 'h':
      return Padded(hour12, std::min<std::size_t>(count, 2));
    case 'm':
      return Padded(d.minute, std::min<std::size_t>(count, 2));
    case 's':
      return Padded(d.second, std::min<std::size_t>(count, 2));
    case 'f':
    case 'F': {
      if (count > 7) throw RejectedPattern{};
      std::string digits = (Padded(value.milliseconds, 3) + "0000").substr(0, count);
      if (letter == 'F') digits.erase(digits.find_last_not_of('0') + 1);
      return digits;
    }
    case 't':
      return std::string(d.hour < 12 ? "AM" : "PM").substr(0, std::min<std::size_t>(count, 2));
    case 'g':
      return "A.D.";
    case 'K':
      return "";
    case 'z':
      throw UnsupportedPattern{};
    default:  // a letter without meaning is copied, as .NET does
      return std::string(count, letter);
  }
}

std::string FormatDate(const DateTime& value, std::string_view pattern) {
  if (pattern.size() == 1) {
    const std::optional<std::string_view> standard = StandardDatePattern(pattern[0]);
    if (!standard) throw RejectedPattern{};
    pattern = *standard;
  }
  std::string out;
  for (std::size_t i = 0; i < pattern.size();) {
    const char c = pattern[i];
    if (c == '\'' || c == '"') {
      const std::size_t close = pattern.find(c, i + 1);
      if (close == std::string_view::npos) throw RejectedPattern{};
      out += pattern.substr(i + 1, close - i - 1);
      i = close + 1;
    } else if (c == '\\' && i + 1 < pattern.size()) {
      out += pattern[i + 1];
      i += 2;
    } else if (c == '%' && i + 1 < pattern.size()) {  // %d: a one-letter custom pattern
      ++i;
    } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
      std::size_t count = 1;
      while (i + count < pattern.size() && pattern[i + count] == c) ++count;
      out += DateField(c, count, value);
      i += count;
    } else {
      out += c;  // ':' and '/' are en-US's own separators
      ++i;
    }
  }
  return out;
}

// ---- the function ------------------------------------------------------------------------------

bool IsEnglishUs(std::string_view culture) { return SameName(culture, "en-US"); }

void Format(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
    return sqlite3_result_null(ctx);
  if (argc > 2 && sqlite3_value_type(argv[2]) != SQLITE_NULL && !IsEnglishUs(TextOf(argv[2]))) {
    const std::string message = "FORMAT with the culture '" + std::string(TextOf(argv[2])) +
                                "' is not supported by the embedded database.";
    return sqlite3_result_error(ctx, message.c_str(), -1);
  }
  // .NET formats with the general pattern when given none, a number and a date alike.
  std::string pattern(TextOf(argv[1]));
  if (pattern.empty()) pattern = "G";
  const int type = sqlite3_value_type(argv[0]);
  try {
    std::string text;
    if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
      text = FormatNumber(argv[0], pattern);
    } else {
      const std::optional<DateTime> date = ParseDateText(TextOf(argv[0]));
      if (!date)
        return sqlite3_result_error(ctx, "Argument data type varchar is invalid for argument 1 of format function.", -1);
      text = FormatDate(*date, pattern);
    }
    sqlite3_result_text64(ctx, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  } catch (const RejectedPattern&) {
    sqlite3_result_null(ctx);
  } catch (const UnsupportedPattern&) {
    const std::string message = "FORMAT with the pattern '" + pattern + "' is not supported by the embedded database.";
    sqlite3_result_error(ctx, message.c_str(), -1);
  }
}

}  // namespace

void RegisterFormatFunction(sqlite3* db) {
  constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
  for (int argc : {2, 3})
    if (sqlite3_create_function_v2(db, "tsql_format", argc, flags, nullptr, Format, nullptr, nullptr, nullptr) != SQLITE_OK)
      throw Error::Provider(std::string("Registering FORMAT failed: ") + sqlite3_errmsg(db));
}

}  // namespace adodb::tsql
