#pragma once
// Owning wrappers for ODBC handles and the translation of ODBC diagnostics into adodb::Error.
// A handle frees itself (a connection handle disconnects first); handles are not copyable.
// Every failed ODBC call is turned into an Error carrying the driver manager's or the driver's
// own diagnostic text, so the screens show what the data source said.
#include <sql.h>
#include <sqlext.h>

#include <string>
#include <vector>

#include "adodb/Error.h"

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

struct Diagnostic {
  std::string sqlState;
  SQLINTEGER nativeError = 0;
  std::string message;
};

// Every diagnostic record the last call on the handle left.
std::vector<Diagnostic> ReadDiagnostics(SQLSMALLINT type, SQLHANDLE handle);

// How a data source's native error numbers are read: SQLite's result codes or SQL Server's.
enum class NativeErrors { SqlServer, Sqlite };

// The Error the diagnostics describe: SQLSTATE class 23 (or SQLite's constraint code) is an
// integrity violation, class 42/37 (or SQLite's generic error) a refused statement, anything
// else a provider failure. `context` is used when the driver left no diagnostic at all.
Error ErrorFromDiagnostics(const std::vector<Diagnostic>& diagnostics, NativeErrors natives, const std::string& context);

// Throws the Error for the handle's last call unless `rc` reports success (with or without info).
void Check(SQLRETURN rc, const Handle& handle, NativeErrors natives, const std::string& context);

}  // namespace adodb::odbc
