#include "db/TextCollation.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "adodb/Error.h"
#include "adodb/tsql/SqliteFunctions.h"

namespace storeadjust::db {
namespace {

int WithoutTrailingBlanks(const unsigned char* text, int length) {
  while (length > 0 && text[length - 1] == ' ') --length;
  return length;
}

unsigned char FoldAsciiCase(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

// SQL Server's default comparison for the characters the ERP uses in codes: ASCII letters
// fold to one case, every other byte (Chinese text in UTF-8 included) compares as it is, and
// trailing blanks do not count.
int CompareLikeSqlServer(void*, int leftLength, const void* left, int rightLength, const void* right) {
  const auto* a = static_cast<const unsigned char*>(left);
  const auto* b = static_cast<const unsigned char*>(right);
  const int lengthA = WithoutTrailingBlanks(a, leftLength);
  const int lengthB = WithoutTrailingBlanks(b, rightLength);
  const int common = std::min(lengthA, lengthB);
  for (int i = 0; i < common; ++i) {
    const unsigned char x = FoldAsciiCase(a[i]);
    const unsigned char y = FoldAsciiCase(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return lengthA == lengthB ? 0 : (lengthA < lengthB ? -1 : 1);
}

}  // namespace

bool HasCollation(sqlite3* db, const char* name) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, "PRAGMA collation_list", -1, &statement, nullptr) != SQLITE_OK) {
    throw adodb::Error::Provider(sqlite3_errmsg(db));
  }
  bool found = false;
  while (!found && sqlite3_step(statement) == SQLITE_ROW) {
    const auto* listed = reinterpret_cast<const char*>(sqlite3_column_text(statement, 1));
    found = listed != nullptr && sqlite3_stricmp(listed, name) == 0;
  }
  sqlite3_finalize(statement);
  return found;
}

void EnsureTextCollation(sqlite3* db) {
  adodb::tsql::RegisterSqliteFunctions(db);
  if (HasCollation(db, kTextCollation)) return;
  if (sqlite3_create_collation_v2(db, kTextCollation, SQLITE_UTF8, nullptr, CompareLikeSqlServer, nullptr) != SQLITE_OK) {
    throw adodb::Error::Provider(sqlite3_errmsg(db));
  }
}

}  // namespace storeadjust::db
