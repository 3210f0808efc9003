#include "adodb/tsql/DeclaredColumnValue.h"

#include <cmath>
#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "adodb/Error.h"
#include "adodb/TextCompare.h"
#include "adodb/tsql/DateParts.h"
#include "adodb/tsql/DateText.h"
#include "adodb/tsql/DeclaredColumnKinds.h"
#include "adodb/tsql/SqliteArguments.h"
#include "adodb/tsql/SqliteFunctions.h"
#include "adodb/tsql/TextNesting.h"

namespace adodb::tsql {
namespace {

// The declared kind of the column named by argument `index`, looked up once per statement in the
// connection's list, which both functions share as their user data.
DeclaredKind CachedKind(sqlite3_context* ctx, sqlite3_value** argv, int index) {
  if (const auto* cached = static_cast<const DeclaredKind*>(sqlite3_get_auxdata(ctx, index))) return *cached;
  const auto* column = reinterpret_cast<const char*>(sqlite3_value_text(argv[index]));
  auto& kinds = **static_cast<std::shared_ptr<DeclaredColumnKinds>*>(sqlite3_user_data(ctx));
  const DeclaredKind kind = column ? kinds.Of(sqlite3_context_db_handle(ctx), column) : DeclaredKind::kOther;
  sqlite3_set_auxdata(ctx, index, new DeclaredKind(kind), [](void* p) { delete static_cast<DeclaredKind*>(p); });
  return kind;
}

// tsql_column_cs('name'): see DeclaredCaseSensitivity.
void ColumnCaseSensitive(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const auto* column = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
  auto& kinds = **static_cast<std::shared_ptr<DeclaredColumnKinds>*>(sqlite3_user_data(ctx));
  sqlite3_result_int(ctx, column && kinds.ComparesByCharacters(sqlite3_context_db_handle(ctx), column) ? 1 : 0);
}

void ColumnValue(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER && HoldsFractions(CachedKind(ctx, argv, 1)))
    return sqlite3_result_double(ctx, static_cast<double>(sqlite3_value_int64(argv[0])));
  sqlite3_result_value(ctx, argv[0]);
}

// Text as SQL Server converts it to a number column's type: blank text is 0 to int, bit, float and
// money but no decimal; fractional types that differ take a number only (the text kept otherwise).
void NumberLiteral(sqlite3_context* ctx, sqlite3_value* literal, DeclaredKind kind) {
  const std::string_view text = TextOf(literal);
  if (kind == DeclaredKind::kInt || kind == DeclaredKind::kBigInt) {
    std::int64_t whole = 0;
    if (!ParseIntText(text, whole)) return ResultIntConversionError(ctx, text);
    return sqlite3_result_int64(ctx, whole);
  }
  if (kind == DeclaredKind::kBit) return ResultBitText(ctx, text);
  double number = 0;
  if (kind == DeclaredKind::kFloat || kind == DeclaredKind::kMoney) {
    if (!ParseFloatText(text, number))
      return sqlite3_result_error(ctx, kind == DeclaredKind::kFloat ? kFloatError : kMoneyError, -1);
    return sqlite3_result_double(ctx, number);
  }
  if (ParseDecimalText(text, number)) return sqlite3_result_double(ctx, number);
  if (kind == DeclaredKind::kNumeric) return sqlite3_result_error(ctx, kNumericError, -1);
  sqlite3_result_value(ctx, literal);
}

// tsql_text_as_number(value, 'name', places): see DeclaredTextAsNumber.
void TextAsNumber(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const DeclaredKind kind = sqlite3_value_type(argv[0]) == SQLITE_TEXT ? CachedKind(ctx, argv, 1) : DeclaredKind::kOther;
  if (kind != DeclaredKind::kText && kind != DeclaredKind::kUnicodeText) return sqlite3_result_value(ctx, argv[0]);
  NumberLiteral(ctx, argv[0], sqlite3_value_int(argv[2]) < 0 ? DeclaredKind::kInt : DeclaredKind::kNumeric);
}

// tsql_column_literal(literal, 'name'): see DeclaredColumnLiteral.
void ColumnLiteral(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) != SQLITE_TEXT) return sqlite3_result_value(ctx, argv[0]);
  const DeclaredKind kind = CachedKind(ctx, argv, 1);
  if (kind == DeclaredKind::kOther || kind == DeclaredKind::kText || kind == DeclaredKind::kUnicodeText)
    return sqlite3_result_value(ctx, argv[0]);
  if (kind != DeclaredKind::kDateTime && kind != DeclaredKind::kDateTime2 && kind != DeclaredKind::kDate)
    return NumberLiteral(ctx, argv[0], kind);
  const std::optional<DateTime> value = ConvertedDateText(TextOf(argv[0]));
  if (!value) return sqlite3_result_value(ctx, argv[0]);
  std::string text = CanonicalDateTime(kind == DeclaredKind::kDateTime ? InDatetimeTicks(*value) : *value);
  if (kind == DeclaredKind::kDate) text.resize(10);
  sqlite3_result_text64(ctx, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

// tsql_column_literal(literal, 'name', 1): the literal in place of the column's NULL, as
// ColumnLiteral reads it, and text cut to a declared length: of UTF-16 units for nchar and
// nvarchar, of the server's Chinese code page's bytes for char and varchar (two for any character
// beyond ASCII), whole characters only.
// A whole number is written out instead: '*' when longer than the length, SQL Server's overflow
// error for the Unicode types, as CAST converts an int. A decimal in an int column's place is
// truncated to an int, as the server converts it to the column's type.
void ColumnReplacement(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const DeclaredKind kind = CachedKind(ctx, argv, 1);
  const int type = sqlite3_value_type(argv[0]);
  if (type == SQLITE_FLOAT && (kind == DeclaredKind::kInt || kind == DeclaredKind::kBigInt)) {
    const double whole = std::trunc(sqlite3_value_double(argv[0]));
    if (!(std::fabs(whole) < 9.2e18) || (kind == DeclaredKind::kInt && std::fabs(whole) > 2147483647.0))
      return sqlite3_result_error(ctx, kIntOverflow, -1);
    return sqlite3_result_int64(ctx, static_cast<std::int64_t>(whole));
  }
  if ((type != SQLITE_TEXT && type != SQLITE_INTEGER) || (kind != DeclaredKind::kText && kind != DeclaredKind::kUnicodeText))
    return ColumnLiteral(ctx, 2, argv);
  auto& kinds = **static_cast<std::shared_ptr<DeclaredColumnKinds>*>(sqlite3_user_data(ctx));
  // tsql_column_cut(value, 'name', 'table'): the table's own length, the qualifier having been
  // read through the FROM clause as "=table"; an alias left unread names no table.
  std::string_view table = sqlite3_value_type(argv[2]) == SQLITE_TEXT ? TextOf(argv[2]) : std::string_view();
  if (table.starts_with('=')) table.remove_prefix(1);
  const int length = kinds.TextLengthOf(sqlite3_context_db_handle(ctx), TextOf(argv[1]), table);
  const std::string_view text = TextOf(argv[0]);
  if (type == SQLITE_INTEGER) {
    if (length < 0 || text.size() <= static_cast<std::size_t>(length))
      return sqlite3_result_text64(ctx, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    if (kind == DeclaredKind::kText) return sqlite3_result_text(ctx, "*", 1, SQLITE_STATIC);
    return sqlite3_result_error(ctx, "Arithmetic overflow error converting expression to data type nvarchar.", -1);
  }
  std::size_t end = 0;
  for (int used = 0; length >= 0 && end < text.size();) {
    const auto lead = static_cast<unsigned char>(text[end]);
    const std::size_t bytes = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    used += lead < 0x80 || (kind == DeclaredKind::kUnicodeText && bytes < 4) ? 1 : 2;
    if (used > length) break;
    end = std::min(end + bytes, text.size());
  }
  if (length < 0) end = text.size();
  sqlite3_result_text64(ctx, text.data(), end, SQLITE_TRANSIENT, SQLITE_UTF8);
}

bool IsNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '#' ||
         c == '$' || static_cast<unsigned char>(c) >= 0x80;
}

// The column's own name when a translated expression is a column reference (a, t.a, "a b"); empty
// otherwise. A view into the expression; `qualifier`, when asked, gets the name before it (t of t.a).
std::string_view ColumnNameOf(std::string_view expr, std::string_view* qualifier = nullptr) {
  std::string_view name, before;
  for (std::size_t i = 0; i < expr.size();) {
    before = name;
    if (expr[i] == '"') {
      const std::size_t close = expr.find('"', i + 1);
      if (close == std::string_view::npos || (close + 1 < expr.size() && expr[close + 1] == '"')) return {};
      name = expr.substr(i + 1, close - i - 1);
      i = close + 1;
    } else {
      const std::size_t start = i;
      while (i < expr.size() && IsNameCharacter(expr[i])) ++i;
      name = expr.substr(start, i - start);
      if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return {};
    }
    if (i == expr.size()) break;
    if (expr[i++] != '.') return {};
  }
  if (name.find('\'') != std::string_view::npos || before.find('\'') != std::string_view::npos) return {};
  if (qualifier) *qualifier = before;
  return name;
}

// The column whose type an expression keeps: the column itself, or the column under SUM (also as
// DeclaredIntSum checks it), MIN, MAX, ABS (also as the int rule checks it), or first in ISNULL or COALESCE (sum(sl),
// ifnull(sum(sl), 0)), also as a number outranking text reads it (DeclaredTextAsNumber); empty otherwise.
std::string TypedColumnOf(std::string_view expr, std::string_view* qualifier = nullptr) {
  // (x) COLLATE TSQL, as MIN and MAX compare an expression, keeps x's type.
  constexpr std::string_view kCollated = ") COLLATE TSQL";
  if (expr.size() > kCollated.size() + 1 && expr.front() == '(' && expr.ends_with(kCollated) &&
      ClosingOf(expr, 0) == expr.size() - kCollated.size())
    return TypedColumnOf(expr.substr(1, expr.size() - kCollated.size() - 1), qualifier);
  if (expr.empty() || expr.back() != ')') return std::string(ColumnNameOf(expr, qualifier));
  for (const std::string_view call :
       {"sum(", "min(", "max(", "abs(", "ifnull(", "coalesce(", "tsql_int_sum(", "tsql_int_abs(", "tsql_text_as_number("}) {
    if (expr.size() <= call.size() || !SameName(expr.substr(0, call.size()), call)) continue;
    std::string_view inner = expr.substr(call.size(), expr.size() - call.size() - 1);
    if (inner.size() > 9 && SameName(inner.substr(0, 9), "DISTINCT ")) inner.remove_prefix(9);
    // The first argument ends at the first comma outside parentheses and quotes; the call's own
    // parenthesis must close at the end.
    Nesting nesting;
    std::size_t end = 0;
    for (; end < inner.size(); ++end) {
      const char c = inner[end];
      if (!nesting.Outside(c)) continue;
      if (c == ')' && nesting.Depth() < 0) return "";
      if (c == ',' && nesting.Depth() == 0) break;
    }
    if (nesting.InQuotes() || nesting.Depth() != 0) return "";
    while (end > 0 && inner[end - 1] == ' ') --end;
    return TypedColumnOf(inner.substr(0, end), qualifier);
  }
  return std::string(ColumnNameOf(expr, qualifier));
}

}  // namespace

