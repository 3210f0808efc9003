#include "adodb/tsql/FunctionRules.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "adodb/Error.h"
#include "adodb/TextCompare.h"
#include "adodb/tsql/DeclaredColumnValue.h"
#include "adodb/tsql/TextNesting.h"

namespace adodb::tsql {
namespace {

// Every call the translation writes goes through here: built in one buffer of its final size,
// where a chain of + would allocate a string for each piece.
std::string Call(std::string_view fn, const std::vector<std::string>& args) {
  std::size_t length = fn.size() + 2;
  for (const std::string& a : args) length += a.size() + 2;
  std::string out;
  out.reserve(length);
  out += fn;
  out += '(';
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (i > 0) out += ", ";
    out += args[i];
  }
  out += ')';
  return out;
}

struct FunctionRule {
  std::size_t minArgs;
  std::size_t maxArgs;
  std::string (*rewrite)(std::string_view name, const std::vector<std::string>& args);
};

// Functions whose SQLite namesake already gives SQL Server's result.
std::string SameNameCall(std::string_view name, const std::vector<std::string>& a) { return Call(LowerName(name), a); }
// An int literal: digits up to int's largest value, maybe negated (SQL Server reads a longer
// number as a decimal).
bool IsIntLiteral(std::string_view value) {
  if (!value.empty() && value[0] == '-') value.remove_prefix(value.size() > 1 && value[1] == ' ' ? 2 : 1);
  return !value.empty() && value.size() <= 10 && value.find_first_not_of("0123456789") == std::string_view::npos &&
         (value.size() < 10 || value <= "2147483647");
}

// ISNULL(a, b): SQLite reads "isnull(" as the postfix operator, so spell it ifnull. The result
// is of a's type, so text in place of a datetime column's NULL is read as a datetime:
// isnull(shrq, '') is 1900-01-01 00:00:00 on the server, not '', and text in place of a
// varchar(3) column's NULL keeps 3 characters, whether it is written or another column's
// (isnull(a.bz, b.bz)). A whole number in a text column's place is written out in its type, which
// is '*' when longer than a varchar's length (isnull(varchar(3), 12345)), as CAST converts it; a
// single digit fits any length, so the module's isnull(x, 0) is left to SQLite alone.
std::string IsNull(std::string_view, const std::vector<std::string>& a) {
  const char first = a[1].front();
  const bool number = (first >= '0' && first <= '9') || first == '-' || first == '.';
  // A decimal in an int column's place is truncated to the column's type (isnull(n, 2.5) is 2).
  if (number && (a[1].size() == 1 || (!IsIntLiteral(a[1]) && a[1].find('.') == std::string::npos)))
    return Call("ifnull", a);
  return DeclaredNullReplacement(a[0], a[1], true);
}
// NULLIF(a, b): equal as the server's collation compares, case and trailing blanks not counting;
// SQLite compares two values that are no column byte for byte (a column brings its own collation,
// which SQLite takes first).
std::string Nullif(std::string_view, const std::vector<std::string>& a) {
  return "nullif(" + a[0] + ", (" + a[1] + ") COLLATE TSQL)";
}
// COALESCE(a, b, ...): of the highest-ranked type among its arguments, so a column and text after
// it are ISNULL(column, text): a datetime column makes the text a datetime, and a decimal literal
// makes an int's value a decimal (coalesce(n, 2.5) / 2 keeps its fraction). A number outranks
// text: a text column beside one is converted to it, so coalesce(s, 0) sorts '9' before '10', and
// text that is no number is the server's conversion error rather than shown as it is.
std::optional<std::size_t> DecimalLiteralWholeDigits(std::string_view value);
std::optional<int> NumberArgumentPlaces(const std::vector<std::string>& a) {
  std::optional<int> places;
  for (const std::string& v : a) {
    if (IsIntLiteral(v)) places = std::max(places.value_or(-1), -1);
    else if (DecimalLiteralWholeDigits(v)) places = std::max(places.value_or(-1), static_cast<int>(v.size() - v.find('.') - 1));
  }
  return places;
}
std::string Coalesce(std::string_view name, const std::vector<std::string>& a) {
  if (a.size() == 2 && a[1].starts_with('\'')) return DeclaredNullReplacement(a[0], a[1]);
  const std::optional<int> places = NumberArgumentPlaces(a);
  if (!places) return SameNameCall(name, a);
  // Text literals among them are not converted here, so neither is a column beside them.
  const bool text = std::any_of(a.begin(), a.end(), [](const std::string& v) { return v.starts_with('\''); });
  std::vector<std::string> converted;
  for (const std::string& v : a) converted.push_back(!text && IsColumnReference(v) ? DeclaredTextAsNumber(v, *places) : v);
  if (*places < 0) return SameNameCall(name, converted);
  return "tsql_fraction(" + SameNameCall(name, converted) + ")";
}
// A decimal literal as SQL Server writes it when it converts it to text: with the places it is
// written with (12.50 is '12.50', where SQLite's real would give '12.5'), leading zeros dropped
// and a 0 before the point (.5 is '0.5'). nullopt for anything else, whole numbers reading alike.
// Only a literal's written places are known; a computed decimal's are not.
std::optional<std::string> DecimalLiteralText(std::string_view value) {
  const char first = value.empty() ? 0 : value[0];
  if (first != '-' && first != '.' && (first < '0' || first > '9')) return std::nullopt;
  const bool negative = first == '-';
  if (negative) value.remove_prefix(value.size() > 1 && value[1] == ' ' ? 2 : 1);
  const std::size_t point = value.find('.');
  if (point == std::string_view::npos || value.size() == 1 ||
      value.find_first_not_of("0123456789", point + 1) != std::string_view::npos ||
      value.substr(0, point).find_first_not_of("0123456789") != std::string_view::npos)
    return std::nullopt;
  std::string_view whole = value.substr(0, point);
  const std::string_view places = value.substr(point + 1);
  whole.remove_prefix(std::min(whole.find_first_not_of('0'), whole.size()));
  // Which sign the server gives a negative zero is no matter to settle here: left as it was.
  if (negative && whole.empty() && places.find_first_not_of('0') == std::string_view::npos) return std::nullopt;
  std::string text = negative ? "'-" : "'";
  text += whole.empty() ? std::string_view("0") : whole;
  if (!places.empty()) (text += '.') += places;
  return text + "'";
}
std::optional<std::string> PlacesOfDecimalText(const std::string& value);
// A number as SQL Server writes it out where text is wanted (CONCAT, LEN, LEFT, RIGHT): a decimal
// literal, and a conversion to decimal or money, with its places (concat(cast(sl AS decimal(18,2)),
// '箱') is '240.00箱', len(convert(money, 3)) is 4).
std::string LiteralAsText(const std::string& value) {
  if (std::optional<std::string> literal = DecimalLiteralText(value)) return std::move(*literal);
  if (const std::optional<std::string> places = PlacesOfDecimalText(value))
    return "tsql_decimal_text(" + value + ", " + *places + ")";
  return value;
}

// LEN(s) counts characters without the trailing blanks; a number is counted as written out.
std::string Len(std::string_view, const std::vector<std::string>& a) {
  return "length(rtrim(" + LiteralAsText(a[0]) + ", ' '))";
}
// A text function whose text is a number: written out as the server converts it, a decimal with
// its places (ltrim(1.50) and upper(cast(x AS decimal(9,2))) of 2.5 are '1.50' and '2.50').
std::vector<std::string> FirstAsText(std::vector<std::string> a) {
  a[0] = LiteralAsText(a[0]);
  return a;
}
// SUBSTRING(s, start, length): positions before 1 eat into the length (SQLite counts them from the end).
std::string Substring(std::string_view, const std::vector<std::string>& a) { return Call("tsql_substring", FirstAsText(a)); }
// CHARINDEX(needle, haystack[, start]): case-insensitive like the default collation; 0 when absent.
std::string CharIndex(std::string_view, const std::vector<std::string>& a) { return Call("tsql_charindex", a); }
// The count of LEFT or RIGHT: a literal as written, any other checked to be no negative count.
std::string LengthArgument(const std::string& n, const char* function) {
  if (!n.empty() && n.find_first_not_of("0123456789") == std::string::npos) return n;
  return "tsql_length(" + n + ", '" + function + "')";
}
// LEFT(s, n): the first n characters; a number's as written out (right(12.50, 2) is '50').
std::string Left(std::string_view, const std::vector<std::string>& a) {
  return "substr(" + LiteralAsText(a[0]) + ", 1, " + LengthArgument(a[1], "left") + ")";
}
// RIGHT(s, n): the last n characters; RIGHT(s, 0) is empty.
std::string Right(std::string_view, const std::vector<std::string>& a) {
  const std::string s = LiteralAsText(a[0]);
  return "substr(" + s + ", max(length(" + s + ") - (" + LengthArgument(a[1], "right") + ") + 1, 1))";
}
// Digits before the point of a decimal literal (748.58: 3, 0.5 and .5: none), which are all its
// type holds there; nullopt for anything else.
std::optional<std::size_t> DecimalLiteralWholeDigits(std::string_view value) {
  if (!value.empty() && value[0] == '-') value.remove_prefix(value.size() > 1 && value[1] == ' ' ? 2 : 1);
  const std::size_t point = value.find('.');
  if (point == std::string_view::npos || value.size() == 1 ||
      value.find_first_not_of("0123456789.") != std::string_view::npos || value.find('.', point + 1) != std::string_view::npos)
    return std::nullopt;
  const std::string_view whole = value.substr(0, point);
  return whole.size() - std::min(whole.find_first_not_of('0'), whole.size());
}
// ROUND(x, n[, truncate]): halves away from zero on the decimal value (2.675 -> 2.68), n may be
// negative. The result is of x's type: for a literal, whose type is known here, a result the type
// cannot hold is SQL Server's overflow error (round(748.58, -3): decimal(5,2) holds no 1000.00).
std::string Round(std::string_view, const std::vector<std::string>& a) {
  const char first = a[0].front();
  if ((first >= '0' && first <= '9') || first == '-' || first == '.') {
    const std::string truncate = a.size() > 2 ? a[2] : "0";
    if (const std::optional<std::size_t> whole = DecimalLiteralWholeDigits(a[0]))
      return Call("tsql_round_numeric", {a[0], a[1], truncate, std::to_string(*whole)});
    if (IsIntLiteral(a[0])) return Call("tsql_round_int", {a[0], a[1], truncate});
  }
  return Call("tsql_round", a);
}
// GETDATE(): local time as the schema stores datetimes, 'YYYY-MM-DD HH:MM:SS'.
std::string GetDate(std::string_view, const std::vector<std::string>&) { return "datetime('now', 'localtime')"; }
// A date argument in the stored form, whichever form SQL Server would accept it in ('20240305').
std::string DateArgument(const std::string& d) { return "tsql_datetime(" + d + ")"; }
// AVG: the mean in the type of what is averaged, so whole numbers average to a whole number; a
// column's type is read from the schema (see AverageAggregate.h).
std::string Avg(std::string_view, const std::vector<std::string>& a) {
  const bool distinct = a[0].rfind("DISTINCT ", 0) == 0;
  const std::string value = DeclaredColumnValue(distinct ? a[0].substr(9) : a[0]);
  return std::string("tsql_avg(") + (distinct ? "DISTINCT " : "") + value + ")";
}
// IIF(condition, then, else).
std::string Iif(std::string_view, const std::vector<std::string>& a) {
  return "CASE WHEN " + a[0] + " THEN " + a[1] + " ELSE " + a[2] + " END";
}
// CHOOSE(index, a, b, ...): the index'th value, NULL past either end; the index is an int.
std::string Choose(std::string_view, const std::vector<std::string>& a) {
  std::string out = "CASE tsql_int(" + a[0] + ")";
  for (std::size_t i = 1; i < a.size(); ++i) out += " WHEN " + std::to_string(i) + " THEN " + a[i];
  return out + " END";
}
// A value where text is wanted, as CAST to varchar writes it: a datetime column or call in the
// server's default way, a decimal with its places; `otherwise` for anything else.
std::string ValueAsText(const std::string& value, const std::string& otherwise) {
  if (DateConversionFor(value) == "tsql_datetime") return "tsql_default_style(" + value + ")";
  std::string declared = DeclaredDefaultText(value, otherwise);
  if (!declared.empty()) return declared;
  std::string literal = LiteralAsText(value);
  return literal != value ? literal : otherwise;
}
// CONCAT(a, b, ...): NULL is empty text, numbers are written as CAST to varchar writes them.
std::string Concat(std::string_view, const std::vector<std::string>& a) {
  std::vector<std::string> texts;
  texts.reserve(a.size());
  for (const std::string& value : a) texts.push_back(ValueAsText(value, value));
  return Call("tsql_concat", texts);
}
// TRIM(s) takes blanks (only blanks) off both ends.
std::string TrimBlanks(std::string_view, const std::vector<std::string>& a) { return "trim(" + LiteralAsText(a[0]) + ", ' ')"; }
// FORMAT(value, pattern[, culture]) with .NET's patterns (see FormatFunction.h).
std::string Format(std::string_view, const std::vector<std::string>& a) { return Call("tsql_format", a); }
// STRING_AGG(value, separator): the values as text, NULLs left out; order as SQLite reads the rows.
std::string StringAgg(std::string_view name, const std::vector<std::string>& a) {
  if (a[0].rfind("DISTINCT ", 0) == 0) throw Error::Unsupported(std::string(name) + "(DISTINCT ...) is not supported");
  return "group_concat(" + ValueAsText(a[0], "tsql_varchar(" + a[0] + ")") + ", " + a[1] + ")";
}
// EOMONTH, DATEFROMPARTS, ISDATE (see DateFunctions.h), REPLACE, REPLICATE, REVERSE, STUFF, UPPER, LOWER
// (TextFunctions.h), ISNUMERIC, STR, PATINDEX (SqliteFunctions.cpp): the tsql_ function of the same name.
std::string Prefixed(std::string_view name, const std::vector<std::string>& a) { return Call("tsql_" + LowerName(name), a); }
std::string TextPrefixed(std::string_view name, const std::vector<std::string>& a) { return Prefixed(name, FirstAsText(a)); }
std::string TextSameName(std::string_view name, const std::vector<std::string>& a) { return SameNameCall(name, FirstAsText(a)); }
// DATALENGTH(x): by the column's declared type where x is a column (see DeclaredColumnValue.h).
std::string DataLength(std::string_view, const std::vector<std::string>& a) { return DeclaredDataLength(a[0]); }
// SPACE(n): n blanks.
std::string Space(std::string_view, const std::vector<std::string>& a) { return "tsql_replicate(' ', " + a[0] + ")"; }
// GETUTCDATE() and SYSDATETIME(), the latter with the milliseconds datetime keeps.
std::string GetUtcDate(std::string_view, const std::vector<std::string>&) { return "datetime('now')"; }
std::string SysDateTime(std::string_view, const std::vector<std::string>&) {
  return "strftime('%Y-%m-%d %H:%M:%f', 'now', 'localtime')";
}
// CEILING and FLOOR: whole numbers stay whole, decimals come back without a fraction.
std::string Ceiling(std::string_view, const std::vector<std::string>& a) { return Call("ceil", a); }

// COUNT_BIG(x): COUNT as a bigint, which every SQLite integer is.
std::string CountBig(std::string_view, const std::vector<std::string>& a) { return Call("count", a); }
// ATN2(y, x): the angle of (x, y), SQLite's atan2 (ATN2(0, 0) is 0 in both).
std::string Atn2(std::string_view, const std::vector<std::string>& a) { return Call("atan2", a); }
// POWER(x, y) is of x's type: an int literal's power is an int (power(2, -1) is 0), a decimal
// literal's keeps its places (power(2.0, 0.5) is 1.4); a column's whole value is an int's, where
// a decimal column's is read as one (tsql_column_value).
std::string Power(std::string_view, const std::vector<std::string>& a) {
  std::string places = "NULL";
  if (IsIntLiteral(a[0])) places = "-1";
  else if (DecimalLiteralWholeDigits(a[0])) places = std::to_string(a[0].size() - a[0].find('.') - 1);
  return "tsql_power(" + DeclaredColumnValue(a[0]) + ", " + a[1] + ", " + places + ")";
}

// YEAR(d), MONTH(d), DAY(d): the part as an integer.
std::string DatePartOf(const char* fmt, const std::string& d) {
  return std::string("cast(strftime('") + fmt + "', " + DateArgument(d) + ") as integer)";
}
std::string Year(std::string_view, const std::vector<std::string>& a) { return DatePartOf("%Y", a[0]); }
std::string Month(std::string_view, const std::vector<std::string>& a) { return DatePartOf("%m", a[0]); }
std::string Day(std::string_view, const std::vector<std::string>& a) { return DatePartOf("%d", a[0]); }

// Looked up by a view of the name, so that a look-up builds no string.
struct NameHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view name) const noexcept { return std::hash<std::string_view>{}(name); }
};
using RulesByName = std::unordered_map<std::string, FunctionRule, NameHash, std::equal_to<>>;

