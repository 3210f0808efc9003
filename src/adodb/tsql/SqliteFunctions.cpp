#include "adodb/tsql/SqliteFunctions.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "adodb/Error.h"
#include "adodb/TextCompare.h"
#include "adodb/TextLengths.h"
#include "adodb/tsql/AverageAggregate.h"
#include "adodb/tsql/DeclaredColumnValue.h"
#include "adodb/tsql/DateFunctions.h"
#include "adodb/tsql/DateParts.h"
#include "adodb/tsql/DateText.h"
#include "adodb/tsql/DateTruncation.h"
#include "adodb/tsql/FormatFunction.h"
#include "adodb/tsql/LikeMatch.h"
#include "adodb/tsql/Percentiles.h"
#include "adodb/tsql/SqliteArguments.h"
#include "adodb/tsql/TextFunctions.h"
#include "adodb/tsql/RecursionGuard.h"
#include "adodb/tsql/TempTables.h"
#include "adodb/tsql/VariableStore.h"

namespace adodb::tsql {

// Digits accumulate toward the sign, so the smallest 64-bit value parses too.
bool ParseIntText(std::string_view text, std::int64_t& out) {
  std::string_view s = Trimmed(text, " ");
  out = 0;
  if (s.empty()) return true;
  const int sign = s.front() == '-' ? -1 : 1;
  if (s.front() == '-' || s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    if (__builtin_mul_overflow(out, 10, &out) || __builtin_add_overflow(out, sign * (c - '0'), &out)) return false;
  }
  return true;
}

bool ParseDecimalText(std::string_view text, double& out) {
  const std::string_view s = Trimmed(text, " ");
  if (s.empty() || s.size() > 300 || s.find_first_not_of("0123456789+-.eE") != std::string_view::npos) return false;
  char buf[320];
  std::memcpy(buf, s.data(), s.size());
  buf[s.size()] = '\0';
  char* end = nullptr;
  out = std::strtod(buf, &end);
  return end == buf + s.size();
}

bool ParseFloatText(std::string_view text, double& out) {
  out = 0;
  return Trimmed(text, " ").empty() || ParseDecimalText(text, out);
}

void ResultBitText(sqlite3_context* ctx, std::string_view text) {
  std::int64_t whole = 0;
  if (SameName(Trimmed(text, " "), "TRUE")) whole = 1;
  else if (!SameName(Trimmed(text, " "), "FALSE") && !ParseIntText(text, whole)) {
    const std::string message =
        "Conversion failed when converting the varchar value '" + std::string(text) + "' to data type bit.";
    return sqlite3_result_error(ctx, message.c_str(), -1);
  }
  sqlite3_result_int(ctx, whole != 0);
}

namespace {

constexpr const char* kBigintOverflow = "Arithmetic overflow error converting expression to data type bigint.";
constexpr const char* kDivideByZero = "Divide by zero error encountered.";

// Decimal places past these change nothing of a double (and keep the arithmetic on them small).
constexpr std::int64_t kMaxRoundPlaces = 400;

bool IsNumber(sqlite3_value* v) {
  const int t = sqlite3_value_type(v);
  return t == SQLITE_INTEGER || t == SQLITE_FLOAT;
}

// Rounds to `digits` decimals on the value's 15-significant-digit decimal form, halves away from
// zero, so that a double stored for 2.675 rounds to 2.68 as the decimal 2.675 does.
double RoundDecimal(double x, std::int64_t places, bool truncate) {
  if (!std::isfinite(x) || x == 0.0) return x;
  const int digits = static_cast<int>(std::clamp(places, -kMaxRoundPlaces, kMaxRoundPlaces));
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(x));  // d.dddddddddddddde+XX
  const int exponent = std::atoi(buf + 17);
  const int keep = exponent + 1 + digits;  // significant digits left of the cut
  if (keep >= 15) return x;
  if (keep < 0) return 0.0;
  char mantissa[16];
  mantissa[0] = buf[0];
  std::memcpy(mantissa + 1, buf + 2, 14);
  std::int64_t kept = 0;
  for (int i = 0; i < keep; ++i) kept = kept * 10 + (mantissa[i] - '0');
  if (!truncate && mantissa[keep] >= '5') ++kept;
  char decimal[48];
  std::snprintf(decimal, sizeof decimal, "%llde%d", static_cast<long long>(kept), -digits);
  const double rounded = std::strtod(decimal, nullptr);
  return x < 0 ? -rounded : rounded;
}

// A whole number rounded to 10^-digits; false when the result does not fit 64 bits.
bool RoundInteger(std::int64_t v, std::int64_t digits, bool truncate, std::int64_t& out) {
  out = v;
  if (digits >= 0) return true;
  out = 0;
  if (digits < -18) return true;
  std::int64_t unit = 1;
  for (std::int64_t i = 0; i < -digits; ++i) unit *= 10;
  std::int64_t q = v / unit;
  const std::int64_t r = v % unit;
  if (!truncate && (r < 0 ? -r : r) * 2 >= unit) q += v < 0 ? -1 : 1;
  return !__builtin_mul_overflow(q, unit, &out);
}

// The running value of SQL Server's '+' folded over its operands: NULL, a whole number, a decimal
// or text.
struct Sum {
  int type = SQLITE_NULL;
  std::int64_t integer = 0;
  double real = 0;
  std::string text;

