// A module database in a folder the user may not write opens read-only; two sessions switching a
// new file to WAL together wait for each other's lock instead of failing.
#include "adodb/SqliteFileOpening.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <future>
#include <thread>

#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "adodb/Recordset.h"
#include "support/ErrorOf.h"
#include "support/TempDatabase.h"

namespace {

using testsupport::ErrorOf;

// A module database as sessions leave it: in WAL mode, its changes written back into the file.
void MakeWalDatabase(const std::string& path) {
  adodb::Connection conn;
  conn.Open("Provider=SQLite;Data Source=" + path);
  conn.Execute("create table t (id int primary key, sl decimal(18,4) not null)");
  conn.Execute("insert into t values (1, 12.5)");
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

// ---- a lock refused -----------------------------------------------------------------------
// The default VFS, but the first lock it refuses on a database file is told: a second session has
// then met the first one's lock, whatever the machine's load made of the time it took to get there.
sqlite3_vfs* watchedVfs = nullptr;
sqlite3_io_methods watchedMethods{};
int (*realLock)(sqlite3_file*, int) = nullptr;
std::atomic<std::promise<void>*> lockRefused = nullptr;

void TellLockRefused() {
  if (std::promise<void>* refused = lockRefused.exchange(nullptr)) refused->set_value();
}

int LockTellingRefusal(sqlite3_file* file, int level) {
  const int rc = realLock(file, level);
  if (rc == SQLITE_BUSY) TellLockRefused();
  return rc;
}

int OpenWatched(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
  const int rc = watchedVfs->xOpen(watchedVfs, name, file, flags, outFlags);
  if (rc != SQLITE_OK || !file->pMethods || !(flags & SQLITE_OPEN_MAIN_DB)) return rc;
  watchedMethods = *file->pMethods;
  realLock = file->pMethods->xLock;
  watchedMethods.xLock = LockTellingRefusal;
  file->pMethods = &watchedMethods;
  return rc;
}

// Tells `refused` of the first lock refused to any session opened while the object lives.
class RefusedLockWatch {
 public:
  explicit RefusedLockWatch(std::promise<void>& refused) {
    watchedVfs = sqlite3_vfs_find(nullptr);
    vfs_ = *watchedVfs;
    vfs_.zName = "refused-lock-watch";
    vfs_.xOpen = OpenWatched;
    lockRefused = &refused;
    sqlite3_vfs_register(&vfs_, 1);
  }
  ~RefusedLockWatch() {
    lockRefused = nullptr;
    sqlite3_vfs_unregister(&vfs_);
    sqlite3_vfs_register(watchedVfs, 1);
  }
  RefusedLockWatch(const RefusedLockWatch&) = delete;
  RefusedLockWatch& operator=(const RefusedLockWatch&) = delete;

 private:
  sqlite3_vfs vfs_{};
};

// Two sessions opening a file still in rollback mode switch it to WAL together; the second is
// refused the write lock at once while the first holds it, as a writer here does, and must wait
// for the first instead of failing ("database is locked", a clerk's second launcher on a first run).
// The first commits once the second has met its lock, and, as a session of the module's would,
// waits for the moment the second holds a read lock between its tries rather than giving up.
TEST(SqliteFileOpeningTest, AFileSwitchedToWalWhileAnotherSessionHoldsItsWriteLockOpensOnceItIsFree) {
  testsupport::TempDatabase db;
  std::promise<void> refused;
  RefusedLockWatch watch(refused);
  sqlite3* writer = nullptr;
  ASSERT_EQ(sqlite3_open(db.Path().c_str(), &writer), SQLITE_OK);
  sqlite3_busy_timeout(writer, 30000);
  ASSERT_EQ(sqlite3_exec(writer, "create table t (a); begin immediate", nullptr, nullptr, nullptr), SQLITE_OK);
  int committed = -1;
  std::thread done([writer, &committed, metLock = refused.get_future()] {
    metLock.wait();
    committed = sqlite3_exec(writer, "commit", nullptr, nullptr, nullptr);
  });
  adodb::Connection conn;
  EXPECT_EQ(ErrorOf([&] { conn.Open(db.ConnStr()); }).Description(), "no error");
  TellLockRefused();  // an opening that ended without meeting the lock must not leave the first waiting
  done.join();
  EXPECT_EQ(committed, SQLITE_OK);
  sqlite3_close(writer);
}

}  // namespace