// Looked up for every call a statement makes: by hash, one comparison where a tree makes several.
const RulesByName& FunctionTable() {
  static const RulesByName table = {
      {"abs", {1, 1, SameNameCall}},       {"avg", {1, 1, Avg}},            {"charindex", {2, 3, CharIndex}},
      {"coalesce", {2, 99, Coalesce}}, {"count", {1, 1, SameNameCall}},     {"day", {1, 1, Day}},
      {"getdate", {0, 0, GetDate}},    {"isnull", {2, 2, IsNull}},      {"left", {2, 2, Left}},
      {"len", {1, 1, Len}},            {"lower", {1, 1, TextPrefixed}},     {"ltrim", {1, 1, TextSameName}},
      {"max", {1, 1, SameNameCall}},       {"min", {1, 1, SameNameCall}},       {"month", {1, 1, Month}},
      {"nullif", {2, 2, Nullif}},    {"right", {2, 2, Right}},        {"round", {2, 3, Round}},
      {"rtrim", {1, 1, TextSameName}},     {"substring", {3, 3, Substring}}, {"sum", {1, 1, SameNameCall}},
      {"upper", {1, 1, TextPrefixed}},     {"year", {1, 1, Year}},
      // the functions SQL Server 2012 to 2017 added, the window functions (see WindowFunctions.h) and
      // the rest of the text functions
      {"ceiling", {1, 1, Ceiling}},    {"choose", {2, 99, Choose}},     {"concat", {2, 254, Concat}},
      {"cume_dist", {0, 0, SameNameCall}}, {"datefromparts", {3, 3, Prefixed}}, {"dense_rank", {0, 0, SameNameCall}},
      {"eomonth", {1, 2, Prefixed}},   {"first_value", {1, 1, SameNameCall}}, {"floor", {1, 1, SameNameCall}},
      {"format", {2, 3, Format}},      {"iif", {3, 3, Iif}},            {"isdate", {1, 1, Prefixed}},
      {"lag", {1, 3, SameNameCall}},       {"last_value", {1, 1, SameNameCall}}, {"lead", {1, 3, SameNameCall}},
      {"ntile", {1, 1, SameNameCall}},     {"percent_rank", {0, 0, SameNameCall}}, {"rank", {0, 0, SameNameCall}},
      {"row_number", {0, 0, SameNameCall}}, {"sign", {1, 1, SameNameCall}},
      {"string_agg", {2, 2, StringAgg}}, {"trim", {1, 1, TrimBlanks}},
      {"getutcdate", {0, 0, GetUtcDate}}, {"replace", {3, 3, TextPrefixed}}, {"replicate", {2, 2, TextPrefixed}},
      {"reverse", {1, 1, TextPrefixed}},   {"space", {1, 1, Space}},        {"stuff", {4, 4, TextPrefixed}},
      {"sysdatetime", {0, 0, SysDateTime}},
      // the second round: what hand-written statements use most of the rest
      {"count_big", {1, 1, CountBig}}, {"exp", {1, 1, Prefixed}},      {"atn2", {2, 2, Atn2}},
      {"sysdatetimeoffset", {0, 0, Prefixed}}, {"timefromparts", {5, 5, Prefixed}},
      {"datetimefromparts", {7, 7, Prefixed}}, {"parsename", {2, 2, Prefixed}},
      {"isnumeric", {1, 1, Prefixed}}, {"datalength", {1, 1, DataLength}}, {"str", {1, 3, Prefixed}},
      {"patindex", {2, 2, Prefixed}},
      {"power", {2, 2, Power}},        {"sqrt", {1, 1, Prefixed}},      {"square", {1, 1, Prefixed}},
      {"char", {1, 1, Prefixed}},      {"nchar", {1, 1, Prefixed}},     {"ascii", {1, 1, TextPrefixed}},
      {"unicode", {1, 1, TextPrefixed}},
  };
  return table;
}