  double Real() const { return type == SQLITE_INTEGER ? static_cast<double>(integer) : real; }
};

// A number plus a number; whole numbers past 64 bits go on in floating point, as SQLite's own
// '-' and '*' do, rather than wrapping round to the other sign.
void AddNumber(Sum& sum, bool isInteger, std::int64_t integer, double real) {
  std::int64_t exact = 0;
  if (sum.type == SQLITE_INTEGER && isInteger && !__builtin_add_overflow(sum.integer, integer, &exact)) {
    sum.integer = exact;
    return;
  }
  sum.real = sum.Real() + (isInteger ? static_cast<double>(integer) : real);
  sum.type = SQLITE_FLOAT;
}

// Text meets a number: it is converted to the number's type (int: whole numbers only; decimal
// otherwise) and a text that does not convert is SQL Server's conversion error. False on error.
bool ConvertForSum(sqlite3_context* ctx, std::string_view text, bool toInteger, std::int64_t& integer, double& real) {
  if (toInteger ? ParseIntText(text, integer) : ParseDecimalText(text, real)) return true;
  if (toInteger) ResultIntConversionError(ctx, text);
  else sqlite3_result_error(ctx, kNumericError, -1);
  return false;
}

// The moment of a datetime as the embedded database stores it, 'YYYY-MM-DD HH:MM:SS[.fff]'; nullopt
// for any other text. Only that form is read as a datetime by '+' and '-', where SQL Server adds
// days to a datetime (getdate() - 7, kdrq + 1): SQLite would concatenate or subtract the year.
std::optional<std::int64_t> StoredMoment(std::string_view text) {
  if ((text.size() != 19 && text.size() != 23) || text[4] != '-' || text[10] != ' ' || text[13] != ':')
    return std::nullopt;
  const std::optional<DateTime> value = ParseDateText(text);
  return value ? std::optional<std::int64_t>(MomentOf(*value)) : std::nullopt;
}
std::optional<std::int64_t> StoredMoment(sqlite3_value* v) {
  return sqlite3_value_type(v) == SQLITE_TEXT ? StoredMoment(TextOf(v)) : std::nullopt;
}

constexpr const char* kDateTimeOverflow = "Arithmetic overflow error converting expression to data type datetime.";

// A number of days as milliseconds, the fraction being the time of day; nullopt far past
// datetime's range.
std::optional<std::int64_t> DaysAsMoment(double days) {
  if (!(std::fabs(days) < 4e6)) return std::nullopt;
  return static_cast<std::int64_t>(std::llround(days * static_cast<double>(kMillisecondsPerDay)));
}

// The stored datetime `days` after `moment`; false with SQL Server's overflow error set outside
// datetime's range.
bool ShiftedDateTime(sqlite3_context* ctx, std::int64_t moment, double days, std::string& out) {
  const std::optional<std::int64_t> shift = DaysAsMoment(days);
  if (!shift || !InDateTimeRange(moment + *shift)) {
    sqlite3_result_error(ctx, kDateTimeOverflow, -1);
    return false;
  }
  out = CanonicalDateTime(DateTimeAt(moment + *shift));
  return true;
}

// sum + v; false when SQL Server would raise a conversion error (already set on ctx).
bool AddOperand(sqlite3_context* ctx, Sum& sum, sqlite3_value* v) {
  const int type = sqlite3_value_type(v);
  const bool isNumber = type == SQLITE_INTEGER || type == SQLITE_FLOAT;
  std::int64_t integer = type == SQLITE_INTEGER ? sqlite3_value_int64(v) : 0;
  double real = type == SQLITE_FLOAT ? sqlite3_value_double(v) : 0;
  // A datetime and a number: the number is days.
  if (sum.type == SQLITE_TEXT && isNumber) {
    if (const std::optional<std::int64_t> moment = StoredMoment(sum.text))
      return ShiftedDateTime(ctx, *moment, sqlite3_value_double(v), sum.text);
  } else if (sum.type != SQLITE_TEXT && !isNumber) {
    if (const std::optional<std::int64_t> moment = StoredMoment(TextOf(v))) {
      sum.type = SQLITE_TEXT;
      return ShiftedDateTime(ctx, *moment, sum.Real(), sum.text);
    }
  }
  if (sum.type == SQLITE_TEXT && !isNumber) {
    sum.text += TextOf(v);
  } else if (sum.type == SQLITE_TEXT) {
    std::int64_t leftInteger = 0;
    double leftReal = 0;
    if (!ConvertForSum(ctx, sum.text, type == SQLITE_INTEGER, leftInteger, leftReal)) return false;
    sum.type = type;
    sum.integer = leftInteger;
    sum.real = leftReal;
    AddNumber(sum, type == SQLITE_INTEGER, integer, real);
  } else if (!isNumber) {
    if (!ConvertForSum(ctx, TextOf(v), sum.type == SQLITE_INTEGER, integer, real)) return false;
    AddNumber(sum, sum.type == SQLITE_INTEGER, integer, real);
  } else {
    AddNumber(sum, type == SQLITE_INTEGER, integer, real);
  }
  return true;
}

// A side of SQLite's own '-': a number as it is; text as SQLite reads it, a well-formed number as
// that number and other text as the number it begins with (0 for none), whole as an integer.
struct Operand {
  bool integer = false;
  std::int64_t whole = 0;
  double real = 0;
};
Operand SubtractionOperand(sqlite3_value* v) {
  int type = sqlite3_value_type(v);
  if (type != SQLITE_INTEGER && type != SQLITE_FLOAT) type = sqlite3_value_numeric_type(v);
  if (type == SQLITE_INTEGER) return {true, sqlite3_value_int64(v), 0};
  const double real = sqlite3_value_double(v);
  if (type != SQLITE_FLOAT && real == std::trunc(real) && std::fabs(real) < 9e18)
    return {true, static_cast<std::int64_t>(real), 0};
  return {false, 0, real};
}

// tsql_subtract(a, b): a - b. A stored datetime less a number of days, or less another datetime,
// is a datetime as on SQL Server (kdrq - 1 the day before; getdate() - kdrq the time between,
// counted from 1900-01-01); anything else as SQLite's own '-', whole numbers past 64 bits going
// on in floating point.
void TsqlSubtract(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
    return sqlite3_result_null(ctx);
  const std::optional<std::int64_t> left = StoredMoment(argv[0]), right = StoredMoment(argv[1]);
  if (left && (right || IsNumber(argv[1]))) {
    std::string text;
    if (right) {
      if (!InDateTimeRange(*left - *right)) return sqlite3_result_error(ctx, kDateTimeOverflow, -1);
      text = CanonicalDateTime(DateTimeAt(*left - *right));
    } else if (!ShiftedDateTime(ctx, *left, -sqlite3_value_double(argv[1]), text)) {
      return;
    }
    return sqlite3_result_text64(ctx, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  }
  const Operand a = SubtractionOperand(argv[0]), b = SubtractionOperand(argv[1]);
  std::int64_t whole = 0;
  if (a.integer && b.integer && !__builtin_sub_overflow(a.whole, b.whole, &whole))
    return sqlite3_result_int64(ctx, whole);
  const double x = a.integer ? static_cast<double>(a.whole) : a.real;
  const double y = b.integer ? static_cast<double>(b.whole) : b.real;
  sqlite3_result_double(ctx, x - y);
}

// tsql_add(a, b, ...): SQL Server's '+' applied left to right. NULL anywhere gives NULL; two
// numbers add; two texts concatenate; text with a number is converted to the number's type.
void TsqlAdd(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (argc < 2) return sqlite3_result_error(ctx, "tsql_add takes two or more values.", -1);
  for (int i = 0; i < argc; ++i)
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  Sum sum;
  sum.type = IsNumber(argv[0]) ? sqlite3_value_type(argv[0]) : SQLITE_TEXT;
  sum.integer = sqlite3_value_int64(argv[0]);
  sum.real = sqlite3_value_double(argv[0]);
  if (sum.type == SQLITE_TEXT) sum.text = TextOf(argv[0]);
  for (int i = 1; i < argc; ++i)
    if (!AddOperand(ctx, sum, argv[i])) return;
  if (sum.type == SQLITE_INTEGER) return sqlite3_result_int64(ctx, sum.integer);
  if (sum.type == SQLITE_FLOAT) return sqlite3_result_double(ctx, sum.real);
  sqlite3_result_text64(ctx, sum.text.data(), sum.text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

// SQLite's own reading of a value as a number (text that looks like one converts), as its '/'
// and '%' would; null when the value is NULL.
sqlite3_value* AsNumber(sqlite3_value* v) {
  if (sqlite3_value_type(v) == SQLITE_NULL) return nullptr;
  sqlite3_value_numeric_type(v);
  return v;
}

// tsql_divide(a, b) and tsql_modulo(a, b): T-SQL's '/' and '%'. SQLite gives NULL for a zero
// divisor, SQL Server an error; whole numbers divide to a whole number, the one quotient that
// does not fit 64 bits is the overflow error, and '%' keeps the fraction of decimals (5.5 % 2 is 1.5).
template <bool kModulo>
void TsqlDivide(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_value* a = AsNumber(argv[0]);
  sqlite3_value* b = AsNumber(argv[1]);
  if (!a || !b) return sqlite3_result_null(ctx);
  if (sqlite3_value_double(b) == 0.0) return sqlite3_result_error(ctx, kDivideByZero, -1);
  if (sqlite3_value_type(a) == SQLITE_INTEGER && sqlite3_value_type(b) == SQLITE_INTEGER) {
    const std::int64_t x = sqlite3_value_int64(a), y = sqlite3_value_int64(b);
    if (y == -1) {
      if (kModulo) return sqlite3_result_int64(ctx, 0);
      if (x == INT64_MIN) return sqlite3_result_error(ctx, kBigintOverflow, -1);
    }
    return sqlite3_result_int64(ctx, kModulo ? x % y : x / y);
  }
  const double x = sqlite3_value_double(a), y = sqlite3_value_double(b);
  sqlite3_result_double(ctx, kModulo ? std::fmod(x, y) : x / y);
}

// A value as SQL Server converts it to datetime: text in one of the forms it accepts (see
// DateText.h), blank text as 1900-01-01, a number as days since 1900-01-01. Null with the
// conversion error set otherwise.
std::optional<DateTime> DateTimeOf(sqlite3_context* ctx, sqlite3_value* v) {
  std::optional<DateTime> value;
  if (IsNumber(v)) {
    const double days = sqlite3_value_double(v);
    // Counted on from 1900-01-01 also before it: -2.25 is 1899-12-29 18:00, not the classic serial's reading.
    const double ms = std::round(days * static_cast<double>(kMillisecondsPerDay));
    if (std::fabs(ms) < 1e18 && InDateTimeRange(static_cast<std::int64_t>(ms)))
      value = DateTimeAt(static_cast<std::int64_t>(ms));
    if (!value) sqlite3_result_error(ctx, "Arithmetic overflow error converting expression to data type datetime.", -1);
    return value;
  }
  value = ConvertedDateText(TextOf(v));
  if (!value) sqlite3_result_error(ctx, kTextIsNoDate, -1);
  return value;
}

// tsql_datetime(x): CAST(x AS datetime) in the stored form, 'YYYY-MM-DD HH:MM:SS[.fff]'.
// tsql_date(x): CAST(x AS date), 'YYYY-MM-DD'.
template <bool kDateOnly>
void TsqlDateTime(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const std::optional<DateTime> value = DateTimeOf(ctx, argv[0]);
  if (!value) return;
  std::string text = CanonicalDateTime(kDateOnly ? *value : InDatetimeTicks(*value));
  if (kDateOnly) text.resize(10);
  sqlite3_result_text64(ctx, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

// tsql_datetime2(x, precision): CAST(x AS datetime2(precision)) in the stored form. Text reads as
// for datetime, blank text as 1900-01-01 too, with the fraction rounded to the precision (the
// stored form keeps milliseconds, so a precision above 3 keeps 3 digits); SQL Server has no
// conversion from a number to datetime2.
void TsqlDateTime2(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const int type = sqlite3_value_type(argv[0]);
  if (type == SQLITE_NULL) return sqlite3_result_null(ctx);
  if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
    const std::string message = std::string("Explicit conversion from data type ") +
                                (type == SQLITE_INTEGER ? "int" : "float") + " to datetime2 is not allowed.";
    return sqlite3_result_error(ctx, message.c_str(), -1);
  }
  std::string_view text = TextOf(argv[0]);
  // datetime2 takes up to seven fraction digits where datetime takes three: the rest only rounds.
  std::string cut;
  if (const std::size_t dot = text.rfind('.'); dot != std::string_view::npos && text.find(':') < dot) {
    std::size_t end = dot + 1;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    if (end - dot - 1 > 3) {
      const bool roundUp = text[dot + 4] >= '5';
      cut = std::string(text.substr(0, dot + 4)) + std::string(text.substr(end));
      std::optional<DateTime> value = ParseDateText(cut);
      if (!value) return sqlite3_result_error(ctx, kTextIsNoDate, -1);
      cut = CanonicalDateTime(DateTimeAt(MomentOf(*value) + (roundUp ? 1 : 0)));
      text = cut;
    }
  }
  const std::optional<DateTime> value = ConvertedDateText(text);
  if (!value) return sqlite3_result_error(ctx, kTextIsNoDate, -1);
  std::int64_t unit = 1;
  for (std::int64_t digits = sqlite3_value_int64(argv[1]); digits < 3; ++digits) unit *= 10;
  const std::int64_t moment = MomentOf(*value);
  const std::int64_t rest = ((moment % unit) + unit) % unit;
  const std::string result = CanonicalDateTime(DateTimeAt(moment - rest + (rest * 2 >= unit ? unit : 0)));
  sqlite3_result_text64(ctx, result.data(), result.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

// tsql_exp(x): EXP, SQL Server's error where the result is past float's range.
void TsqlExp(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const double result = std::exp(sqlite3_value_double(argv[0]));
  if (!std::isfinite(result)) return sqlite3_result_error(ctx, "An invalid floating point operation occurred.", -1);
  sqlite3_result_double(ctx, result);
}

// tsql_sqrt(x), tsql_square(x): floats; the root of a negative number is the server's error.
template <bool Root>
void TsqlRootOrSquare(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const double x = sqlite3_value_double(argv[0]);
  const double result = Root ? std::sqrt(x) : x * x;
  if (!std::isfinite(result)) return sqlite3_result_error(ctx, "An invalid floating point operation occurred.", -1);
  sqlite3_result_double(ctx, result);
}

// tsql_power(x, y, places): POWER of x's type: places -1 an int, truncated and held to int's
// range; 0 or more a decimal of those places; NULL a whole stored value's type (an integer) or a float.
void TsqlPower(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
    return sqlite3_result_null(ctx);
  const double result = std::pow(sqlite3_value_double(argv[0]), sqlite3_value_double(argv[1]));
  if (!std::isfinite(result)) return sqlite3_result_error(ctx, "An invalid floating point operation occurred.", -1);
  const bool typed = sqlite3_value_type(argv[2]) != SQLITE_NULL;
  const std::int64_t places = typed ? sqlite3_value_int64(argv[2]) : -2;
  if (places >= 0) return sqlite3_result_double(ctx, RoundDecimal(result, places, false));
  if (places == -2 && sqlite3_value_type(argv[0]) != SQLITE_INTEGER) return sqlite3_result_double(ctx, result);
  const double whole = std::trunc(result);
  const double limit = places == -1 ? 2147483648.0 : 9223372036854775808.0;
  if (whole >= limit || whole < -limit)
    return sqlite3_result_error(ctx, places == -1 ? "Arithmetic overflow error converting expression to data type int."
                                                  : "Arithmetic overflow error converting expression to data type bigint.", -1);
  sqlite3_result_int64(ctx, static_cast<std::int64_t>(whole));
}

// tsql_bitxor(a, b): T-SQL's '^' on whole numbers, which SQLite has no operator for.
void TsqlBitXor(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
    return sqlite3_result_null(ctx);
  sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]) ^ sqlite3_value_int64(argv[1]));
}

// tsql_round(x, digits[, truncate]): SQL Server's ROUND on decimals (see RoundDecimal); a whole
// number rounded past the 64-bit range is SQL Server's overflow error.
void TsqlRound(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  for (int i = 0; i < argc; ++i)
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const std::int64_t digits = sqlite3_value_int64(argv[1]);
  const bool truncate = argc > 2 && sqlite3_value_int64(argv[2]) != 0;
  const int type = sqlite3_value_type(argv[0]);
  if (type == SQLITE_INTEGER) {
    std::int64_t rounded = 0;
    if (!RoundInteger(sqlite3_value_int64(argv[0]), digits, truncate, rounded))
      return sqlite3_result_error(ctx, kBigintOverflow, -1);
    return sqlite3_result_int64(ctx, rounded);
  }
  double x = 0;
  if (type == SQLITE_FLOAT) x = sqlite3_value_double(argv[0]);
  else if (!ParseDecimalText(TextOf(argv[0]), x)) return sqlite3_result_error(ctx, kFloatError, -1);
  sqlite3_result_double(ctx, RoundDecimal(x, digits, truncate));
}

// tsql_round_numeric(x, digits, truncate, whole): ROUND of a decimal literal, whose result keeps the
// literal's type: 748.58 is decimal(5,2), which holds `whole` = 3 digits before the point, so
// round(748.58, -3) is SQL Server's overflow error rather than 1000.
void TsqlRoundNumeric(sqlite3_context* ctx, int, sqlite3_value** argv) {
  for (int i = 0; i < 3; ++i)
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const double rounded =
      RoundDecimal(sqlite3_value_double(argv[0]), sqlite3_value_int64(argv[1]), sqlite3_value_int64(argv[2]) != 0);
  if (std::fabs(rounded) >= std::pow(10.0, static_cast<double>(sqlite3_value_int64(argv[3]))))
    return sqlite3_result_error(ctx, "Arithmetic overflow error converting expression to data type numeric.", -1);
  sqlite3_result_double(ctx, rounded);
}

// tsql_round_int(x, digits, truncate): ROUND of an int literal is an int, so a result past int's
// range (round(2147483647, -1)) is SQL Server's overflow error.
void TsqlRoundInt(sqlite3_context* ctx, int, sqlite3_value** argv) {
  for (int i = 0; i < 3; ++i)
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  std::int64_t rounded = 0;
  if (!RoundInteger(sqlite3_value_int64(argv[0]), sqlite3_value_int64(argv[1]), sqlite3_value_int64(argv[2]) != 0,
                    rounded) ||
      rounded > INT32_MAX || rounded < INT32_MIN)
    return sqlite3_result_error(ctx, kIntOverflow, -1);
  sqlite3_result_int64(ctx, rounded);
}

// tsql_substring(s, start, length): characters start .. start+length-1, where positions before 1
// count toward the length; a negative length is SQL Server's error.
void TsqlSubstring(sqlite3_context* ctx, int, sqlite3_value** argv) {
  for (int i = 0; i < 3; ++i)
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const std::int64_t start = sqlite3_value_int64(argv[1]);
  const std::int64_t length = sqlite3_value_int64(argv[2]);
  if (length < 0) return sqlite3_result_error(ctx, "Invalid length parameter passed to the substring function.", -1);
  const std::string_view s = TextOf(argv[0]);
  const std::int64_t first = start < 1 ? 1 : start;
  std::int64_t last = 0;  // exclusive; past the 64-bit range it is past every text's end anyway
  if (__builtin_add_overflow(start, length, &last)) last = INT64_MAX;
  if (last <= first) return sqlite3_result_text(ctx, "", 0, SQLITE_STATIC);
  const std::size_t from = ByteOffset(s, first - 1);
  const std::size_t to = from + ByteOffset(s.substr(from), last - first);
  sqlite3_result_text64(ctx, s.data() + from, to - from, SQLITE_TRANSIENT, SQLITE_UTF8);
}

// tsql_length(n, 'left'): LEFT's or RIGHT's count as it is, SQL Server's error when negative
// (SQLite's substr would count it backwards and give empty text, hiding a CHARINDEX that found
// nothing in LEFT(s, CHARINDEX('-', s) - 1)).
void TsqlLength(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) != SQLITE_NULL && sqlite3_value_int64(argv[0]) < 0) {
    const std::string message = "Invalid length parameter passed to the " + std::string(TextOf(argv[1])) + " function.";
    return sqlite3_result_error(ctx, message.c_str(), -1);
  }
  sqlite3_result_value(ctx, argv[0]);
}

// True when text begins with prefix, letters compared without case as the collation does.
bool StartsWithFolded(std::string_view text, std::string_view prefix) {
  std::size_t i = 0, j = 0;
  while (j < prefix.size()) {
    if (i >= text.size() || FoldCase(NextCharacter(text, i)) != FoldCase(NextCharacter(prefix, j))) return false;
  }
  return true;
}

// tsql_charindex(needle, haystack[, start]): 1-based character position of needle, compared
// case-insensitively like the default collation; 0 when absent or needle is empty.
void TsqlCharIndex(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  for (int i = 0; i < argc; ++i)
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const std::string_view needle = TextOf(argv[0]);
  const std::string_view hay = TextOf(argv[1]);
  std::int64_t start = argc > 2 ? sqlite3_value_int64(argv[2]) : 1;
  if (start < 1) start = 1;
  if (needle.empty()) return sqlite3_result_int64(ctx, 0);
  std::int64_t position = start;
  for (std::size_t i = ByteOffset(hay, start - 1); i < hay.size(); ++position) {
    if (StartsWithFolded(hay.substr(i), needle)) return sqlite3_result_int64(ctx, position);
    i += ByteOffset(hay.substr(i), 1);
  }
  sqlite3_result_int64(ctx, 0);
}

// tsql_int(x): CAST(x AS int), tsql_smallint, tsql_tinyint and tsql_bigint of theirs. Numbers
// truncate toward zero; text must be a whole number. A value past the type's range is the server's
// error, never a number a site's statement would go on with.
struct WholeType {
  std::int64_t low, high;
  const char* overflow;
  const char* column;  // the server's name of it in a text conversion's overflow
};
constexpr WholeType kBigIntType{INT64_MIN, INT64_MAX, kBigintOverflow, ""};
constexpr WholeType kIntType{INT32_MIN, INT32_MAX, kIntOverflow, ""};
constexpr WholeType kSmallIntType{-32768, 32767, "Arithmetic overflow error converting expression to data type smallint.", "INT2"};
constexpr WholeType kTinyIntType{0, 255, "Arithmetic overflow error converting expression to data type tinyint.", "INT1"};

template <const WholeType& kType>
void TsqlInt(sqlite3_context* ctx, int, sqlite3_value** argv) {
  constexpr bool kBig = &kType == &kBigIntType;
  const auto inRange = [](double d) { return kBig ? std::fabs(d) < 9.2e18 : d >= kType.low && d <= kType.high; };
  switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
      return sqlite3_result_null(ctx);
    case SQLITE_INTEGER: {
      const std::int64_t i = sqlite3_value_int64(argv[0]);
      if (i < kType.low || i > kType.high) return sqlite3_result_error(ctx, kType.overflow, -1);
      return sqlite3_result_int64(ctx, i);
    }
    case SQLITE_FLOAT: {
      const double d = std::trunc(sqlite3_value_double(argv[0]));
      if (!inRange(d)) return sqlite3_result_error(ctx, kType.overflow, -1);
      return sqlite3_result_int64(ctx, static_cast<std::int64_t>(d));
    }
    default: {
      std::int64_t i = 0;
      if (!ParseIntText(TextOf(argv[0]), i) || (!kBig && (i < INT32_MIN || i > INT32_MAX)))
        return ResultIntConversionError(ctx, TextOf(argv[0]));
      if (i < kType.low || i > kType.high) {
        const std::string message = "The conversion of the varchar value '" + std::string(TextOf(argv[0])) +
                                    "' overflowed an " + kType.column + " column. Use a larger integer column.";
        return sqlite3_result_error(ctx, message.c_str(), -1);
      }
      return sqlite3_result_int64(ctx, i);
    }
  }
}

// Whole numbers up to this size are exact as doubles.
constexpr std::int64_t kExactInDouble = std::int64_t{1} << 53;

// tsql_decimal(x, scale): CAST(x AS decimal(p, scale)) and money (scale 4); rounds to the scale.
// The result is a decimal also when it is whole, so that tsql_divide divides it as one
// (CAST(sl AS decimal(18,2)) / 3 of 1 is 0.333333, not 0); only a whole number too large for a
// double to hold exactly stays an integer.
void ResultDecimal(sqlite3_context* ctx, sqlite3_value* value, std::int64_t scale, bool money = false) {
  const int type = sqlite3_value_type(value);
  if (type == SQLITE_NULL) return sqlite3_result_null(ctx);
  if (type == SQLITE_INTEGER) {
    const std::int64_t whole = sqlite3_value_int64(value);
    if (whole > kExactInDouble || whole < -kExactInDouble) return sqlite3_result_int64(ctx, whole);
    return sqlite3_result_double(ctx, static_cast<double>(whole));
  }
  double x = 0;
  if (type == SQLITE_FLOAT) x = sqlite3_value_double(value);
  else if (money ? !ParseFloatText(TextOf(value), x) : !ParseDecimalText(TextOf(value), x))
    return sqlite3_result_error(ctx, money ? kMoneyError : kNumericError, -1);
  sqlite3_result_double(ctx, RoundDecimal(x, scale, false));
}
// tsql_decimal(x, precision, scale) also holds the value to the digits left of the point that
// decimal(precision, scale) keeps: past them it is the server's overflow, never the number stored
// or computed on. The source is named as the server names it: an int, else a numeric.
void TsqlDecimal(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  const std::int64_t scale = sqlite3_value_int64(argv[argc - 1]);
  const std::int64_t precision = argc < 3 ? 0 : sqlite3_value_int64(argv[1]);
  if (precision < 1 || precision > 38 || scale < 0 || scale > precision || sqlite3_value_type(argv[0]) == SQLITE_NULL)
    return ResultDecimal(ctx, argv[0], scale);
  const int whole = static_cast<int>(precision - scale);
  const bool integer = sqlite3_value_type(argv[0]) == SQLITE_INTEGER;
  double x = 0;
  if (integer) x = static_cast<double>(sqlite3_value_int64(argv[0]));
  else if (sqlite3_value_type(argv[0]) == SQLITE_FLOAT) x = RoundDecimal(sqlite3_value_double(argv[0]), scale, false);
  else if (!ParseDecimalText(TextOf(argv[0]), x)) return sqlite3_result_error(ctx, kNumericError, -1);
  else x = RoundDecimal(x, scale, false);
  if (std::fabs(x) >= std::pow(10.0, whole)) {
    const std::int64_t i = sqlite3_value_int64(argv[0]);
    const bool fromInt = integer && i >= INT32_MIN && i <= INT32_MAX;
    const std::string message =
        std::string("Arithmetic overflow error converting ") + (fromInt ? "int" : "numeric") + " to data type numeric.";
    return sqlite3_result_error(ctx, message.c_str(), -1);
  }
  ResultDecimal(ctx, argv[0], scale);
}
// tsql_money(x): CAST(x AS money), four places; unlike decimal, money takes blank text as 0.
void TsqlMoney(sqlite3_context* ctx, int, sqlite3_value** argv) { ResultDecimal(ctx, argv[0], 4, true); }
// tsql_fraction(x): a whole number as a decimal, where a UNION's column is numeric beside an int
// member; anything else as it is.
void TsqlFraction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) != SQLITE_INTEGER) return sqlite3_result_value(ctx, argv[0]);
  const std::int64_t whole = sqlite3_value_int64(argv[0]);
  if (whole > kExactInDouble || whole < -kExactInDouble) return sqlite3_result_int64(ctx, whole);
  sqlite3_result_double(ctx, static_cast<double>(whole));
}

