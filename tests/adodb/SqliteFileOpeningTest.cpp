// A module database on read-only media opens read-only, whoever runs the test: a VFS in front of
// the default one plays the media (files open read-only, nothing can be created, the WAL index
// cannot be made), as a read-only mount does even for the superuser.
#include "adodb/SqliteFileOpening.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "adodb/BoundValues.h"
#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "adodb/Recordset.h"
#include "support/ErrorOf.h"
#include "support/TempDatabase.h"

namespace {

using testsupport::ErrorOf;

// ---- the read-only media ------------------------------------------------------------------
sqlite3_vfs* realVfs = nullptr;

// The real file's methods, but the WAL index is a file beside the database: the media cannot hold one.
sqlite3_io_methods mediaMethods{};

int OpenOnMedia(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
  int exists = 0;
  if (name) realVfs->xAccess(realVfs, name, SQLITE_ACCESS_EXISTS, &exists);
  if (!exists) return SQLITE_CANTOPEN;
  flags = (flags & ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) | SQLITE_OPEN_READONLY;
  const int rc = realVfs->xOpen(realVfs, name, file, flags, outFlags);
  if (rc != SQLITE_OK) return rc;
  mediaMethods = *file->pMethods;
  mediaMethods.xShmMap = [](sqlite3_file*, int, int, int, void volatile**) { return SQLITE_CANTOPEN; };
  file->pMethods = &mediaMethods;
  return rc;
}

int AccessOnMedia(sqlite3_vfs*, const char* name, int flags, int* out) {
  if (flags == SQLITE_ACCESS_READWRITE) return *out = 0, SQLITE_OK;
  return realVfs->xAccess(realVfs, name, flags, out);
}

// The media as the default VFS for the object's life.
class ReadOnlyMedia {
 public:
  ReadOnlyMedia() {
    realVfs = sqlite3_vfs_find(nullptr);
    vfs_ = *realVfs;
    vfs_.zName = "read-only-media";
    vfs_.xOpen = OpenOnMedia;
    vfs_.xDelete = [](sqlite3_vfs*, const char*, int) { return SQLITE_IOERR_DELETE; };
    vfs_.xAccess = AccessOnMedia;
    sqlite3_vfs_register(&vfs_, 1);
  }
  ~ReadOnlyMedia() {
    sqlite3_vfs_unregister(&vfs_);
    sqlite3_vfs_register(realVfs, 1);
  }

 private:
  sqlite3_vfs vfs_{};
};

// ---- the tests -----------------------------------------------------------------------------
std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A module database as sessions leave it: in WAL mode, its changes written back into the file.
void MakeWalDatabase(const std::string& path) {
  adodb::Connection conn;
  conn.Open("Provider=SQLite;Data Source=" + path);
  conn.Execute("create table t (id int primary key, sl decimal(18,4) not null)");
  conn.Execute("insert into t values (1, 12.5)");
}

TEST(SqliteFileOpeningTest, ADatabaseOnReadOnlyMediaOpensReadOnlyAndStaysAsItWas) {
  testsupport::TempDatabase db;
  const std::string path = (db.Folder() / "仓库 a?b#c%d.db").string();
  std::filesystem::copy_file(db.Path(), path);
  MakeWalDatabase(path);
  const std::string before = Bytes(path);
  {
    ReadOnlyMedia media;
    adodb::Connection conn;
    conn.Open("Provider=SQLite;Data Source=" + path);
    auto self = std::shared_ptr<adodb::Connection>(&conn, [](adodb::Connection*) {});
    EXPECT_EQ(self->OpenRecordset("select sl from t where id = ?", {adodb::BoundInteger(1)})->Value(0).AsDouble(), 12.5);
    EXPECT_EQ(ErrorOf([&] { conn.Execute("update t set sl = 1"); }).Description(), "attempt to write a readonly database");
  }
  EXPECT_EQ(Bytes(path), before);
  EXPECT_FALSE(std::filesystem::exists(path + "-wal"));
  EXPECT_FALSE(std::filesystem::exists(path + "-shm"));
}

// A folder the user may not write holds no WAL index either: the file opens read-only, whether the
// user may write the file itself or not (a process of its own, which the superuser leaves for
// another user, since he may write anything).
TEST(SqliteFileOpeningTest, ADatabaseInAFolderTheUserMayNotWriteOpensReadOnly) {
  testsupport::TempDatabase db;
  MakeWalDatabase(db.Path());
  for (const auto mode : {std::filesystem::perms(0444), std::filesystem::perms(0666)}) {
    std::filesystem::permissions(db.Path(), mode);
    std::filesystem::permissions(db.Folder(), std::filesystem::perms(0555));
    const pid_t child = fork();
    if (child == 0) {
      if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(9);
      try {
        auto conn = std::make_shared<adodb::Connection>();
        conn->Open("Provider=SQLite;Data Source=" + db.Path());
        if (conn->OpenRecordset("select sl from t where id = 1")->Value(0).AsDouble() != 12.5) _exit(2);
        _exit(ErrorOf([&] { conn->Execute("update t set sl = 1"); }).GetHindrance() == adodb::Error::Hindrance::ReadOnlyFile ? 0 : 3);
      } catch (...) {
        _exit(1);
      }
    }
    int status = -1;
    waitpid(child, &status, 0);
    std::filesystem::permissions(db.Folder(), std::filesystem::perms(0700));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "file mode " << std::oct << static_cast<int>(mode) << ": " << status;
  }
}

// An immutable read would not see changes still in the log beside the file: refused instead.
TEST(SqliteFileOpeningTest, ADatabaseOnReadOnlyMediaWithChangesLeftInItsLogIsRefused) {
  testsupport::TempDatabase db;
  MakeWalDatabase(db.Path());
  const std::string copy = (db.Folder() / "copy.db").string();
  {
    adodb::Connection writer;
    writer.Open(db.ConnStr());
    writer.Execute("PRAGMA wal_autocheckpoint=0");
    writer.Execute("update t set sl = 99");
    for (const char* suffix : {"", "-wal"}) std::filesystem::copy_file(db.Path() + suffix, copy + suffix);
  }
  ReadOnlyMedia media;
  adodb::Connection conn;
  EXPECT_EQ(ErrorOf([&] { conn.Open("Provider=SQLite;Data Source=" + copy); }).Description(),
            "unable to open database file");
}

// Two sessions opening a file still in rollback mode switch it to WAL together; the second is
// refused the write lock at once while the first holds it, as a writer here does, and must wait
// for the first instead of failing ("database is locked", a clerk's second launcher on a first run).
TEST(SqliteFileOpeningTest, AFileSwitchedToWalWhileAnotherSessionHoldsItsWriteLockOpensOnceItIsFree) {
  testsupport::TempDatabase db;
  sqlite3* writer = nullptr;
  ASSERT_EQ(sqlite3_open(db.Path().c_str(), &writer), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(writer, "create table t (a); begin immediate", nullptr, nullptr, nullptr), SQLITE_OK);
  std::thread done([writer] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    sqlite3_exec(writer, "commit", nullptr, nullptr, nullptr);
  });
  adodb::Connection conn;
  EXPECT_EQ(ErrorOf([&] { conn.Open(db.ConnStr()); }).Description(), "no error");
  done.join();
  sqlite3_close(writer);
}

}  // namespace