// CONVERT(varchar, date, style): the styles a date is formatted with, as strftime formats. SQLite's
// strftime has no two-digit year: the styles that write one cut it from the four digits, marked
// here by where the year stands (yy first: 'y', last: 'Y'); 'm' marks milliseconds after a colon,
// 'T' milliseconds left out when they are .000 (ISO 8601, 126).
struct DateStyle {
  const char* format;
  char cut = 0;
};
const std::map<std::string, DateStyle>& DateStyles() {
  static const std::map<std::string, DateStyle> styles = {
      {"8", {"%H:%M:%S"}},     {"108", {"%H:%M:%S"}},          {"20", {"%Y-%m-%d %H:%M:%S"}}, {"120", {"%Y-%m-%d %H:%M:%S"}},
      {"21", {"%Y-%m-%d %H:%M:%f"}}, {"121", {"%Y-%m-%d %H:%M:%f"}}, {"23", {"%Y-%m-%d"}}, {"102", {"%Y.%m.%d"}},
      {"111", {"%Y/%m/%d"}},   {"112", {"%Y%m%d"}},
      {"1", {"%m/%d/%Y", 'Y'}}, {"101", {"%m/%d/%Y"}},         {"2", {"%Y.%m.%d", 'y'}},      {"3", {"%d/%m/%Y", 'Y'}},
      {"103", {"%d/%m/%Y"}},   {"4", {"%d.%m.%Y", 'Y'}},       {"104", {"%d.%m.%Y"}},         {"5", {"%d-%m-%Y", 'Y'}},
      {"105", {"%d-%m-%Y"}},   {"10", {"%m-%d-%Y", 'Y'}},      {"110", {"%m-%d-%Y"}},         {"11", {"%Y/%m/%d", 'y'}},
      {"12", {"%Y%m%d", 'y'}}, {"14", {"%H:%M:%f", 'm'}},      {"114", {"%H:%M:%f", 'm'}},
      {"126", {"%Y-%m-%dT%H:%M:%f", 'T'}},
  };
  return styles;
}