std::string DeclaredIntSum(std::string_view sum, std::string& column) {
  if (sum.size() < 6 || !SameName(sum.substr(0, 4), "sum(") || sum.back() != ')') return "";
  const std::size_t close = ClosingOf(sum, 3);
  if (close == std::string_view::npos || (close + 1 != sum.size() && !SameName(sum.substr(close + 1, 6), " OVER ")))
    return "";
  std::string_view inner = sum.substr(4, close - 4);
  if (inner.size() > 9 && SameName(inner.substr(0, 9), "DISTINCT ")) inner.remove_prefix(9);
  column = ColumnNameOf(inner);
  if (column.empty()) return "";
  std::string out;
  out.reserve(sum.size() + column.size() + 18);
  return ((((out += "tsql_int_sum(") += sum) += ", '") += column) += "')";
}

bool AppendIntColumnName(std::string& names, std::string_view column) {
  if (column.empty() || column.find_first_of(",'") != std::string_view::npos) return false;
  if (!EveryIntColumnName(names, [column](std::string_view name) { return !SameName(name, column); })) return true;
  if (names.size() > 256) return false;  // a term of many columns is seldom an int; not checked
  if (!names.empty()) names += ',';
  names += column;
  return true;
}

std::string IntColumnNamesThrough(std::string_view names, const std::vector<DerivedIntColumn>& columns) {
  std::string out;
  const bool whole = EveryIntColumnName(names, [&](std::string_view name) {
    const auto column = std::find_if(columns.begin(), columns.end(),
                                     [name](const DerivedIntColumn& c) { return SameName(c.column, name); });
    if (column == columns.end()) return AppendIntColumnName(out, name);
    if (!column->ints) return false;
    return EveryIntColumnName(column->names, [&out](std::string_view n) { return AppendIntColumnName(out, n); });
  });
  // No table has a column of this name, so no table declares the list int.
  return whole ? out : "*";
}

