#pragma once
// Database files the many-process tests copy, hand to children and read back: a copy that leaves
// no log of an earlier file beside it, the tables read through a connection of their own, the
// SQLite handle of a session (to trace or hold its statements), and another clerk's process
// holding the file's write lock.
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "adodb/Connection.h"
#include "adodb/SqliteBackend.h"
#include "db/DatabaseFactory.h"
#include "host/Session.h"
#include "support/StockTables.h"

namespace testsupport {

inline void CopyDatabaseFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(to.string() + suffix);
  std::filesystem::copy_file(from, to);
}

inline std::string FullDumpOf(const std::filesystem::path& path) {
  const auto connection = std::make_shared<adodb::Connection>();  // record sets keep their connection
  connection->Open(storeadjust::db::EmbeddedConnectionString(path.string()));
  return FullDump(*connection);
}

inline sqlite3* HandleOf(storeadjust::Session& session) {
  return dynamic_cast<adodb::SqliteBackend&>(session.Conn->GetBackend()).Handle();
}

// Another clerk's process holding the file's write lock (its transaction begun, nothing written)
// from construction until Release(). Made before this process opens the file: a child must not
// inherit open connections.
class WriteLockHolder {
 public:
  explicit WriteLockHolder(const std::string& path) {
    int held[2];
    if (pipe(held) != 0 || pipe(release_) != 0) return;
    child_ = fork();
    if (child_ == 0) {
      close(held[0]);
      close(release_[1]);
      sqlite3* db = nullptr;
      char byte = 'h';
      if (sqlite3_open(path.c_str(), &db) != SQLITE_OK || sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) ||
          write(held[1], &byte, 1) != 1) {
        _exit(1);
      }
      [[maybe_unused]] const auto released = read(release_[0], &byte, 1);  // 0 bytes: the parent closed it
      sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
      sqlite3_close(db);
      _exit(0);
    }
    close(held[1]);
    close(release_[0]);
    char byte = 0;
    held_ = read(held[0], &byte, 1) == 1;
    close(held[0]);
  }
  ~WriteLockHolder() { Release(); }
  WriteLockHolder(const WriteLockHolder&) = delete;
  WriteLockHolder& operator=(const WriteLockHolder&) = delete;

  bool Held() const { return held_; }
  void Release() {
    if (child_ <= 0) return;
    close(release_[1]);
    waitpid(child_, nullptr, 0);
    child_ = -1;
  }

 private:
  pid_t child_ = -1;
  int release_[2] = {-1, -1};
  bool held_ = false;
};

}  // namespace testsupport