// tsql_smallmoney(x): CAST(x AS smallmoney), money held to -214,748.3648 to 214,748.3647: past
// them the server's overflow, never the number stored or computed on.
void TsqlSmallMoney(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const int type = sqlite3_value_type(argv[0]);
  double x = 0;
  if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) x = RoundDecimal(sqlite3_value_double(argv[0]), 4, false);
  else if (type == SQLITE_TEXT && ParseFloatText(TextOf(argv[0]), x)) x = RoundDecimal(x, 4, false);
  if (x >= -214748.3648 && x <= 214748.3647) return ResultDecimal(ctx, argv[0], 4, true);
  const std::int64_t i = sqlite3_value_int64(argv[0]);
  const std::string message =
      type == SQLITE_TEXT ? "The conversion from char data type to smallmoney data type resulted in a smallmoney overflow error."
                          : std::string("Arithmetic overflow error converting ") +
                                (type == SQLITE_INTEGER && i >= INT32_MIN && i <= INT32_MAX ? "int" : "numeric") +
                                " to data type smallmoney.";
  sqlite3_result_error(ctx, message.c_str(), -1);
}

// tsql_decimal_text(x, places): a decimal (or money) value as CAST to varchar writes it, with all
// its places: SQL Server keeps a decimal's scale, the double holding it here does not.
void TsqlDecimalText(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER) return sqlite3_result_value(ctx, argv[0]);  // past 2^53
  const int places = static_cast<int>(std::clamp<std::int64_t>(sqlite3_value_int64(argv[1]), 0, 38));
  double x = RoundDecimal(sqlite3_value_double(argv[0]), places, false);
  if (x == 0.0) x = 0.0;  // never "-0.00"
  char buf[400];
  const int n = std::snprintf(buf, sizeof buf, "%.*f", places, x);
  if (n < 0 || n >= static_cast<int>(sizeof buf)) return sqlite3_result_error_toobig(ctx);
  sqlite3_result_text(ctx, buf, n, SQLITE_TRANSIENT);
}

