#pragma once
// An owning wrapper for an ODBC handle: it frees itself (a connection handle disconnects first)
// and is not copyable. A handle that cannot be allocated throws adodb::Error.
#include <sql.h>
#include <sqlext.h>

namespace adodb::odbc {

class Handle {
 public:
  // Allocates a handle of `type` under `parent` (SQL_NULL_HANDLE for the environment).
  Handle(SQLSMALLINT type, SQLHANDLE parent);
  ~Handle();
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  SQLHANDLE Get() const { return handle_; }
  SQLSMALLINT Type() const { return type_; }
  // A connection handle that connected must disconnect before it is freed.
  void MarkConnected() { connected_ = true; }

 private:
  SQLSMALLINT type_;
  SQLHANDLE handle_ = SQL_NULL_HANDLE;
  bool connected_ = false;
};

}  // namespace adodb::odbc