std::string IntChecksThrough(std::string_view text, const std::vector<DerivedIntColumn>& columns) {
  constexpr std::string_view kCheck = "tsql_int_";
  std::vector<std::pair<std::size_t, std::size_t>> lists;  // each list's text, between its quotes
  Nesting nesting;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!nesting.Outside(text[i]) || text.compare(i, kCheck.size(), kCheck) != 0) continue;
    const std::size_t open = text.find('(', i);
    if (open == std::string_view::npos) break;
    const std::string_view function = text.substr(i + kCheck.size(), open - i - kCheck.size());
    if (function == "abs" || function == "sum") {  // the list last: tsql_int_abs(abs(x), 'names')
      const std::size_t close = ClosingOf(text, open);
      if (close == std::string_view::npos || text[close - 1] != '\'') continue;
      const std::size_t quote = text.rfind('\'', close - 2);
      lists.emplace_back(quote + 1, close - 1);
    } else if (open + 1 < text.size() && text[open + 1] == '\'') {  // first: tsql_int_add('names', ...)
      lists.emplace_back(open + 2, text.find('\'', open + 2));
    }
  }
  std::sort(lists.begin(), lists.end());
  std::string out;
  std::size_t from = 0;
  for (const auto& [begin, end] : lists) {
    if (end == std::string_view::npos || begin < from) continue;
    out.append(text.substr(from, begin - from)) += IntColumnNamesThrough(text.substr(begin, end - begin), columns);
    from = end;
  }
  return out.append(text.substr(from));
}

