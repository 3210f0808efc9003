#pragma once
// Database files the many-process tests copy, hand to children and read back: a copy that leaves
// no log of an earlier file beside it, the tables read through a connection of their own, and the
// SQLite handle of a session (to trace or hold its statements).
#include <sqlite3.h>

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

}  // namespace testsupport
