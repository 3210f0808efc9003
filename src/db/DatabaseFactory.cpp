#include "db/DatabaseFactory.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>

#include "adodb/ConnectionString.h"
#include "adodb/Error.h"
#include "db/DecimalColumns.h"
#include "db/DemoData.h"
#include "db/Schema.h"
#include "db/SqliteFile.h"

namespace storeadjust::db {
namespace {

// A folder, or a file with content, is someone's: it is refused before anything is opened.
void RefuseExistingDatabase(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    throw adodb::Error::Provider(path + " 是目录，不是数据库文件。请在目录后面加上要建的文件名，例如 " +
                                 (std::filesystem::path(path) / "调拨单.db").string() + "。");
  }
  const auto size = std::filesystem::file_size(path, error);
  if (!error && size > 0) {
    throw adodb::Error::Provider("数据库文件 " + path + " 已经存在且有内容，没有覆盖它。请换一个新的文件名。");
  }
}

// SQLite says only "unable to open database file" where the file cannot be made: the folder is
// named instead, with why.
void RefuseUnusableFolder(const std::string& path) {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::absolute(path, error).lexically_normal().parent_path();
  if (!std::filesystem::is_directory(folder, error)) {
    throw adodb::Error::Provider("目录 " + folder.string() + " 不存在，没有建数据库文件 " + path + "。请先建这个目录，或换一个路径。");
  }
  if (access(folder.c_str(), W_OK | X_OK) == 0) return;
  const std::string why = errno == EROFS ? "所在的磁盘是只读的" : "没有写权限";
  throw adodb::Error::Provider("在目录 " + folder.string() + " 中建不了数据库文件（" + why + "）。请换一个可以写的目录。");
}

void CreateSchema(SqliteFile& db) {
  for (const auto& table : SchemaTables()) {
    db.Execute(CreateTableStatement(table));
    for (const auto& trigger : StoredDateTriggers(table)) db.Execute(trigger);
    for (const auto& trigger : StoredDecimalTriggers(table)) db.Execute(trigger);
  }
  for (const auto& index : SchemaIndexes()) db.Execute(index);
}

void FillDatabase(const std::string& path, const std::function<void(SqliteFile&)>& fill) {
  SqliteFile db(path);
  db.Execute("begin");
  CreateSchema(db);
  fill(db);
  db.Execute("commit");
}

// A build cut short (Ctrl+C, a kill) leaves its aside file and journal behind; nothing else uses
// them once the process that named them is gone, so the next build of the same file clears them.
// A number that names a live process is left alone: it may be building now.
void RemoveStaleBuildingFiles(const std::string& path) {
  const std::filesystem::path target(path);
  const std::string prefix = target.filename().string() + ".building-";
  std::error_code error;
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const char* digits = name.c_str() + prefix.size();
    char* end = nullptr;
    const long pid = std::strtol(digits, &end, 10);
    const std::string rest(end);
    if (end == digits || pid <= 0 || !(rest.empty() || rest == "-journal" || rest == "-wal" || rest == "-shm")) continue;
    if (kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    std::error_code ignored;
    std::filesystem::remove(entry.path(), ignored);
  }
}

// Writes the whole database in one transaction. An empty file that was there before is the
// user's: it is filled where it is and stays when building fails. A file made here is built aside
// and put in place whole, under a name no one else takes: another program started at the same
// moment (the clerk's second launcher on a first run) never meets it half-built, nor has it
// removed under its feet, and whichever finishes second finds the first one's and keeps it.
void BuildDatabase(const std::string& path, const std::function<void(SqliteFile&)>& fill) {
  RefuseExistingDatabase(path);
  std::error_code error;
  if (std::filesystem::exists(std::filesystem::symlink_status(path, error))) return FillDatabase(path, fill);
  RefuseUnusableFolder(path);
  RemoveStaleBuildingFiles(path);
  const std::string building = path + ".building-" + std::to_string(getpid());
  std::error_code ignored;
  try {
    FillDatabase(building, fill);
  } catch (...) {
    std::filesystem::remove(building, ignored);
    throw;
  }
  const bool placed = link(building.c_str(), path.c_str()) == 0;
  const int why = errno;
  std::filesystem::remove(building, ignored);
  if (placed) return;
  RefuseExistingDatabase(path);
  throw adodb::Error::Provider(std::string(std::strerror(why)) + ": " + path);
}

}  // namespace

void CreateEmptyDatabase(const std::string& path) {
  BuildDatabase(path, [](SqliteFile&) {});
}

void CreateDemoDatabase(const std::string& path) {
  BuildDatabase(path, [](SqliteFile& db) {
    FillDemoCatalog(db);
    FillDemoSettings(db);
    FillDemoOperators(db);
    FillDemoStock(db);
  });
}

std::string EmbeddedConnectionString(const std::string& path) {
  return "Provider=SQLite;Data Source=" + adodb::ConnectionString::Quoted(path);
}

}  // namespace storeadjust::db