std::string DeclaredDataLength(const std::string& expr) {
  const std::string_view column = ColumnNameOf(expr);
  if (column.empty()) return "tsql_datalength(" + expr + ", NULL)";
  return "tsql_datalength(" + expr + ", '" + std::string(column) + "')";
}

std::string DeclaredStyledText(const std::string& value, std::string_view style, const std::string& dateText,
                               const std::string& moneyText, const std::string& plainText) {
  const std::string_view column = ColumnNameOf(value);
  if (column.empty()) return {};
  return "CASE tsql_column_style('" + std::string(column) + "', '" + std::string(style) + "') WHEN 1 THEN " +
         moneyText + " WHEN 2 THEN " + plainText + " ELSE " + dateText + " END";
}

std::string DeclaredDefaultText(const std::string& value, const std::string& plainText) {
  // max(rq), isnull(rq, ...) keep the column's type, and so its text.
  const std::string column = TypedColumnOf(value);
  if (column.empty()) return {};
  const std::string style = "tsql_column_style('" + column + "', '')";
  return "CASE " + style + " WHEN 0 THEN tsql_default_style(" + value + ") WHEN 2 THEN " + plainText +
         " ELSE tsql_fraction_text(" + value + ", " + style + ") END";
}

std::string DeclaredCaseSensitivity(const std::string& value) {
  const std::string_view column = ColumnNameOf(value);
  if (column.empty()) return {};
  return "tsql_column_cs('" + std::string(column) + "')";
}