// The SQLite text of a date written in a style.
std::string DateInStyle(const DateStyle& style, const std::string& value) {
  const std::string text = std::string("strftime('") + style.format + "', " + value + ")";
  if (style.cut == 'y') return "substr(" + text + ", 3)";
  if (style.cut == 'Y') return "(substr(" + text + ", 1, 6) || substr(" + text + ", 9))";
  if (style.cut == 'm') return "replace(" + text + ", '.', ':')";
  if (style.cut == 'T') return "replace(" + text + ", '.000', '')";
  return text;
}

bool OneOf(const std::string& s, std::initializer_list<const char*> names) {
  return std::any_of(names.begin(), names.end(), [&](const char* n) { return s == n; });
}

// True when `text` is one call of `name`, whose opening parenthesis closes at the text's end.
bool IsWholeCall(std::string_view text, std::string_view name) {
  if (text.size() <= name.size() + 1 || text.substr(0, name.size()) != name || text[name.size()] != '(' ||
      text.back() != ')')
    return false;
  int depth = 0;
  char quote = 0;
  for (std::size_t i = name.size(); i < text.size(); ++i) {
    const char c = text[i];
    if (quote) quote = c == quote ? 0 : quote;
    else if (c == '\'' || c == '"') quote = c;
    else if (c == '(') ++depth;
    else if (c == ')' && --depth == 0) return i + 1 == text.size();
  }
  return false;
}

