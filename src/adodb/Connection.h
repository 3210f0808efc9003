#pragma once
// A database connection in the shape of the classic ADO Connection. Not copyable: it owns its
// backend session. State() is 0 closed, 1 open. Every failure throws adodb::Error.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "adodb/Backend.h"
#include "adodb/Parameter.h"

namespace adodb {

class Recordset;

enum ObjectState : int { adStateClosed = 0, adStateOpen = 1 };
enum CursorType : int { adOpenForwardOnly = 0, adOpenKeyset = 1, adOpenDynamic = 2, adOpenStatic = 3 };
enum LockType : int { adLockUnspecified = -1, adLockReadOnly = 1, adLockPessimistic = 2, adLockOptimistic = 3, adLockBatchOptimistic = 4 };

class Connection : public std::enable_shared_from_this<Connection> {
 public:
  Connection() = default;
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Opens the backend the string names (see OpenBackend). user/password/options are accepted
  // as the classic call takes them; the embedded backend ignores them.
  void Open(const std::string& connectionString, const std::string& user = {}, const std::string& password = {},
            long options = -1);
  void Close();
  int State() const { return backend_ ? adStateOpen : adStateClosed; }
  const std::string& ConnectionString() const { return connectionString_; }

  // Runs a statement; returns the number of rows affected (-1 when the backend cannot tell).
  long Execute(std::string_view sql);
  // Opens a client-side static snapshot of the query (Recordset::Open with this connection).
  std::shared_ptr<Recordset> OpenRecordset(std::string_view sql, LockType lock = adLockReadOnly);
  // The same with the statement's ? marks bound to `values`, in order (see BoundValues.h): the
  // values never become statement text.
  long Execute(std::string_view sql, const std::vector<Parameter>& values);
  std::shared_ptr<Recordset> OpenRecordset(std::string_view sql, const std::vector<Parameter>& values,
                                           LockType lock = adLockReadOnly);

  void BeginTrans();
  void BeginReadTrans();  // see Backend::BeginReadTransaction
  void CommitTrans();
  void RollbackTrans();
  bool InTransaction() const;
  // See Backend::WatchLockWaits; throws Error::Closed when not open.
  void WatchLockWaits(LockWaitWatcher watcher);
  // See Backend::SetLockWaitLimit; throws Error::Closed when not open.
  long SetLockWaitLimit(long ms);

  Backend& GetBackend();  // throws Error::Closed when not open

 private:
  std::string connectionString_;
  std::unique_ptr<Backend> backend_;
};

// Rolls back in its destructor unless Commit() was called. Not copyable.
class TransactionGuard {
 public:
  explicit TransactionGuard(Connection& connection) : connection_(connection) { connection_.BeginTrans(); }
  ~TransactionGuard() {
    if (!done_) {
      try {
        connection_.RollbackTrans();
      } catch (...) {
      }
    }
  }
  TransactionGuard(const TransactionGuard&) = delete;
  TransactionGuard& operator=(const TransactionGuard&) = delete;
  void Commit() {
    connection_.CommitTrans();
    done_ = true;
  }

 private:
  Connection& connection_;
  bool done_ = false;
};

// A read transaction while it lives, unless the connection's own is already open: what is read in
// it comes from one state of the database, with no other clerk's commit falling between two reads.
// It writes nothing and ends by rolling back.
class ReadSnapshot {
 public:
  explicit ReadSnapshot(Connection& connection) : connection_(connection) {
    if (!connection_.InTransaction()) {
      connection_.BeginReadTrans();
      own_ = true;
    }
  }
  ~ReadSnapshot() {
    if (!own_) return;
    try {
      connection_.RollbackTrans();
    } catch (...) {  // already ended by a failed statement
    }
  }
  ReadSnapshot(const ReadSnapshot&) = delete;
  ReadSnapshot& operator=(const ReadSnapshot&) = delete;

 private:
  Connection& connection_;
  bool own_ = false;
};

// Statements run while it lives wait at most `ms` for another session's write lock, where a clerk
// is better told at once than kept waiting; the connection's usual wait is back when it ends.
class LockWaitLimit {
 public:
  LockWaitLimit(Connection& connection, long ms) : connection_(connection), usual_(connection.SetLockWaitLimit(ms)) {}
  ~LockWaitLimit() {
    try {
      connection_.SetLockWaitLimit(usual_);
    } catch (...) {  // closed meanwhile: nothing left to limit
    }
  }
  LockWaitLimit(const LockWaitLimit&) = delete;
  LockWaitLimit& operator=(const LockWaitLimit&) = delete;

 private:
  Connection& connection_;
  long usual_;
};

}  // namespace adodb
