#include "adodb/OdbcErrors.h"

#include <algorithm>
#include <string_view>

namespace adodb::odbc {

std::vector<Diagnostic> ReadDiagnostics(SQLSMALLINT type, SQLHANDLE handle) {
  std::vector<Diagnostic> diagnostics;
  for (SQLSMALLINT record = 1;; ++record) {
    SQLCHAR state[SQL_SQLSTATE_SIZE + 1] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    std::string message(1024, '\0');
    SQLRETURN rc = SQLGetDiagRec(type, handle, record, state, &native, reinterpret_cast<SQLCHAR*>(message.data()),
                                 static_cast<SQLSMALLINT>(message.size()), &length);
    if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
      message.assign(static_cast<std::size_t>(length) + 1, '\0');
      rc = SQLGetDiagRec(type, handle, record, state, &native, reinterpret_cast<SQLCHAR*>(message.data()),
                         static_cast<SQLSMALLINT>(message.size()), &length);
    }
    if (!SQL_SUCCEEDED(rc)) break;
    message.resize(std::min<std::size_t>(static_cast<std::size_t>(length), message.size()));
    diagnostics.push_back({reinterpret_cast<const char*>(state), native, std::move(message)});
  }
  return diagnostics;
}

namespace {

bool StateClassIs(const Diagnostic& diagnostic, const char* stateClass) {
  return diagnostic.sqlState.compare(0, 2, stateClass) == 0;
}

// SQLite reports every failure as HY000; its result code (extended codes keep the primary
// code in the low byte) tells a constraint violation from a statement it could not prepare.
constexpr SQLINTEGER kSqliteError = 1;
constexpr SQLINTEGER kSqliteConstraint = 19;

bool IsIntegrityViolation(const Diagnostic& diagnostic, NativeErrors natives) {
  if (StateClassIs(diagnostic, "23")) return true;
  return natives == NativeErrors::Sqlite && (diagnostic.nativeError & 0xff) == kSqliteConstraint;
}

// SQL Server: 2627 a PRIMARY KEY or UNIQUE constraint, 2601 a unique index. SQLite's driver
// gives the extended code when it has it, and its message names the constraint in any case.
constexpr SQLINTEGER kServerDuplicateKey = 2627;
constexpr SQLINTEGER kServerDuplicateIndexKey = 2601;
constexpr SQLINTEGER kSqliteConstraintPrimaryKey = 1555;
constexpr SQLINTEGER kSqliteConstraintUnique = 2067;

bool IsDuplicateKey(const Diagnostic& diagnostic, NativeErrors natives) {
  if (natives == NativeErrors::SqlServer) {
    return diagnostic.nativeError == kServerDuplicateKey || diagnostic.nativeError == kServerDuplicateIndexKey;
  }
  return diagnostic.nativeError == kSqliteConstraintPrimaryKey || diagnostic.nativeError == kSqliteConstraintUnique ||
         diagnostic.message.find("UNIQUE constraint failed") != std::string::npos ||
         diagnostic.message.find("PRIMARY KEY must be unique") != std::string::npos ||
         diagnostic.message.find("is not unique") != std::string::npos;
}

bool IsRefusedStatement(const Diagnostic& diagnostic, NativeErrors natives) {
  if (StateClassIs(diagnostic, "42") || StateClassIs(diagnostic, "37")) return true;
  return natives == NativeErrors::Sqlite && diagnostic.nativeError == kSqliteError;
}

// The data source's own words, as the server's OLE DB provider handed them over: a diagnostic
// opens with the bracketed names of the components it passed ("[unixODBC][FreeTDS][SQL Server]",
// "[SQLite]"), and SQLite's driver closes its with the native code (" (19)"). Neither is the
// clerk's business, and with them a refusal read otherwise than on the embedded database.
std::string DataSourceWords(const Diagnostic& diagnostic) {
  std::string_view words = diagnostic.message;
  while (words.size() > 1 && words.front() == '[') {
    const std::size_t close = words.find(']');
    if (close == std::string_view::npos) break;
    words.remove_prefix(close + 1);
  }
  const std::string code = " (" + std::to_string(diagnostic.nativeError) + ")";
  if (words.size() > code.size() && words.substr(words.size() - code.size()) == code) {
    words.remove_suffix(code.size());
  }
  return words.empty() ? diagnostic.message : std::string(words);
}

// A wait for another session's lock that ran out, which the clerk is told is another program's
// doing as on the embedded database: SQL Server's 1222 once the session's LOCK_TIMEOUT has
// passed, SQLite's busy code (the low byte of its extended codes) once its driver's Timeout has.
// A driver's own timeout (HYT00) is not one: a slow server or network is nobody's lock.
constexpr SQLINTEGER kServerLockTimeout = 1222;
constexpr SQLINTEGER kSqliteBusy = 5;

bool IsLockWaitOver(const Diagnostic& diagnostic, NativeErrors natives) {
  if (natives == NativeErrors::SqlServer) return diagnostic.nativeError == kServerLockTimeout;
  return (diagnostic.nativeError & 0xff) == kSqliteBusy;
}

// A file that may only be read, or a disk with no room left: the clerk is told so, as on the
// embedded database, not in the data source's English. SQLite's codes (low byte) 8 and 13;
// SQL Server's 3906 (a read-only database), 1105 (a filegroup full) and 9002 (the log full).
constexpr SQLINTEGER kSqliteReadOnly = 8;
constexpr SQLINTEGER kSqliteFull = 13;
constexpr SQLINTEGER kServerReadOnlyDatabase = 3906;
constexpr SQLINTEGER kServerFilegroupFull = 1105;
constexpr SQLINTEGER kServerLogFull = 9002;

Error::Hindrance FileHindranceOf(const Diagnostic& diagnostic, NativeErrors natives) {
  const SQLINTEGER code = natives == NativeErrors::Sqlite ? diagnostic.nativeError & 0xff : diagnostic.nativeError;
  if (code == (natives == NativeErrors::Sqlite ? kSqliteReadOnly : kServerReadOnlyDatabase))
    return Error::Hindrance::ReadOnlyFile;
  if (natives == NativeErrors::Sqlite ? code == kSqliteFull : (code == kServerFilegroupFull || code == kServerLogFull))
    return Error::Hindrance::DiskFull;
  return Error::Hindrance::None;
}

}  // namespace

