#pragma once
// A raw SQLite connection to one database file, used only to build databases (schema and demo
// rows) before any session opens them. It holds the text collation from the moment it opens.
// Not copyable; closes the file when destroyed. Every failure throws adodb::Error with SQLite's
// own message.
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "db/SqlValue.h"

struct sqlite3;

namespace storeadjust::db {

class SqliteFile {
 public:
  // Opens (creating when missing) the file at path.
  explicit SqliteFile(const std::string& path);
  ~SqliteFile();
  SqliteFile(const SqliteFile&) = delete;
  SqliteFile& operator=(const SqliteFile&) = delete;

  // Runs one or more statements that return no rows.
  void Execute(std::string_view sql);
  // Inserts each row (values in the order of columns) through one prepared statement.
  void Insert(std::string_view table, const std::vector<std::string>& columns,
              const std::vector<std::vector<SqlValue>>& rows);
  // The first column of the first row of a query, as a real number (0 when no row or NULL).
  double QueryNumber(std::string_view sql);

  sqlite3* Handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace storeadjust::db
