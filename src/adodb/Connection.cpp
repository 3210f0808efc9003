#include "adodb/Connection.h"

#include <utility>

#include "adodb/Error.h"
#include "adodb/MemoryReuse.h"
#include "adodb/Recordset.h"

namespace adodb {

Connection::~Connection() {
  try {
    Close();
  } catch (...) {
  }
}

void Connection::Open(const std::string& connectionString, const std::string&, const std::string&, long) {
  if (backend_) throw Error(errnum::kObjectOpen, "Operation is not allowed when the object is open.", "ADODB.Connection");
  KeepFreedMemoryForReuse();
  backend_ = OpenBackend(connectionString);
  connectionString_ = connectionString;
}

void Connection::Close() {
  if (!backend_) return;
  // Closing with a transaction open abandons it, as the server does when a session ends.
  if (backend_->InTransaction()) backend_->RollbackTransaction();
  backend_.reset();
}

Backend& Connection::GetBackend() {
  if (!backend_) throw Error(errnum::kObjectClosed, "Operation is not allowed when the object is closed.", "ADODB.Connection");
  return *backend_;
}

long Connection::Execute(std::string_view sql) { return GetBackend().Execute(sql); }

long Connection::Execute(std::string_view sql, const std::vector<Parameter>& values) {
  return GetBackend().Execute(sql, values);
}

std::shared_ptr<Recordset> Connection::OpenRecordset(std::string_view sql, LockType lock) {
  return OpenRecordset(sql, {}, lock);
}

std::shared_ptr<Recordset> Connection::OpenRecordset(std::string_view sql, const std::vector<Parameter>& values,
                                                     LockType lock) {
  auto self = weak_from_this().lock();
  if (!self) {
    throw Error(errnum::kConnectionInvalid,
                "The connection cannot be used to perform this operation. It is either closed or invalid in this context.",
                "ADODB.Connection");
  }
  auto recordset = std::make_shared<Recordset>();
  recordset->Open(sql, values, self, adOpenStatic, lock);
  return recordset;
}

void Connection::BeginTrans() { GetBackend().BeginTransaction(); }
void Connection::BeginReadTrans() { GetBackend().BeginReadTransaction(); }
void Connection::CommitTrans() { GetBackend().CommitTransaction(); }
void Connection::RollbackTrans() { GetBackend().RollbackTransaction(); }
bool Connection::InTransaction() const { return backend_ && backend_->InTransaction(); }
void Connection::WatchLockWaits(LockWaitWatcher watcher) { GetBackend().WatchLockWaits(std::move(watcher)); }

long Connection::SetLockWaitLimit(long ms) { return GetBackend().SetLockWaitLimit(ms); }

}  // namespace adodb