std::string DeclaredFactorValue(const std::string& factor) {
  // A product of int terms checked for int's range (AppendIntColumnName): its factors read alike.
  constexpr std::string_view kIntProduct = "tsql_int_multiply(";
  if (factor.starts_with(kIntProduct) && ClosingOf(factor, kIntProduct.size() - 1) == factor.size() - 1) {
    std::string out(kIntProduct);
    Nesting nesting;
    std::size_t from = kIntProduct.size();
    for (std::size_t i = from; i < factor.size(); ++i) {
      const char c = factor[i];
      // An argument ends at a comma outside parentheses, the last at the call's own parenthesis.
      if (!nesting.Outside(c) || !((c == ',' && nesting.Depth() == 0) || (c == ')' && nesting.Depth() < 0))) continue;
      const std::string_view argument = std::string_view(factor).substr(from, i - from);
      const std::size_t lead = argument.find_first_not_of(' ');
      if (from == kIntProduct.size() || lead == std::string_view::npos) out.append(argument);  // the names
      else out.append(argument.substr(0, lead)) += DeclaredFactorValue(std::string(argument.substr(lead)));
      out += c;
      from = i + 1;
    }
    return out;
  }
  if (factor.size() < 3 || factor.front() != '(' || ClosingOf(factor, 0) != factor.size() - 1)
    return DeclaredColumnValue(factor);
  const std::string_view inner = std::string_view(factor).substr(1, factor.size() - 2);
  if (inner.size() > 7 && (SameName(inner.substr(0, 7), "SELECT ") || SameName(inner.substr(0, 5), "WITH ")))
    return factor;  // a subquery's own columns are read where they stand
  // The factors are split at each '*' outside parentheses and quotes, each read on its own.
  std::string out = "(";
  std::size_t from = 0;
  Nesting nesting;
  for (std::size_t i = 0; i <= inner.size(); ++i) {
    const char c = i < inner.size() ? inner[i] : '*';
    if (nesting.Outside(c) && c == '*' && nesting.Depth() == 0) {
      const std::string_view piece = inner.substr(from, i - from);
      const std::size_t lead = piece.find_first_not_of(' ');
      if (lead == std::string_view::npos) {
        out.append(piece);
      } else {
        const std::size_t trail = piece.find_last_not_of(' ') + 1;
        out.append(piece.substr(0, lead));
        out += DeclaredFactorValue(std::string(piece.substr(lead, trail - lead)));
        out.append(piece.substr(trail));
      }
      if (i < inner.size()) out += '*';
      from = i + 1;
    }
  }
  return out + ")";
}

std::string DeclaredColumnValue(const std::string& expr) {
  const std::string column = TypedColumnOf(expr);
  return column.empty() ? expr : "tsql_column_value(" + expr + ", '" + column + "')";
}

namespace {

// tsql_column_literal(literal, 'column'), or the literal itself for no column.
std::string& AppendLiteralAsColumn(std::string& out, std::string_view literal, std::string_view column) {
  if (column.empty()) return out += literal;
  return ((((out += "tsql_column_literal(") += literal) += ", '") += column) += "')";
}

}  // namespace

bool IsColumnReference(std::string_view expr) { return !ColumnNameOf(expr).empty(); }

std::string DeclaredTextAsNumber(const std::string& columnExpr, int places) {
  const std::string_view column = ColumnNameOf(columnExpr);
  if (column.empty()) return columnExpr;
  return "tsql_text_as_number(" + columnExpr + ", '" + std::string(column) + "', " + std::to_string(places) + ")";
}

std::string DeclaredColumnLiteral(const std::string& columnExpr, const std::string& literal) {
  const std::string_view column = ColumnNameOf(columnExpr);
  std::string out;
  out.reserve(literal.size() + column.size() + 26);
  return AppendLiteralAsColumn(out, literal, column);
}

std::string DeclaredNullReplacement(const std::string& value, const std::string& literal, bool cut) {
  std::string_view qualifier;
  const std::string column = TypedColumnOf(value, &qualifier);
  std::string out;
  out.reserve(value.size() + literal.size() + column.size() + qualifier.size() + 40);
  ((out += "ifnull(") += value) += ", ";
  if (cut && !column.empty() && !qualifier.empty())
    return ((((((out += kQualifiedCut) += literal) += ", '") += column) += "', '") += qualifier) += "'))";
  AppendLiteralAsColumn(out, literal, column);
  if (cut && !column.empty()) out.insert(out.size() - 1, ", 1");
  return out += ')';
}

std::string QualifiedCutsThrough(std::string_view text, const std::vector<std::pair<std::string, std::string>>& tables) {
  std::string out;
  std::size_t from = 0;
  for (std::size_t at = text.find(kQualifiedCut); at != std::string_view::npos; at = text.find(kQualifiedCut, at + 1)) {
    const std::size_t close = ClosingOf(text, at + kQualifiedCut.size() - 1);
    if (close == std::string_view::npos || close < 2 || text[close - 1] != '\'') continue;
    const std::size_t quote = text.rfind('\'', close - 2);
    const std::string_view qualifier = text.substr(quote + 1, close - 2 - quote);
    if (qualifier.starts_with('=')) continue;  // read by a nested select already
    const auto table = std::find_if(tables.begin(), tables.end(),
                                    [qualifier](const auto& t) { return SameName(t.first, qualifier); });
    if (table == tables.end()) continue;  // an outer select's, or a derived table's
    (out.append(text.substr(from, quote + 1 - from)) += '=') += table->second;
    from = close - 1;
  }
  if (from == 0) return std::string(text);
  return out.append(text.substr(from));
}