// tsql_numeric_text(text, size, 'type'): a decimal already written with its places converted to a
// character type of that size, SQL Server's overflow error when it is longer.
void TsqlNumericText(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const std::int64_t size = sqlite3_value_int64(argv[1]);
  if (size < 0 || TextOf(argv[0]).size() > static_cast<std::uint64_t>(size)) {
    const std::string message =
        "Arithmetic overflow error converting numeric to data type " + std::string(TextOf(argv[2])) + ".";
    return sqlite3_result_error(ctx, message.c_str(), -1);
  }
  sqlite3_result_value(ctx, argv[0]);
}

// tsql_int_text(text, size, 'type'): an int written out converted to a character type of that
// size: '*' when longer, SQL Server's overflow error for the Unicode types.
void TsqlIntText(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const std::int64_t size = sqlite3_value_int64(argv[1]);
  if (size >= 0 && TextOf(argv[0]).size() <= static_cast<std::uint64_t>(size)) return sqlite3_result_value(ctx, argv[0]);
  const std::string_view type = TextOf(argv[2]);
  if (type.empty() || type[0] != 'n') return sqlite3_result_text(ctx, "*", 1, SQLITE_STATIC);
  const std::string message = "Arithmetic overflow error converting expression to data type " + std::string(type) + ".";
  sqlite3_result_error(ctx, message.c_str(), -1);
}