// The places SQL Server writes when a value converted to decimal(p, s) or money is converted on to
// text: s for a decimal (CAST(CAST(x AS decimal(18,2)) AS varchar) is '240.00'), 2 for money.
std::optional<std::string> PlacesOfDecimalText(const std::string& value) {
  if (IsWholeCall(value, "tsql_money") || IsWholeCall(value, "tsql_smallmoney")) return "2";
  if (!IsWholeCall(value, "tsql_decimal")) return std::nullopt;
  const std::size_t comma = value.rfind(", ");
  const std::string scale = value.substr(comma + 2, value.size() - comma - 3);
  if (comma == std::string::npos || scale.empty() || scale.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  return scale;
}

// Conversion to a character type: a date style formats a date; otherwise numbers print as SQL Server
// prints them; an explicit length cuts the text. A decimal whose places are known here (a literal,
// a conversion to decimal) written longer than the length is SQL Server's overflow error instead:
// a number cut short (12.50 to '12.') would read as another number; an int is '*' (an error in
// nvarchar and nchar).
std::string ToText(const SqlType& type, const std::string& value, const std::optional<std::string>& style) {
  std::string text;
  bool decimal = false, whole = false;
  // Style 0 (or 100) is the default: it writes a datetime in its own way, and anything else as
  // without a style.
  const bool defaultStyle = style && (*style == "0" || *style == "100");
  // A number's style is no date's: money's 1 groups the thousands and 2 (or 126) writes four
  // places, convert(varchar, convert(money, je), 1) being how reports write amounts as 1,234.50;
  // the server ignores a style on other numbers.
  const bool money = IsWholeCall(value, "tsql_money") || IsWholeCall(value, "tsql_smallmoney"), moneyStyle = money && style && !defaultStyle;
  if (moneyStyle && *style != "1" && *style != "2" && *style != "126")
    throw Error::Unsupported("CONVERT style " + *style + " of money is not supported");
  const bool number = money || IsWholeCall(value, "tsql_decimal") || IsWholeCall(value, "tsql_int") ||
                      IsIntLiteral(value) || DecimalLiteralText(value);
  if (moneyStyle && *style == "1") {
    text = "tsql_format(" + value + ", 'N2')";
  } else if (style && !defaultStyle && !number) {
    const auto it = DateStyles().find(*style);
    if (it == DateStyles().end()) throw Error::Unsupported("CONVERT style " + *style + " is not supported");
    text = DateInStyle(it->second, value);
    // A column's value tells no money from a date: its declared type picks the style's meaning.
    std::string styled = DeclaredStyledText(
        value, *style, text,
        *style == "1" ? "tsql_format(" + value + ", 'N2')" : "tsql_decimal_text(" + value + ", 4)",
        "tsql_varchar(" + value + ")");
    if (!styled.empty()) text = std::move(styled);
  } else if (const std::optional<std::string> scale = PlacesOfDecimalText(value)) {
    text = "tsql_decimal_text(" + value + ", " + (moneyStyle ? std::string("4") : *scale) + ")";
    decimal = !money;
  } else if (std::optional<std::string> literal = DecimalLiteralText(value)) {
    text = std::move(*literal);
    decimal = true;
  } else {
    const bool isInt = IsIntLiteral(value) || IsWholeCall(value, "tsql_int");
    text = (defaultStyle && !isInt ? "tsql_default_style(" : "tsql_varchar(") + value + ")";
    whole = !type.size.empty() && isInt;
    // Without a style a datetime column is written in the server's default way too; the column's
    // value alone tells no datetime from text in the same form. A datetime that is no column
    // (GETDATE(), DATEADD) is known for one by its call.
    if (!style && DateConversionFor(value) == "tsql_datetime") text = "tsql_default_style(" + value + ")";
    else if (!style && !isInt) {
      std::string declared = DeclaredDefaultText(value, text);
      if (!declared.empty()) text = std::move(declared);
    }
  }
  // A conversion without a length converts to 30 characters (text and ntext have none). char and
  // nchar are of fixed length: the text is padded with blanks to it, which a concatenation keeps
  // ('ab   |') and comparisons ignore.
  const bool fixed = type.name == "char" || type.name == "nchar";
  const std::string size = !type.size.empty() ? type.size[0] : OneOf(type.name, {"text", "ntext"}) ? "max" : "30";
  if (size == "max") return text;
  if (decimal) text = "tsql_numeric_text(" + text + ", " + size + ", '" + type.name + "')";
  if (whole) text = "tsql_int_text(" + text + ", " + size + ", '" + type.name + "')";
  if (fixed) return "substr(" + text + " || printf('%" + size + "s', ''), 1, " + size + ")";
  return decimal || whole ? text : "substr(" + text + ", 1, " + size + ")";
}

// Every function's name is far shorter than this: a longer one names none.
constexpr std::size_t kLongestName = 32;

// `name` in lower case, written into `room`, which holds it.
std::string_view LowerInto(std::string_view name, char* room) {
  for (std::size_t i = 0; i < name.size(); ++i)
    room[i] = name[i] >= 'A' && name[i] <= 'Z' ? static_cast<char>(name[i] - 'A' + 'a') : name[i];
  return {room, name.size()};
}

}  // namespace