std::string DeclaredNullReplacementLiteral(const std::string& isnullExpr, const std::string& literal) {
  std::size_t replacement = isnullExpr.rfind(", tsql_column_literal(");
  if (const std::size_t cut = isnullExpr.rfind(std::string(", ") + std::string(kQualifiedCut));
      cut != std::string::npos && (replacement == std::string::npos || cut > replacement))
    replacement = cut;
  if (!isnullExpr.starts_with("ifnull(") || replacement == std::string::npos) return literal;
  std::string out;
  return AppendLiteralAsColumn(out, literal, TypedColumnOf(std::string_view(isnullExpr).substr(7, replacement - 7)));
}

namespace {

bool InIntRange(std::int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

// tsql_int_sum(sum, 'name'): see DeclaredIntSum.
void IntSum(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER) {
    const std::int64_t sum = sqlite3_value_int64(argv[0]);
    if (!InIntRange(sum) && CachedKind(ctx, argv, 1) == DeclaredKind::kInt)
      return sqlite3_result_error(ctx, kIntOverflow, -1);
  }
  sqlite3_result_value(ctx, argv[0]);
}

// Whether every column named in argument `at` ('a,b'; '' for none) is an int column, read once per
// statement.
bool NamedColumnsAreInt(sqlite3_context* ctx, sqlite3_value** argv, int at = 0) {
  if (const auto* cached = static_cast<const bool*>(sqlite3_get_auxdata(ctx, at))) return *cached;
  const std::string names(TextOf(argv[at]));
  auto& kinds = **static_cast<std::shared_ptr<DeclaredColumnKinds>*>(sqlite3_user_data(ctx));
  sqlite3* db = sqlite3_context_db_handle(ctx);
  const bool allInt =
      EveryIntColumnName(names, [&](std::string_view name) { return kinds.Of(db, name) == DeclaredKind::kInt; });
  sqlite3_set_auxdata(ctx, at, new bool(allInt), [](void* p) { delete static_cast<bool*>(p); });
  return allInt;
}

// tsql_int_add, tsql_int_subtract, tsql_int_multiply: see AppendIntColumnName. Whole operands are
// folded here; anything else, or a step past int's range of columns that are no ints, is left to
// the operator's own function with the operands alone.
template <char kOp>
void IntArithmetic(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  const ScalarFunction general = kOp == '+' ? AddValues : kOp == '-' ? SubtractValues : MultiplyValues;
  for (int i = 1; i < argc; ++i)
    if (sqlite3_value_type(argv[i]) != SQLITE_INTEGER) return general(ctx, argc - 1, argv + 1);
  std::int64_t result = sqlite3_value_int64(argv[1]);
  for (int i = 2; i < argc; ++i) {
    const std::int64_t v = sqlite3_value_int64(argv[i]);
    const bool wrapped = kOp == '+'   ? __builtin_add_overflow(result, v, &result)
                         : kOp == '-' ? __builtin_sub_overflow(result, v, &result)
                                      : __builtin_mul_overflow(result, v, &result);
    if (wrapped || !InIntRange(result)) {
      if (NamedColumnsAreInt(ctx, argv)) return sqlite3_result_error(ctx, kIntOverflow, -1);
      return general(ctx, argc - 1, argv + 1);
    }
  }
  sqlite3_result_int64(ctx, result);
}

// tsql_int_divide('names', a, b): '/' of int terms, whose one quotient past int's range is that
// of the smallest int divided by -1. Anything else is left to tsql_divide.
void IntDivision(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[1]) == SQLITE_INTEGER && sqlite3_value_type(argv[2]) == SQLITE_INTEGER &&
      sqlite3_value_int64(argv[2]) == -1) {
    const std::int64_t dividend = sqlite3_value_int64(argv[1]);
    if ((dividend < -INT32_MAX || dividend > std::int64_t{INT32_MAX} + 1) && NamedColumnsAreInt(ctx, argv))
      return sqlite3_result_error(ctx, kIntOverflow, -1);
  }
  DivideValues(ctx, 2, argv + 1);
}

// tsql_int_abs(abs(x), 'names'): ABS of an int term, past int's range for the smallest int.
void IntAbs(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER && !InIntRange(sqlite3_value_int64(argv[0])) &&
      NamedColumnsAreInt(ctx, argv, 1))
    return sqlite3_result_error(ctx, kIntOverflow, -1);
  sqlite3_result_value(ctx, argv[0]);
}

