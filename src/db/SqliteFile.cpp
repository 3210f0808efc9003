#include "db/SqliteFile.h"

#include <sqlite3.h>

#include "adodb/Error.h"
#include "db/TextCollation.h"

namespace storeadjust::db {
namespace {

// Finalizes a prepared statement on every path out of a scope.
class PreparedStatement {
 public:
  PreparedStatement(sqlite3* db, std::string_view sql) {
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement_, nullptr) != SQLITE_OK) {
      throw adodb::Error::Syntax(std::string(sqlite3_errmsg(db)) + " [" + std::string(sql) + "]");
    }
  }
  ~PreparedStatement() { sqlite3_finalize(statement_); }
  PreparedStatement(const PreparedStatement&) = delete;
  PreparedStatement& operator=(const PreparedStatement&) = delete;
  sqlite3_stmt* Get() const { return statement_; }

 private:
  sqlite3_stmt* statement_ = nullptr;
};

void Bind(sqlite3_stmt* statement, int position, const SqlValue& value) {
  const auto& held = value.Value();
  if (std::holds_alternative<std::int64_t>(held)) {
    sqlite3_bind_int64(statement, position, std::get<std::int64_t>(held));
  } else if (std::holds_alternative<double>(held)) {
    sqlite3_bind_double(statement, position, std::get<double>(held));
  } else if (std::holds_alternative<std::string>(held)) {
    const auto& text = std::get<std::string>(held);
    sqlite3_bind_text(statement, position, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  } else {
    sqlite3_bind_null(statement, position);
  }
}

std::string InsertStatement(std::string_view table, const std::vector<std::string>& columns) {
  std::string names;
  std::string markers;
  for (const auto& column : columns) {
    names += (names.empty() ? "" : ",") + column;
    markers += markers.empty() ? "?" : ",?";
  }
  return "insert into " + std::string(table) + " (" + names + ") values (" + markers + ")";
}

}  // namespace

SqliteFile::SqliteFile(const std::string& path) {
  if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    throw adodb::Error::Provider(message + ": " + path);
  }
  try {
    EnsureTextCollation(db_);
  } catch (...) {
    sqlite3_close(db_);
    throw;
  }
}

SqliteFile::~SqliteFile() { sqlite3_close(db_); }

void SqliteFile::Execute(std::string_view sql) {
  char* error = nullptr;
  if (sqlite3_exec(db_, std::string(sql).c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = error ? error : sqlite3_errmsg(db_);
    sqlite3_free(error);
    throw adodb::Error::Syntax(message + " [" + std::string(sql.substr(0, 200)) + "]");
  }
}

void SqliteFile::Insert(std::string_view table, const std::vector<std::string>& columns,
                        const std::vector<std::vector<SqlValue>>& rows) {
  PreparedStatement statement(db_, InsertStatement(table, columns));
  for (const auto& row : rows) {
    if (row.size() != columns.size()) {
      throw adodb::Error::Provider("Row of " + std::string(table) + " has " + std::to_string(row.size()) +
                                   " values for " + std::to_string(columns.size()) + " columns");
    }
    sqlite3_reset(statement.Get());
    for (std::size_t i = 0; i < row.size(); ++i) Bind(statement.Get(), static_cast<int>(i + 1), row[i]);
    const int result = sqlite3_step(statement.Get());
    if (result != SQLITE_DONE) {
      const std::string message = std::string(sqlite3_errmsg(db_)) + " (insert into " + std::string(table) + ")";
      if ((result & 0xff) == SQLITE_CONSTRAINT) throw adodb::Error::Integrity(message);
      throw adodb::Error::Provider(message);
    }
  }
}

double SqliteFile::QueryNumber(std::string_view sql) {
  PreparedStatement statement(db_, sql);
  const int result = sqlite3_step(statement.Get());
  if (result == SQLITE_ROW) return sqlite3_column_double(statement.Get(), 0);
  if (result == SQLITE_DONE) return 0;
  throw adodb::Error::Provider(sqlite3_errmsg(db_));
}

}  // namespace storeadjust::db