// tsql_bit(x): CAST(x AS bit). Any number but 0 is 1, a fraction too (0.5 is 1); text as
// ResultBitText reads it. SQLite has no such type: a bare CAST would keep the number as it is.
void TsqlBit(sqlite3_context* ctx, int, sqlite3_value** argv) {
  switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
      return sqlite3_result_null(ctx);
    case SQLITE_INTEGER:
      return sqlite3_result_int(ctx, sqlite3_value_int64(argv[0]) != 0);
    case SQLITE_FLOAT:
      return sqlite3_result_int(ctx, sqlite3_value_double(argv[0]) != 0.0);
    default:
      return ResultBitText(ctx, TextOf(argv[0]));
  }
}

// tsql_float(x): CAST(x AS float).
void TsqlFloat(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const int type = sqlite3_value_type(argv[0]);
  if (type == SQLITE_NULL) return sqlite3_result_null(ctx);
  double x = 0;
  if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) x = sqlite3_value_double(argv[0]);
  else if (!ParseFloatText(TextOf(argv[0]), x)) return sqlite3_result_error(ctx, kFloatError, -1);
  sqlite3_result_double(ctx, x);
}

// tsql_varchar(x): a value as text; numbers in their shortest form (2.5, 3 rather than 3.0).
void TsqlVarchar(sqlite3_context* ctx, int, sqlite3_value** argv) {
  switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
      return sqlite3_result_null(ctx);
    case SQLITE_FLOAT: {
      char buf[32];
      // + 0.0 takes the sign off a zero: a decimal or money zero is written '0', never '-0'
      // (round(-0.4, 0), ceiling(-0.5) and -0.3 * 0 leave a double's negative zero here).
      const int n = std::snprintf(buf, sizeof buf, "%.15g", sqlite3_value_double(argv[0]) + 0.0);
      return sqlite3_result_text(ctx, buf, n, SQLITE_TRANSIENT);
    }
    default: {
      const std::string_view s = TextOf(argv[0]);
      return sqlite3_result_text64(ctx, s.data(), s.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    }
  }
}

