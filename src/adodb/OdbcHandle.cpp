#include "adodb/OdbcHandle.h"

#include "adodb/Error.h"

namespace adodb::odbc {

Handle::Handle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
  const SQLRETURN rc = SQLAllocHandle(type, parent, &handle_);
  if (!SQL_SUCCEEDED(rc)) {
    handle_ = SQL_NULL_HANDLE;
    throw Error::Provider("[unixODBC] could not allocate an ODBC handle");
  }
}

Handle::~Handle() {
  if (handle_ == SQL_NULL_HANDLE) return;
  if (connected_) SQLDisconnect(handle_);
  SQLFreeHandle(type_, handle_);
}

}  // namespace adodb::odbc
