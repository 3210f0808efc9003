#pragma once
// Test support for the embedded schema: a temporary database file and a raw connection to it
// holding the text collation, plus one-value queries.
#include <sqlite3.h>

#include <filesystem>
#include <string>

namespace schema_test {

// A file name in the temporary folder, removed when the test ends.
class TempDatabasePath {
 public:
  explicit TempDatabasePath(const std::string& stem);
  ~TempDatabasePath();
  TempDatabasePath(const TempDatabasePath&) = delete;
  TempDatabasePath& operator=(const TempDatabasePath&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

class RawConnection {
 public:
  explicit RawConnection(const std::string& path);
  ~RawConnection();
  RawConnection(const RawConnection&) = delete;
  RawConnection& operator=(const RawConnection&) = delete;

  // SQLITE_OK, or the failing result code (the message is in LastError()).
  int Execute(const std::string& sql);
  std::string LastError() const { return sqlite3_errmsg(db_); }
  double Number(const std::string& sql);
  std::string Text(const std::string& sql);  // NULL and no row give ""
  bool IsNull(const std::string& sql);
  sqlite3* Handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace schema_test