// Collation TSQL: SQL Server's default collation for the module's data (see CompareValues).
int CompareTsql(void*, int n1, const void* p1, int n2, const void* p2) {
  return CompareValues(std::string_view(static_cast<const char*>(p1), static_cast<std::size_t>(n1)),
                       std::string_view(static_cast<const char*>(p2), static_cast<std::size_t>(n2)));
}

// tsql_like(value, pattern[, escape]): T-SQL's LIKE (see LikeMatch.h); NULL gives NULL.
// tsql_like_cs: the same under a case-sensitive or binary collation.
void Like(sqlite3_context* ctx, int argc, sqlite3_value** argv, bool caseSensitive) {
  for (int i = 0; i < argc; ++i)
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  std::optional<char32_t> escape;
  if (argc > 2) {
    const std::string_view e = TextOf(argv[2]);
    std::size_t pos = 0;
    if (e.empty() || (NextCharacter(e, pos), pos != e.size()))
      return sqlite3_result_error(ctx, "The invalid escape character was specified in a LIKE predicate.", -1);
    pos = 0;
    escape = NextCharacter(e, pos);
  }
  sqlite3_result_int(ctx, MatchesLike(TextOf(argv[0]), TextOf(argv[1]), escape, caseSensitive) ? 1 : 0);
}
template <bool kCaseSensitive>
void TsqlLike(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  Like(ctx, argc, argv, kCaseSensitive);
}
// tsql_like_by(caseSensitive, value, pattern[, escape]): a column's LIKE, case-sensitive as its
// declared collation is (tsql_column_cs).
void TsqlLikeBy(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  Like(ctx, argc - 1, argv + 1, sqlite3_value_int(argv[0]) != 0);
}