Error ErrorFromDiagnostics(const std::vector<Diagnostic>& diagnostics, NativeErrors natives,
                           const std::string& context) {
  if (diagnostics.empty()) return Error::Provider(context);
  // The first record is the one that names the cause; later ones only add "statement aborted".
  const Diagnostic& first = diagnostics.front();
  for (const Diagnostic& diagnostic : diagnostics) {
    if (!IsIntegrityViolation(diagnostic, natives)) continue;
    if (IsDuplicateKey(diagnostic, natives)) return Error::DuplicateKey(DataSourceWords(diagnostic));
    return Error::Integrity(DataSourceWords(diagnostic));
  }
  // A link to the server broken mid-session (08S01, 08003, 08007): told in words, never as a
  // statement's fault, and every later statement of the session fails the same way.
  if (StateClassIs(first, "08")) return Error::Hindered(Error::Hindrance::ConnectionLost, DataSourceWords(first));
  if (IsLockWaitOver(first, natives)) return Error::Hindered(Error::Hindrance::LockedByOthers, DataSourceWords(first));
  if (const auto hindrance = FileHindranceOf(first, natives); hindrance != Error::Hindrance::None)
    return Error::Hindered(hindrance, DataSourceWords(first));
  if (IsRefusedStatement(first, natives)) return Error::Syntax(DataSourceWords(first));
  return Error::Provider(DataSourceWords(first));
}

void Check(SQLRETURN rc, const Handle& handle, NativeErrors natives, const std::string& context) {
  if (SQL_SUCCEEDED(rc)) return;
  throw ErrorFromDiagnostics(ReadDiagnostics(handle.Type(), handle.Get()), natives, context);
}

}  // namespace adodb::odbc