std::string_view DateConversionFor(std::string_view emitted) {
  static constexpr std::pair<std::string_view, std::string_view> kCalls[] = {
      {"tsql_date(", "tsql_date"},         {"tsql_eomonth(", "tsql_date"},     {"tsql_datefromparts(", "tsql_date"},
      {"tsql_datetime(", "tsql_datetime"}, {"tsql_dateadd(", "tsql_datetime"}, {"datetime('now', 'localtime')", "tsql_datetime"}};
  if (emitted.empty() || emitted.back() != ')') return {};
  for (const auto& [call, conversion] : kCalls) {
    if (!emitted.starts_with(call)) continue;
    if (call.back() == ')') return emitted.size() == call.size() ? conversion : std::string_view();
    // One call: its parenthesis closes at the end, not before (tsql_date(a) || tsql_date(b)).
    return ClosingOf(emitted, call.size() - 1) + 1 == emitted.size() ? conversion : std::string_view();
  }
  return {};
}

std::string RewriteFunctionCall(std::string_view name, const std::vector<std::string>& args) {
  char room[kLongestName];
  const auto& table = FunctionTable();
  const auto it = name.size() <= sizeof room ? table.find(LowerInto(name, room)) : table.end();
  if (it == table.end()) throw Error::Unsupported("function " + std::string(name) + "() is not supported");
  if (args.size() < it->second.minArgs || args.size() > it->second.maxArgs)
    throw Error::Unsupported("function " + std::string(name) + "() with " + std::to_string(args.size()) +
                             " arguments is not supported");
  return it->second.rewrite(name, args);
}