// tsql_patindex(pattern, s): the position of the first character from which s matches the
// pattern as LIKE matches it, 0 when none does. A pattern that does not begin with % matches at
// the first character or not at all ('ter%' in 'interesting' is 0); its leading %s are what let it
// start further on. NULL gives NULL.
void TsqlPatIndex(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const std::string_view text = TextOf(argv[1]);
  std::string_view pattern = TextOf(argv[0]);
  const std::size_t rest = pattern.find_first_not_of('%');
  if (rest == 0) return sqlite3_result_int(ctx, MatchesLike(text, pattern) ? 1 : 0);
  if (rest == std::string_view::npos) return sqlite3_result_int(ctx, text.empty() ? 0 : 1);
  pattern.remove_prefix(rest);
  std::int64_t position = 1;
  for (std::size_t i = 0; i < text.size(); ++position) {
    if (MatchesLike(text.substr(i), pattern)) return sqlite3_result_int64(ctx, position);
    NextCharacter(text, i);
  }
  sqlite3_result_int(ctx, 0);
}

// A currency sign money takes before or after the sign: $, and the pound, yen and euro signs
// (the full-width dollar and yen too), and the backslash, which money reads as the yen sign that
// Japanese code pages keep at its place. pos is moved past it.
bool SkipCurrencySign(std::string_view text, std::size_t& pos) {
  if (pos >= text.size()) return false;
  std::size_t next = pos;
  const char32_t c = NextCharacter(text, next);
  if (c != U'$' && c != U'\\' && c != U'\u00A3' && c != U'\u00A5' && c != U'\u20AC' && c != U'\uFF04' &&
      c != U'\uFFE5')
    return false;
  pos = next;
  return true;
}

// Text money converts, at its loosest: a sign and a currency sign in either order, digits with
// grouping commas anywhere, a fraction; each may be missing, so '+', '$' and '.' are money (0).
bool IsMoneyText(std::string_view text) {
  std::size_t i = 0;
  const auto sign = [&] { return i < text.size() && (text[i] == '+' || text[i] == '-') ? (++i, true) : false; };
  if (sign()) SkipCurrencySign(text, i);
  else if (SkipCurrencySign(text, i)) sign();
  while (i < text.size() && ((text[i] >= '0' && text[i] <= '9') || text[i] == ',')) ++i;
  if (i < text.size() && text[i] == '.') ++i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  return i == text.size();
}

// ISNUMERIC also takes a D as the exponent's letter ('1d5', '2.5D-3'), as the server's own check
// of float text does.
bool IsFloatTextWithD(std::string_view text) {
  const std::size_t d = text.find_first_of("dD");
  if (d == std::string_view::npos || d == 0 || text.find_first_of("eEdD", d + 1) != std::string_view::npos) return false;
  std::string written(text);
  written[d] = 'e';
  double number = 0;
  return ParseDecimalText(written, number) && std::isfinite(number);
}

// tsql_isnumeric(x): ISNUMERIC, 1 when x converts to at least one number type: a number, text
// that holds a decimal or float (1e5), or money's text ('$1,234.50', and '+', '-', '$' or '.'
// alone, which the server documents as numeric); blank text, other text and NULL are 0.
void TsqlIsNumeric(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const int type = sqlite3_value_type(argv[0]);
  if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) return sqlite3_result_int(ctx, 1);
  if (type == SQLITE_NULL) return sqlite3_result_int(ctx, 0);
  const std::string_view text = Trimmed(TextOf(argv[0]), " ");
  double number = 0;
  const bool numeric = !text.empty() && ((ParseDecimalText(text, number) && std::isfinite(number)) ||
                                         IsMoneyText(text) || IsFloatTextWithD(text));
  sqlite3_result_int(ctx, numeric ? 1 : 0);
}

