#pragma once
// One database session of a particular kind (embedded SQLite, ODBC). A Connection owns exactly
// one Backend. Statements arrive in the module's dialect (SQL Server's T-SQL); a backend either
// translates them (embedded) or passes them through unchanged (ODBC to a real SQL Server).
// Every failure is thrown as adodb::Error carrying the provider's description; integrity
// violations carry errnum::kIntegrityViolation on every backend.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "adodb/LockWait.h"
#include "adodb/ResultSet.h"

namespace adodb {

class Parameter;

class Backend {
 public:
  virtual ~Backend() = default;
  Backend() = default;
  Backend(const Backend&) = delete;
  Backend& operator=(const Backend&) = delete;

  // Runs a statement that returns no rows; gives the number of rows it changed (-1 if unknown).
  virtual long Execute(std::string_view sql) = 0;
  // Runs a query and materializes every row.
  virtual ResultSet Query(std::string_view sql) = 0;
  // The same with the statement's ? marks bound to `values`, in order (see BoundValues.h).
  virtual long Execute(std::string_view sql, const std::vector<Parameter>& values) = 0;
  virtual ResultSet Query(std::string_view sql, const std::vector<Parameter>& values) = 0;
  virtual void BeginTransaction() = 0;
  // A transaction that only reads: its reads see one state of the data. Where the backend has no
  // lighter kind, an ordinary transaction.
  virtual void BeginReadTransaction() { BeginTransaction(); }
  virtual void CommitTransaction() = 0;
  virtual void RollbackTransaction() = 0;
  virtual bool InTransaction() const = 0;
  // Calls a stored procedure; output parameters receive their values.
  virtual void CallProcedure(const std::string& name, std::vector<std::shared_ptr<Parameter>>& parameters) = 0;
  // Writes a literal value in this backend's statement syntax (text quoted with doubled quotes).
  virtual std::string Literal(const Variant& value) const;
  // From now on a statement that waits for another session's lock tells `watcher` (see
  // LockWait.h). A backend whose waits are the server's own (ODBC) tells nothing.
  virtual void WatchLockWaits(LockWaitWatcher watcher) { (void)watcher; }
  // From now on a statement gives up on another session's write lock after `ms` (failing hindered
  // by LockedByOthers); gives the limit it replaces. A backend whose waits are the server's own
  // (ODBC) keeps them and gives `ms` back.
  virtual long SetLockWaitLimit(long ms) { return ms; }
};

// Opens the backend a connection string names:
//   "Provider=SQLite;Data Source=FILE"  embedded SQLite with the T-SQL translator ("Mode=Read":
//                                        opened for reading only)
//   "...Driver=...;" or "DSN=..."      ODBC, statements unchanged; "Dialect=SQLite" (removed
//                                        before the driver sees the string) translates as embedded.
std::unique_ptr<Backend> OpenBackend(const std::string& connectionString);

// The file of a connection string that OpenBackend opens as an embedded database; nothing for
// one that names ODBC or another provider.
std::optional<std::string> EmbeddedDatabaseFile(const std::string& connectionString);

// The connection string of a session that gives up on another session's write lock after `ms`
// at most. The SQLite ODBC driver ("Dialect=SQLite") takes its wait only from the string it
// connects with (Timeout=, in ms), so SetLockWaitLimit cannot shorten it later: its Timeout
// becomes `ms`, or stays if shorter. Any other string is returned as it is: the embedded
// database takes SetLockWaitLimit, and a server keeps its own waits.
std::string WithLockWaitAtConnect(const std::string& connectionString, long ms);

}  // namespace adodb
