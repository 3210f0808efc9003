#pragma once
// The embedded backend: one SQLite database file, opened read-write (a missing file is an error,
// never silently created; a file the user may only read opens read-only), in WAL mode so
// readers on other connections see committed data only while a transaction is open, with a
// 30-second busy wait so concurrent writers queue instead of failing (told to the watcher of
// lock waits, see LockWait.h). Each distinct statement
// text is translated from T-SQL once (the translator's cache) and prepared once per connection
// (the most recently used kept, see PreparedStatements.h). Values given for a statement's ? marks
// are bound straight to its prepared form; a decimal is rounded to its scale first.
// Transactions start with BEGIN IMMEDIATE: two sessions that change stock at once wait for each
// other rather than deadlocking on a read-to-write upgrade. Not thread-safe: one per connection.
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "adodb/Backend.h"
#include "adodb/PreparedStatements.h"
#include "adodb/StatementTrace.h"
#include "adodb/TextLengths.h"
#include "adodb/tsql/DeclaredColumnKinds.h"

struct sqlite3;
struct sqlite3_stmt;

namespace adodb {

class SqliteBackend final : public Backend {
 public:
  // Throws adodb::Error with SQLite's own description when the file cannot be opened.
  explicit SqliteBackend(const std::string& path, bool readOnly = false);
  ~SqliteBackend() override;

  long Execute(std::string_view sql) override;
  ResultSet Query(std::string_view sql) override;
  long Execute(std::string_view sql, const std::vector<Parameter>& values) override;
  ResultSet Query(std::string_view sql, const std::vector<Parameter>& values) override;
  void BeginTransaction() override;
  void BeginReadTransaction() override;
  void CommitTransaction() override;
  void RollbackTransaction() override;
  bool InTransaction() const override;
  void WatchLockWaits(LockWaitWatcher watcher) override;
  long SetLockWaitLimit(long ms) override;
  void CallProcedure(const std::string& name, std::vector<std::shared_ptr<Parameter>>& parameters) override;

  sqlite3* Handle() const { return db_; }
  // Every statement run from now on is handed to `trace` (nothing stops tracing).
  void SetStatementTrace(StatementTrace trace);

 private:
  class LockWaitScope;
  // SQLite's busy handler: sleeps as its own busy timeout would, telling the watcher.
  static int WaitForLock(void* backend, int attempt);
  void TellLockWait(LockWait stage, long waitedMs);

  // Runs `run` on every statement of the text, in order, `values` bound to their ? marks.
  template <typename Run>
  void ForEachStatement(std::string_view sql, const std::vector<Parameter>& values, Run&& run);
  template <typename Run>
  void RunStatements(const std::string& translated, std::string_view sql, const std::vector<Parameter>& values,
                     Run& run);
  void DropOutputTrigger(const std::string& translated);
  void Trace(sqlite3_stmt* statement);
  void RunControlStatement(const char* sql);
  void SwitchToWal();
  [[noreturn]] void ThrowStepError();
  [[noreturn]] void ThrowPrepareError();
  const std::vector<std::string>& KeyColumns(const std::string& table);
  void ReadColumns(sqlite3_stmt* statement, ResultSet& result);
  void KeptColumns(sqlite3_stmt* statement, PreparedStatements::Kept* kept, ResultSet& result);

  sqlite3* db_ = nullptr;
  PreparedStatements statements_;
  std::vector<SqliteValue> bound_;  // the values of the statement last bound, kept for their storage
  StatementTrace trace_;
  std::unordered_map<std::string, std::vector<std::string>> keyColumns_;  // lower-case table -> lower-case keys
  tsql::DeclaredColumnKinds::SchemaVersions keysReadUnder_;  // the schema keyColumns_ was read from
  std::unique_ptr<TextLengthChecks> textLengths_;
  LockWaitWatcher lockWaitWatcher_;
  long lockWaitLimitMs_;          // how long a statement waits for the write lock before it gives up
  long lockWaitSecondsTold_ = 0;  // whole seconds of the current wait told to the watcher; 0: none told
};

}  // namespace adodb
