#include "schema_support.h"

#include <unistd.h>

#include <atomic>
#include <stdexcept>

#include "db/TextCollation.h"

namespace schema_test {
namespace {

class Statement {
 public:
  Statement(sqlite3* db, const std::string& sql) {
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement_, nullptr) != SQLITE_OK) {
      throw std::runtime_error(std::string(sqlite3_errmsg(db)) + " [" + sql + "]");
    }
  }
  ~Statement() { sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  bool Step() { return sqlite3_step(statement_) == SQLITE_ROW; }
  sqlite3_stmt* Get() const { return statement_; }

 private:
  sqlite3_stmt* statement_ = nullptr;
};

}  // namespace

TempDatabasePath::TempDatabasePath(const std::string& stem) {
  static std::atomic<int> counter{0};
  path_ = (std::filesystem::temp_directory_path() /
           (stem + "-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".db"))
              .string();
  std::filesystem::remove(path_);
}

TempDatabasePath::~TempDatabasePath() {
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

RawConnection::RawConnection(const std::string& path) {
  if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    throw std::runtime_error("cannot open " + path);
  }
  storeadjust::db::EnsureTextCollation(db_);
}

RawConnection::~RawConnection() { sqlite3_close(db_); }

int RawConnection::Execute(const std::string& sql) { return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr); }

double RawConnection::Number(const std::string& sql) {
  Statement statement(db_, sql);
  return statement.Step() ? sqlite3_column_double(statement.Get(), 0) : 0;
}

std::string RawConnection::Text(const std::string& sql) {
  Statement statement(db_, sql);
  if (!statement.Step()) return {};
  const auto* text = sqlite3_column_text(statement.Get(), 0);
  return text ? reinterpret_cast<const char*>(text) : "";
}

bool RawConnection::IsNull(const std::string& sql) {
  Statement statement(db_, sql);
  return !statement.Step() || sqlite3_column_type(statement.Get(), 0) == SQLITE_NULL;
}

}  // namespace schema_test
