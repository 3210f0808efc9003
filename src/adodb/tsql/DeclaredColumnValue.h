#pragma once
// SQLite stores a whole value of a decimal column as an integer (3648.00 money is 3648), so the
// values alone cannot tell an int column from a decimal one, where T-SQL's results differ: AVG
// of whole decimals keeps its fraction, and 3648 / 240 is 15.2 when either side is decimal but 15
// between ints. Where such a value is a column, the translation reads
// tsql_column_value(x, 'name'), which gives whole values as decimals when every table holding a
// column of that name declares it decimal, numeric, money or float, and leaves x as it is
// otherwise (no such column, whole-number types, tables that disagree). The schema is read once
// per statement.
#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct sqlite3;

namespace adodb::tsql {

// expr read through tsql_column_value when it is a column reference, or keeps a column's type:
// sum(sl), max(sl), isnull(sum(sl), 0) (so sum(je) / sum(sl) divides as decimals); expr itself
// otherwise.
std::string DeclaredColumnValue(const std::string& expr);

// A factor of a product that is divided, or a divisor: as DeclaredColumnValue, and a parenthesised
// product ((sl * dj) / 2) has each of its factors read so, at any depth of parentheses: whole
// values of decimal columns would multiply to a whole number and divide as one.
std::string DeclaredFactorValue(const std::string& factor);

// A text literal compared with a column: SQL Server converts it to the column's type, so
// '2024-03-05' against a datetime is midnight of that day and '20240305' the same day. SQLite
// compares the stored 'YYYY-MM-DD HH:MM:SS' with the literal's characters instead (and takes
// '20240305' for a number, below every text). tsql_column_literal(literal, 'name') gives the
// literal in the stored datetime (or date) form when every table holding a column of that name
// declares it so, and the literal itself otherwise; blank text is 1900-01-01, as the server
// converts it. Against a number or bit column the text is converted to its type as the server
// converts it: blank text is int, bit and money 0 but no decimal. Only literals that read as
// dates, CONVERTs with a date style, and text in place of a column's NULL (ISNULL) are wrapped.
std::string DeclaredColumnLiteral(const std::string& columnExpr, const std::string& literal);

// A column beside a number in a UNION, whose column is of the number's type: a text column's
// value converted as CAST to int (places < 0) or to a decimal of those places converts it, text
// that is no number being the server's conversion error; any other column's value as it is.
// tsql_text_as_number(column, 'name', places).
std::string DeclaredTextAsNumber(const std::string& columnExpr, int places);

// Whether a translated expression is a column reference (a, t.a, "a b"), as DeclaredColumnLiteral
// reads its column.
bool IsColumnReference(std::string_view expr);

// ISNULL(value, literal) with a text literal: ifnull(value, literal), the literal read as
// DeclaredColumnLiteral reads it when the value is a column or keeps one's type (max(shrq)), the
// ISNULL being of its type: isnull(shrq, '') of a NULL datetime is 1900-01-01 00:00:00, of a NULL
// int 0. With `cut` (ISNULL, not COALESCE, whose type is the longest of its arguments) text in
// place of a char, varchar, nchar or nvarchar(n) column's NULL is cut to n, as the server converts
// it to the column's type: isnull(varchar(3) column, 'abcdef') is 'abc'.
// A column named with its table or alias (isnull(a.bz, b.bz)) is cut by that table's length, as
// tables declaring one name with different lengths leave the name's own unknown: written
// tsql_column_cut(replacement, 'bz', 'a') until QualifiedCutsThrough reads the alias.
std::string DeclaredNullReplacement(const std::string& value, const std::string& literal, bool cut = false);

inline constexpr std::string_view kQualifiedCut = "tsql_column_cut(";

// `text` with each qualifier of its tsql_column_cut calls that names one of `tables` (reference,
// table) written "=table"; others are left for an enclosing select.
std::string QualifiedCutsThrough(std::string_view text, const std::vector<std::pair<std::string, std::string>>& tables);

// A text literal compared with ISNULL(column, text), as the ISNULL rule writes it: read as
// DeclaredColumnLiteral reads one compared with the column, the ISNULL being of the column's type
// (isnull(shrq, '') = '' holds for a NULL datetime, both sides being 1900-01-01). The literal
// itself for any other expression.
std::string DeclaredNullReplacementLiteral(const std::string& isnullExpr, const std::string& literal);

// SUM(column) as SQLite writes it, "sum(x)", also over a window ("sum(x) OVER (...)"): of an int
// column (int, smallint or tinyint, not bigint) it is an int on SQL Server, and a sum past int's
// range, a running one too, is its error "Arithmetic overflow error converting expression to data
// type int."; SQLite sums into 64 bits. The sum read through tsql_int_sum(sum(x), 'x'), which
// checks the range when every table holding a column of that name declares it so, and `column`
// set to x; empty when the sum is of no column, which is left as it is.
std::string DeclaredIntSum(std::string_view sum, std::string& column);

// The arithmetic of terms that are int on SQL Server when the named columns are (int literals,
// COUNT, and columns): tsql_int_add('a,b', x, y, ...), tsql_int_subtract('a,b', x, y),
// tsql_int_multiply('a,b', x, y, ...), tsql_int_divide('a,b', x, y) and tsql_int_abs(abs(x), 'a')
// give what tsql_add, tsql_subtract, SQLite's '*', tsql_divide and abs give,
// and SQL Server's error "Arithmetic overflow error converting expression to data type int." when
// a step leaves int's range and every table holding each named column declares it int, smallint
// or tinyint (no names: literals and counts alone). A name holding a comma or a quote gives no
// such term (false).
bool AppendIntColumnName(std::string& names, std::string_view column);

// Whether `holds` is true of every name of such a list ('a,b'; '' names none).
template <typename Predicate>
bool EveryIntColumnName(std::string_view names, Predicate&& holds) {
  for (std::size_t from = 0; from < names.size();) {
    const std::size_t comma = std::min(names.find(',', from), names.size());
    if (!holds(names.substr(from, comma - from))) return false;
    from = comma + 1;
  }
  return true;
}

// A column of a derived table as the outer select's int checks name it: `column`, the name the
// derived select gives it, stands for `names`, the columns of its int term ('' for literals and
// counts alone), or for no int at all when `ints` is false.
struct DerivedIntColumn {
  std::string column;
  std::string names;
  bool ints = false;
};

// The list `names` with each derived table's column replaced by what it stands for; a column
// that is no int makes the list one that no table declares int.
std::string IntColumnNamesThrough(std::string_view names, const std::vector<DerivedIntColumn>& columns);

// Each list of names in the int checks written in `text` (see AppendIntColumnName), read through
// `columns` as IntColumnNamesThrough reads it.
std::string IntChecksThrough(std::string_view text, const std::vector<DerivedIntColumn>& columns);

// DATALENGTH(expr): the bytes SQL Server keeps the text in, by its column's declared type when it
// is a column: two a character for nchar, nvarchar and ntext (four past the 16-bit range); for
// char, varchar, text and any text that is no column, as the server's Chinese code page keeps
// them, one a character of ASCII and two for any other. A bit column's value is one byte. Trailing
// blanks count. Other numbers and dates are refused when run: the embedded database does not keep
// their size (an int is 4 bytes, a bigint 8, a decimal's depends on its precision).
std::string DeclaredDataLength(const std::string& expr);

// CONVERT(varchar, column, style): the style is a date's, a money's or none (other numbers), by
// the column's declared type, which only the schema tells: convert(varchar, je, 1) of a money
// column groups the thousands where a datetime's 1 writes mm/dd/yy. A CASE on
// tsql_column_style('name', 'style') picking `moneyText` for money (the style refused when it
// is none of money's), `plainText` for int, bigint, bit, decimal and numeric columns, and
// `dateText` for the rest; empty when the value is no column.
std::string DeclaredStyledText(const std::string& value, std::string_view style, const std::string& dateText,
                               const std::string& moneyText, const std::string& plainText);

// CAST(column AS varchar), CONVERT(varchar, column) without a style: a datetime or smalldatetime
// column is written as the server writes those by default ('Mar  5 2024  1:04PM', as style 0),
// any other column as `plainText`; so is MAX, MIN or ISNULL of a column, which keep its type. A
// CASE on tsql_column_style('name', ''); empty when the value neither is nor keeps a column.
std::string DeclaredDefaultText(const std::string& value, const std::string& plainText);

// LIKE of a column with no collation written beside it: the server matches by the column's own
// collation, letters in their own case for a case-sensitive or binary one. tsql_column_cs('name'),
// 1 when every table holding a column of the name declares it so; empty when the value is no column.
std::string DeclaredCaseSensitivity(const std::string& value);

void RegisterDeclaredColumnValue(sqlite3* db);

}  // namespace adodb::tsql