// tsql_str(x[, length[, decimals]]): STR, x as float written right-aligned in `length` characters
// (10 by default) with `decimals` places (0 by default, at most 16), rounded; as many places as
// fit when not all do, and `length` asterisks when the whole part does not fit. A length outside
// 1 to 8000 or negative places give NULL.
void TsqlStr(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  double x = 0;
  if (IsNumber(argv[0])) x = sqlite3_value_double(argv[0]);
  else if (!ParseFloatText(TextOf(argv[0]), x)) return sqlite3_result_error(ctx, kFloatError, -1);
  const std::int64_t length = argc > 1 ? sqlite3_value_int64(argv[1]) : 10;
  const std::int64_t decimals = argc > 2 ? sqlite3_value_int64(argv[2]) : 0;
  if (length < 1 || length > 8000 || decimals < 0) return sqlite3_result_null(ctx);
  if (!std::isfinite(x)) return sqlite3_result_error(ctx, "An invalid floating point operation occurred.", -1);
  char buf[400];
  for (int places = static_cast<int>(std::min<std::int64_t>(decimals, 16)); places >= 0; --places) {
    double rounded = RoundDecimal(x, places, false);
    if (rounded == 0.0) rounded = 0.0;  // never "-0"
    const int n = std::snprintf(buf, sizeof buf, "%.*f", places, rounded);
    if (n < 0 || n >= static_cast<int>(sizeof buf) || n > length) continue;
    std::string text(static_cast<std::size_t>(length - n), ' ');
    text.append(buf, static_cast<std::size_t>(n));
    return sqlite3_result_text64(ctx, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  }
  const std::string stars(static_cast<std::size_t>(length), '*');
  sqlite3_result_text64(ctx, stars.data(), stars.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

// tsql_merge_once(count): 1 for a target row a MERGE changes once; the server's error for one
// that more than one source row matches.
void TsqlMergeOnce(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_int64(argv[0]) <= 1) return sqlite3_result_int(ctx, 1);
  sqlite3_result_error(ctx,
                       "The MERGE statement attempted to UPDATE or DELETE the same row more than once. This happens "
                       "when a target row matches more than one source row. A MERGE statement cannot UPDATE/DELETE the "
                       "same row of the target table multiple times. Refine the ON clause to ensure a target row matches "
                       "at most one source row, or use the GROUP BY clause to group the source rows.",
                       -1);
}

// tsql_single_row(rows, value): the value of a subquery where one value stands, rows being how
// many it gave (up to 2); past one the server's error, where SQLite would take the first.
void TsqlSingleRow(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_int64(argv[0]) <= 1) return sqlite3_result_value(ctx, argv[1]);
  sqlite3_result_error(ctx,
                       "Subquery returned more than 1 value. This is not permitted when the subquery follows =, !=, <, "
                       "<= , >, >= or when the subquery is used as an expression.",
                       -1);
}

struct FunctionEntry {
  const char* name;
  int argc;
  ScalarFunction fn;
};

constexpr FunctionEntry kFunctions[] = {
    {"tsql_add", -1, TsqlAdd},        {"tsql_subtract", 2, TsqlSubtract},        {"tsql_bitxor", 2, TsqlBitXor},       {"tsql_divide", 2, TsqlDivide<false>},
    {"tsql_modulo", 2, TsqlDivide<true>}, {"tsql_like", 2, TsqlLike<false>},     {"tsql_like", 3, TsqlLike<false>}, {"tsql_like_cs", 2, TsqlLike<true>}, {"tsql_like_cs", 3, TsqlLike<true>}, {"tsql_like_by", 3, TsqlLikeBy}, {"tsql_like_by", 4, TsqlLikeBy}, {"tsql_datetime", 1, TsqlDateTime<false>}, {"tsql_date", 1, TsqlDateTime<true>},         {"tsql_round", 2, TsqlRound},         {"tsql_round", 3, TsqlRound}, {"tsql_round_numeric", 4, TsqlRoundNumeric}, {"tsql_round_int", 3, TsqlRoundInt},
    {"tsql_substring", 3, TsqlSubstring}, {"tsql_charindex", 2, TsqlCharIndex}, {"tsql_charindex", 3, TsqlCharIndex},
    {"tsql_int", 1, TsqlInt<kIntType>}, {"tsql_bigint", 1, TsqlInt<kBigIntType>}, {"tsql_smallint", 1, TsqlInt<kSmallIntType>}, {"tsql_tinyint", 1, TsqlInt<kTinyIntType>}, {"tsql_decimal", 3, TsqlDecimal},         {"tsql_decimal", 2, TsqlDecimal},     {"tsql_money", 1, TsqlMoney}, {"tsql_smallmoney", 1, TsqlSmallMoney}, {"tsql_decimal_text", 2, TsqlDecimalText}, {"tsql_numeric_text", 3, TsqlNumericText}, {"tsql_int_text", 3, TsqlIntText},     {"tsql_float", 1, TsqlFloat}, {"tsql_bit", 1, TsqlBit},
    {"tsql_varchar", 1, TsqlVarchar},   {"tsql_datetime2", 2, TsqlDateTime2}, {"tsql_exp", 1, TsqlExp}, {"tsql_power", 3, TsqlPower}, {"tsql_sqrt", 1, TsqlRootOrSquare<true>}, {"tsql_square", 1, TsqlRootOrSquare<false>}, {"tsql_fraction", 1, TsqlFraction},
    {"tsql_length", 2, TsqlLength},   {"tsql_patindex", 2, TsqlPatIndex}, {"tsql_isnumeric", 1, TsqlIsNumeric},
    {"tsql_merge_once", 1, TsqlMergeOnce}, {"tsql_single_row", 2, TsqlSingleRow},
    {"tsql_str", 1, TsqlStr},         {"tsql_str", 2, TsqlStr},             {"tsql_str", 3, TsqlStr},
};

void Check(sqlite3* db, int rc) {
  if (rc != SQLITE_OK) throw Error::Provider(std::string("Registering the T-SQL functions failed: ") + sqlite3_errmsg(db));
}

// SQLite's join Bloom filters hash a text by its length alone, which is sound only for collations
// that never equate texts of different lengths; TSQL does ('ABC ' = 'abc'), so a join through an
// automatic index could lose rows. The filters are switched off for this connection.
constexpr int kTestCtrlOptimizations = 15;  // SQLITE_TESTCTRL_OPTIMIZATIONS
constexpr int kBloomFilter = 0x00080000;    // SQLITE_BloomFilter
constexpr int kBloomPulldown = 0x00100000;  // SQLITE_BloomPulldown

}  // namespace

void AddValues(sqlite3_context* ctx, int argc, sqlite3_value** argv) { TsqlAdd(ctx, argc, argv); }
void SubtractValues(sqlite3_context* ctx, int argc, sqlite3_value** argv) { TsqlSubtract(ctx, argc, argv); }
void DivideValues(sqlite3_context* ctx, int argc, sqlite3_value** argv) { TsqlDivide<false>(ctx, argc, argv); }

// As SQLite multiplies: NULL anywhere gives NULL, text is read as its '-' reads it, and whole
// numbers past 64 bits go on in floating point.
void MultiplyValues(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  Operand product = SubtractionOperand(argv[0]);
  for (int i = 1; i < argc; ++i) {
    const Operand factor = SubtractionOperand(argv[i]);
    std::int64_t whole = 0;
    if (product.integer && factor.integer && !__builtin_mul_overflow(product.whole, factor.whole, &whole)) {
      product.whole = whole;
      continue;
    }
    const double x = product.integer ? static_cast<double>(product.whole) : product.real;
    product = {false, 0, x * (factor.integer ? static_cast<double>(factor.whole) : factor.real)};
  }
  if (product.integer) return sqlite3_result_int64(ctx, product.whole);
  sqlite3_result_double(ctx, product.real);
}

void RegisterSqliteFunctions(sqlite3* db) {
  // The translator writes [name] as "name"; SQLite would take a "name" that names no column for a
  // string literal and compare against the text instead of failing.
  sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  sqlite3_test_control(kTestCtrlOptimizations, db, kBloomFilter | kBloomPulldown);
  constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
  for (const FunctionEntry& f : kFunctions)
    Check(db, sqlite3_create_function_v2(db, f.name, f.argc, flags, nullptr, f.fn, nullptr, nullptr, nullptr));
  Check(db, sqlite3_create_collation_v2(db, "TSQL", SQLITE_UTF8, nullptr, CompareTsql, nullptr));
  RegisterDateFunctions(db);
  RegisterAverageAggregate(db);
  RegisterDeclaredColumnValue(db);
  RegisterTextFunctions(db);
  RegisterFormatFunction(db);
  RegisterRecursionGuard(db);
  RegisterVariableStore(db);
  RegisterDateTruncation(db);
  RegisterPercentiles(db);
  Check(db, RegisterSelectInto(db));
  Check(db, RegisterTextFits(db));  // the triggers that hold a temp table's text lengths call it
}

}  // namespace adodb::tsql