std::string RewriteConversion(const SqlType& type, const std::string& value, std::optional<std::string> style) {
  const std::string& t = type.name;
  if (OneOf(t, {"varchar", "nvarchar", "char", "nchar", "text", "ntext"})) return ToText(type, value, style);
  if (style && *style != "0") throw Error::Unsupported("CONVERT to " + t + " with a style is not supported");
  if (t == "bigint") return "tsql_bigint(" + value + ")";
  if (OneOf(t, {"int", "integer", "smallint", "tinyint"})) return "tsql_" + (t == "integer" ? "int" : t) + "(" + value + ")";
  if (t == "money") return "tsql_money(" + value + ")";
  if (t == "smallmoney") return "tsql_smallmoney(" + value + ")";
  if (OneOf(t, {"decimal", "numeric"})) {
    const std::string scale = type.size.size() > 1 ? type.size[1] : std::string("0");
    return "tsql_decimal(" + value + ", " + (type.size.empty() ? std::string("18") : type.size[0]) + ", " + scale + ")";
  }
  if (OneOf(t, {"float", "real"})) {
    // A datetime is a count of days to the server; its stored text is no number.
    if (DateConversionFor(value) == "tsql_datetime") return "tsql_datetime_float(" + value + ")";
    std::string declared = DeclaredDefaultText(value, "tsql_float(" + value + ")");
    if (declared.empty()) return "tsql_float(" + value + ")";
    // A date or datetime2 column the server refuses to convert: its style call says so.
    declared.insert(declared.find("'')") + 1, "float");
    return declared.replace(declared.find("tsql_default_style("), 19, "tsql_datetime_float(");
  }
  if (OneOf(t, {"datetime", "smalldatetime"})) return "tsql_datetime(" + value + ")";
  if (t == "datetime2") return "tsql_datetime2(" + value + ", " + (type.size.empty() ? std::string("7") : type.size[0]) + ")";
  if (t == "date") return "tsql_date(" + value + ")";
  if (t == "bit") return "tsql_bit(" + value + ")";
  throw Error::Unsupported("conversion to type " + t + " is not supported");
}

std::string RewriteTrimFrom(const std::string& characters, const std::string& text) {
  return "trim(" + text + ", " + characters + ")";
}

std::optional<std::string> RewriteKeywordValue(std::string_view word) {
  if (adodb::SameName(word, "CURRENT_TIMESTAMP")) return GetDate(word, {});
  for (const char* name : {"TRUE", "FALSE", "CURRENT_DATE", "CURRENT_TIME"})
    if (adodb::SameName(word, name)) return "\"" + std::string(word) + "\"";
  return std::nullopt;
}

}  // namespace adodb::tsql
