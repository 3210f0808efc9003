#pragma once
// What the tables of a connection declare their columns to be, by column name, for the functions
// that read a value as its column's declared type (DeclaredColumnValue.h). The whole list is read
// once per schema and kept: asking the schema afresh for every prepared statement cost some
// 150 µs, more than running most statements.
#include <sqlite3.h>

#include <string>
#include <string_view>
#include <unordered_map>

namespace adodb::tsql {

// kNumeric (decimal, numeric), kMoney (money, smallmoney), kFloat (float, real), kInt (int,
// smallint, tinyint), kBigInt, kBit, kDateTime (datetime, smalldatetime), kDateTime2, kDate, kText (char, varchar, text) or kUnicodeText (nchar,
// nvarchar, ntext) when every table holding a column of the name declares that; kDecimal when
// they declare fractional types that differ; kOther for no such column, another type, or tables
// that disagree otherwise (datetime and datetime2: kDateTime2). A column of no declared type (an
// expression's, made by SELECT ... INTO) is left out.
enum class DeclaredKind {
  kOther, kDecimal, kNumeric, kMoney, kFloat, kInt, kBigInt, kBit, kDateTime, kDateTime2, kDate, kText, kUnicodeText
};

// Whether whole values of the kind are decimals, whose division keeps the fraction.
inline bool HoldsFractions(DeclaredKind kind) {
  return kind == DeclaredKind::kDecimal || kind == DeclaredKind::kNumeric || kind == DeclaredKind::kMoney ||
         kind == DeclaredKind::kFloat;
}

class DeclaredColumnKinds {
 public:
  DeclaredKind Of(sqlite3* db, std::string_view column);
  // The length every table holding a column of the name declares it char, varchar, nchar or
  // nvarchar with; -1 for none, (max), or lengths that differ. With `table`, the length that
  // table declares, when it has a column of the name.
  int TextLengthOf(sqlite3* db, std::string_view column, std::string_view table = {});
  // The fraction digits every table holding a column of the name declares it datetime2 (0 to 7)
  // or time (10 to 17, the digits plus 10) with; -1 for another type or declarations that differ.
  int FractionDigitsOf(sqlite3* db, std::string_view column);
  // Whether every table holding a column of the name declares it with a collation that compares
  // by the characters (RTRIM, which a case-sensitive or binary collation of the server becomes).
  bool ComparesByCharacters(sqlite3* db, std::string_view column);

  // The schema versions of the main and temp databases: a table made or dropped, on this
  // connection or another (a temp table of a batch, say), changes one of them; -1 unread.
  struct SchemaVersions {
    int main = -1, temp = -1;
    bool operator==(const SchemaVersions&) const = default;
  };
  static SchemaVersions VersionsOf(sqlite3* db);

 private:
  void Read(sqlite3* db);
  void ReadIfChanged(sqlite3* db);

  SchemaVersions readUnder_;  // the versions the list was read under
  std::unordered_map<std::string, DeclaredKind> kinds_;  // by lower-case name
  std::unordered_map<std::string, int> textLengths_;  // by lower-case name
  std::unordered_map<std::string, int> tableTextLengths_;  // by lower-case "table.name"
  std::unordered_map<std::string, int> fractionDigits_;  // by lower-case name
  std::unordered_map<std::string, bool> byCharacters_;  // by lower-case name
};

}  // namespace adodb::tsql