// tsql_datalength(x, 'name' or NULL): see DeclaredDataLength.
void DataLength(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const int type = sqlite3_value_type(argv[0]);
  if (type == SQLITE_NULL) return sqlite3_result_null(ctx);
  const DeclaredKind kind = CachedKind(ctx, argv, 1);
  if (kind == DeclaredKind::kBit) return sqlite3_result_int(ctx, 1);
  const bool textual = kind == DeclaredKind::kOther || kind == DeclaredKind::kText || kind == DeclaredKind::kUnicodeText;
  if (type != SQLITE_TEXT || !textual)
    return sqlite3_result_error(ctx, "DATALENGTH of a number or a date is not supported by the embedded database.", -1);
  const std::string_view text = TextOf(argv[0]);
  std::int64_t bytes = 0;
  for (std::size_t i = 0; i < text.size();) {
    const char32_t c = NextCharacter(text, i);
    bytes += kind == DeclaredKind::kUnicodeText ? (c >= 0x10000 ? 4 : 2) : (c < 0x80 ? 1 : 2);
  }
  sqlite3_result_int64(ctx, bytes);
}

// tsql_column_style('name', 'style'): see DeclaredStyledText; 1 money, 2 a number, 0 a date.
// tsql_fraction_text(value, style): a datetime2 or time column's value as the server writes it
// without a style, "yyyy-mm-dd hh:mi:ss" or "hh:mi:ss" with the declared fraction digits (style
// 10 to 17 and 20 to 27, ColumnStyle). Text that is no date stays as it is.
void FractionText(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const std::string_view text = TextOf(argv[0]);
  const std::optional<DateTime> value = ParseDateText(text);
  const int style = sqlite3_value_int(argv[1]);
  if (!value || style < 10 || style > 27) return sqlite3_result_value(ctx, argv[0]);
  const int digits = style % 10;
  // The stored form keeps milliseconds: fewer digits round them, more are zeros.
  std::int64_t unit = 1;
  for (int d = digits; d < 3; ++d) unit *= 10;
  const std::int64_t moment = MomentOf(*value);
  const std::int64_t rest = ((moment % unit) + unit) % unit;
  const DateTime at = DateTimeAt(moment - rest + (rest * 2 >= unit ? unit : 0));
  const Date& d = at.date;
  char out[48];
  int n = style < 20 ? std::snprintf(out, sizeof out, "%04d-%02d-%02d ", d.year, d.month, d.day) : 0;
  n += std::snprintf(out + n, sizeof out - static_cast<std::size_t>(n), "%02d:%02d:%02d", d.hour, d.minute, d.second);
  if (digits > 0) {
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, "%03d0000", at.milliseconds);
    n += std::snprintf(out + n, sizeof out - static_cast<std::size_t>(n), ".%.*s", digits, fraction);
  }
  sqlite3_result_text(ctx, out, n, SQLITE_TRANSIENT);
}

// Without a style (''), see DeclaredDefaultText: 0 a datetime, 2 anything else, 10 plus the
// fraction digits a datetime2, 20 plus them a time (kinds agreeing on none: a datetime). 'float' is the
// same for CAST to float, which the server refuses for a date and a datetime2.
void ColumnStyle(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const DeclaredKind kind = CachedKind(ctx, argv, 0);
  if (TextOf(argv[1]) == "float" && (kind == DeclaredKind::kDateTime2 || kind == DeclaredKind::kDate)) {
    const std::string message = std::string("Explicit conversion from data type ") +
                                (kind == DeclaredKind::kDate ? "date" : "datetime2") + " to float is not allowed.";
    return sqlite3_result_error(ctx, message.c_str(), -1);
  }
  if (TextOf(argv[1]) == "float") return sqlite3_result_int(ctx, kind == DeclaredKind::kDateTime ? 0 : 2);
  if (TextOf(argv[1]).empty()) {
    if (kind == DeclaredKind::kDateTime) return sqlite3_result_int(ctx, 0);
    if (kind != DeclaredKind::kDateTime2 && kind != DeclaredKind::kOther) return sqlite3_result_int(ctx, 2);
    // Looked up once per statement, as the kind is.
    if (const auto* cached = static_cast<const int*>(sqlite3_get_auxdata(ctx, 1))) return sqlite3_result_int(ctx, *cached);
    auto& kinds = **static_cast<std::shared_ptr<DeclaredColumnKinds>*>(sqlite3_user_data(ctx));
    const int digits = kinds.FractionDigitsOf(sqlite3_context_db_handle(ctx), TextOf(argv[0]));
    const int style = digits >= 0 ? 10 + digits : kind == DeclaredKind::kDateTime2 ? 0 : 2;
    sqlite3_set_auxdata(ctx, 1, new int(style), [](void* p) { delete static_cast<int*>(p); });
    return sqlite3_result_int(ctx, style);
  }
  switch (kind) {
    case DeclaredKind::kMoney: {
      const std::string_view style = TextOf(argv[1]);
      if (style != "1" && style != "2" && style != "126") {
        const std::string message = "CONVERT style " + std::string(style) + " of money is not supported";
        return sqlite3_result_error(ctx, message.c_str(), -1);
      }
      return sqlite3_result_int(ctx, 1);
    }
    case DeclaredKind::kInt:
    case DeclaredKind::kBigInt:
    case DeclaredKind::kBit:
    case DeclaredKind::kDecimal:
    case DeclaredKind::kNumeric:
      return sqlite3_result_int(ctx, 2);
    default:
      return sqlite3_result_int(ctx, 0);
  }
}

}  // namespace

