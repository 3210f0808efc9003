#include "adodb/SqliteFileOpening.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "adodb/Error.h"

namespace adodb {
namespace {

// Closes the connection (which SQLite hands back even when opening fails) and throws its words.
[[noreturn]] void ThrowOpenFailure(sqlite3* db, int rc) {
  std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  sqlite3_close(db);
  throw Error::Provider(std::move(message));
}

sqlite3* Open(const std::string& name, int flags) {
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(name.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) ThrowOpenFailure(db, rc);
  sqlite3_busy_timeout(db, 30000);
  return db;
}

// Reading the schema is the first read: it opens the WAL index when the file is in WAL mode.
int FirstRead(sqlite3* db) {
  const int rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
  return rc == SQLITE_OK ? rc : sqlite3_extended_errcode(db);
}

// The WAL index cannot be made beside the file: on read-only media, or in a folder this user may
// not write (where even a file he may write cannot be read: "attempt to write a readonly database").
bool CannotMakeWalIndex(int rc) { return (rc & 0xff) == SQLITE_CANTOPEN || rc == SQLITE_READONLY_DIRECTORY; }

bool HasUncheckpointedLog(const std::string& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path + "-wal", error);
  return !error && size > 0;
}

}  // namespace

std::string ImmutableFileUri(const std::string& path) {
  std::string uri = "file:";
  for (const char c : path) {
    if (c == '?' || c == '#' || c == '%') {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
      uri += escaped;
    } else {
      uri += c;
    }
  }
  return uri + "?immutable=1";
}

sqlite3* OpenDatabaseFile(const std::string& path, bool readOnly) {
  sqlite3* db = Open(path, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
  const int rc = FirstRead(db);
  if (rc == SQLITE_OK) return db;
  if (!CannotMakeWalIndex(rc) || HasUncheckpointedLog(path)) ThrowOpenFailure(db, rc);
  sqlite3_close(db);
  db = Open(ImmutableFileUri(path), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
  if (const int again = FirstRead(db); again != SQLITE_OK) ThrowOpenFailure(db, again);
  return db;
}

}  // namespace adodb
