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

// kDecimal when every table holding a column of the name declares a decimal, money or floating
// type, kDateTime or kDate when every one declares that, kOther for no such column, text, whole
// numbers or tables that disagree.
enum class DeclaredKind { kOther, kDecimal, kDateTime, kDate };

class DeclaredColumnKinds {
 public:
  DeclaredKind Of(sqlite3* db, std::string_view column);

 private:
  // The schema versions of the main and temp databases the list was read under: a table made or
  // dropped since (a temp table of a batch, say) changes one of them.
  struct SchemaVersions {
    int main = -1, temp = -1;
    bool operator==(const SchemaVersions&) const = default;
  };
  static SchemaVersions VersionsOf(sqlite3* db);
  void Read(sqlite3* db);

  SchemaVersions readUnder_;
  std::unordered_map<std::string, DeclaredKind> kinds_;  // by lower-case name
};

}  // namespace adodb::tsql