void RegisterDeclaredColumnValue(sqlite3* db) {
  constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
  const auto kinds = std::make_shared<DeclaredColumnKinds>();
  // Each registration holds the list until the connection drops the function (or refuses it).
  const auto userData = [&kinds] { return new std::shared_ptr<DeclaredColumnKinds>(kinds); };
  const auto release = [](void* p) { delete static_cast<std::shared_ptr<DeclaredColumnKinds>*>(p); };
  if (sqlite3_create_function_v2(db, "tsql_column_value", 2, flags, userData(), ColumnValue, nullptr, nullptr,
                                 release) != SQLITE_OK ||
      sqlite3_create_function_v2(db, "tsql_column_literal", 2, flags, userData(), ColumnLiteral, nullptr, nullptr,
                                 release) != SQLITE_OK ||
      sqlite3_create_function_v2(db, "tsql_text_as_number", 3, flags, userData(), TextAsNumber, nullptr, nullptr,
                                 release) != SQLITE_OK ||
      sqlite3_create_function_v2(db, "tsql_column_literal", 3, flags, userData(), ColumnReplacement, nullptr,
                                 nullptr, release) != SQLITE_OK ||
      sqlite3_create_function_v2(db, "tsql_column_cut", 3, flags, userData(), ColumnReplacement, nullptr, nullptr,
                                 release) != SQLITE_OK ||
      sqlite3_create_function_v2(db, "tsql_datalength", 2, flags, userData(), DataLength, nullptr, nullptr,
                                 release) != SQLITE_OK ||
      sqlite3_create_function_v2(db, "tsql_int_sum", 2, flags, userData(), IntSum, nullptr, nullptr, release) !=
          SQLITE_OK ||
      sqlite3_create_function_v2(db, "tsql_int_add", -1, flags, userData(), IntArithmetic<'+'>, nullptr, nullptr,
                                 release) != SQLITE_OK ||
      sqlite3_create_function_v2(db, "tsql_int_subtract", 3, flags, userData(), IntArithmetic<'-'>, nullptr,
                                 nullptr, release) != SQLITE_OK ||
      sqlite3_create_function_v2(db, "tsql_int_multiply", -1, flags, userData(), IntArithmetic<'*'>, nullptr,
                                 nullptr, release) != SQLITE_OK ||
      sqlite3_create_function_v2(db, "tsql_int_divide", 3, flags, userData(), IntDivision, nullptr, nullptr,
                                 release) != SQLITE_OK ||
      sqlite3_create_function_v2(db, "tsql_int_abs", 2, flags, userData(), IntAbs, nullptr, nullptr, release) !=
          SQLITE_OK ||
      sqlite3_create_function_v2(db, "tsql_column_style", 2, flags, userData(), ColumnStyle, nullptr, nullptr,
                                 release) != SQLITE_OK ||
      sqlite3_create_function_v2(db, "tsql_column_cs", 1, flags, userData(), ColumnCaseSensitive, nullptr, nullptr,
                                 release) != SQLITE_OK ||
      sqlite3_create_function_v2(db, "tsql_fraction_text", 2, flags, nullptr, FractionText, nullptr, nullptr,
                                 nullptr) != SQLITE_OK)
    throw Error::Provider(std::string("Registering tsql_column_value failed: ") + sqlite3_errmsg(db));
}

}  // namespace adodb::tsql
