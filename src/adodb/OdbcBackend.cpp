#include "adodb/OdbcBackend.h"

#include <dlfcn.h>
#include <strings.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string_view>

#include "adodb/OdbcHandle.h"
#include "adodb/Parameter.h"
#include "adodb/StoredProcedures.h"
#include "adodb/tsql/Translator.h"

namespace adodb {

namespace {

using odbc::Check;
using odbc::Handle;
using odbc::NativeErrors;

// ---------------------------------------------------------------------------------------------
// The SQLite extension that gives a SQLite ODBC data source the functions and the collation
// translated statements call. The driver loads it itself (LoadExt=), on its own sqlite3 handle.

constexpr const char* kExtensionFileName = "libtsql_sqlite_ext.so";

std::filesystem::path RunningExecutableFolder() {
  std::error_code error;
  const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : executable.parent_path();
}

// The folder of the program or shared library this code was linked into: a host application
// that loads the module as a library keeps the extension beside that library, not beside itself.
std::filesystem::path ContainingModuleFolder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&RunningExecutableFolder), &info) == 0 || info.dli_fname == nullptr) return {};
  std::error_code error;
  const auto module = std::filesystem::canonical(info.dli_fname, error);
  return error ? std::filesystem::path() : module.parent_path();
}

// An explicit STOREADJUST_TSQL_EXT wins; then the folders of the module and of the executable,
// each also in the installed layout (bin/ or lib/ beside lib/storeadjust/); then the library
// this build produced.
std::string TsqlExtensionPath() {
  if (const char* configured = std::getenv("STOREADJUST_TSQL_EXT"); configured && *configured) {
    if (!std::filesystem::exists(configured)) {
      throw Error::Provider(std::string("STOREADJUST_TSQL_EXT names no file: ") + configured);
    }
    return std::filesystem::absolute(configured).string();
  }
  std::vector<std::filesystem::path> candidates;
  for (const auto& folder : {ContainingModuleFolder(), RunningExecutableFolder()}) {
    if (folder.empty()) continue;
    candidates.push_back(folder / kExtensionFileName);
    candidates.push_back(folder / "storeadjust" / kExtensionFileName);
    candidates.push_back(folder / ".." / "lib" / "storeadjust" / kExtensionFileName);
  }
#ifdef STOREADJUST_TSQL_EXT_BUILD_PATH
  candidates.emplace_back(STOREADJUST_TSQL_EXT_BUILD_PATH);
#endif
  for (const auto& candidate : candidates) {
    std::error_code error;
    if (std::filesystem::exists(candidate, error)) return std::filesystem::canonical(candidate, error).string();
  }
  throw Error::Provider(std::string("The T-SQL functions for SQLite (") + kExtensionFileName +
                        ") were not found beside the program; set STOREADJUST_TSQL_EXT to its path.");
}

// The driver splits LoadExt on ',' and the connection string on ';'; its buffer is 512 bytes.
std::string WithTsqlExtension(const std::string& connectionString, const std::string& extensionPath) {
  if (extensionPath.find_first_of(",;{}") != std::string::npos || extensionPath.size() >= 500) {
    throw Error::Provider("The T-SQL functions for SQLite cannot be loaded from this path: " + extensionPath);
  }
  std::string text = connectionString;
  if (!text.empty() && text.back() != ';') text += ';';
  return text + "LoadExt=" + extensionPath + ";";
}

// The extension defines this function only to prove it was loaded.
constexpr const char* kExtensionProbe = "select storeadjust_tsql_loaded()";

// ---------------------------------------------------------------------------------------------
// Column descriptions and values.

std::string TextAttribute(SQLHSTMT statement, SQLUSMALLINT column, SQLUSMALLINT field) {
  char buffer[512] = {};
  SQLSMALLINT length = 0;
  const SQLRETURN rc = SQLColAttribute(statement, column, field, buffer, sizeof buffer, &length, nullptr);
  if (!SQL_SUCCEEDED(rc) || length <= 0) return {};
  return std::string(buffer, std::min<std::size_t>(static_cast<std::size_t>(length), sizeof buffer - 1));
}

// SQL Server's money and smallmoney arrive as DECIMAL(19,4) and DECIMAL(10,4).
DataType DataTypeFromSqlType(SQLSMALLINT sqlType, SQLULEN precision, SQLSMALLINT scale) {
  switch (sqlType) {
    case SQL_CHAR: return adChar;
    case SQL_VARCHAR: return adVarChar;
    case SQL_LONGVARCHAR: return adLongVarChar;
    case SQL_WCHAR: return adWChar;
    case SQL_WVARCHAR: return adVarWChar;
    case SQL_WLONGVARCHAR: return adLongVarWChar;
    case SQL_INTEGER: return adInteger;
    case SQL_SMALLINT: return adSmallInt;
    case SQL_TINYINT: return adTinyInt;
    case SQL_BIGINT: return adBigInt;
    case SQL_BIT: return adBoolean;
    case SQL_DECIMAL:
    case SQL_NUMERIC:
      return scale == 4 && (precision == 19 || precision == 10) ? adCurrency : adNumeric;
    case SQL_DOUBLE:
    case SQL_FLOAT: return adDouble;
    case SQL_REAL: return adSingle;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP: return adDBTimeStamp;
    case SQL_TYPE_DATE:
    case SQL_DATE: return adDBDate;
    case SQL_GUID: return adGUID;
    default: return adVarChar;
  }
}

ColumnInfo DescribeColumn(SQLHSTMT statement, SQLUSMALLINT column, const Handle& handle, NativeErrors natives) {
  SQLCHAR name[512] = {};
  SQLSMALLINT nameLength = 0, sqlType = 0, scale = 0, nullable = 0;
  SQLULEN precision = 0;
  Check(SQLDescribeCol(statement, column, name, sizeof name, &nameLength, &sqlType, &precision, &scale, &nullable),
        handle, natives, "SQLDescribeCol failed");
  ColumnInfo info;
  info.name.assign(reinterpret_cast<const char*>(name),
                   std::min<std::size_t>(static_cast<std::size_t>(nameLength), sizeof name - 1));
  // The declared type name is what SQLite keeps ("money", "bit", "datetime"); it also tells
  // SQL Server's money from a plain decimal.
  const std::string typeName = TextAttribute(statement, column, SQL_DESC_TYPE_NAME);
  info.type = typeName.empty() ? adEmpty : DataTypeFromDeclaration(typeName);
  if (info.type == adEmpty) info.type = DataTypeFromSqlType(sqlType, precision, scale);
  info.baseTable = TextAttribute(statement, column, SQL_DESC_BASE_TABLE_NAME);
  if (!info.baseTable.empty()) info.baseColumn = TextAttribute(statement, column, SQL_DESC_BASE_COLUMN_NAME);
  if (info.baseColumn.empty()) info.baseTable.clear();
  return info;
}

enum class ValueKind { Integer, Boolean, Double, Currency, Date, Text };

ValueKind KindOf(DataType type) {
  switch (type) {
    case adSmallInt:
    case adInteger:
    case adTinyInt:
    case adBigInt: return ValueKind::Integer;
    case adBoolean: return ValueKind::Boolean;
    case adSingle:
    case adDouble:
    case adDecimal:
    case adNumeric: return ValueKind::Double;
    case adCurrency: return ValueKind::Currency;
    case adDate:
    case adDBDate:
    case adDBTimeStamp: return ValueKind::Date;
    default: return ValueKind::Text;
  }
}

// Reads the column as UTF-8 text, chunk by chunk. False when the driver refused the read.
bool ReadText(SQLHSTMT statement, SQLUSMALLINT column, Variant& value) {
  std::string text;
  char chunk[4096];
  for (;;) {
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(statement, column, SQL_C_CHAR, chunk, sizeof chunk, &indicator);
    if (rc == SQL_NO_DATA) break;
    if (!SQL_SUCCEEDED(rc)) return false;
    if (indicator == SQL_NULL_DATA) {
      value = Variant::Null();
      return true;
    }
    const bool truncated = indicator == SQL_NO_TOTAL || indicator >= static_cast<SQLLEN>(sizeof chunk);
    text.append(chunk, truncated ? sizeof chunk - 1 : static_cast<std::size_t>(indicator));
    if (rc == SQL_SUCCESS) break;
  }
  value = Variant(std::move(text));
  return true;
}

template <typename T>
bool ReadFixed(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT cType, T& out, bool& isNull) {
  SQLLEN indicator = 0;
  const SQLRETURN rc = SQLGetData(statement, column, cType, &out, sizeof out, &indicator);
  if (!SQL_SUCCEEDED(rc)) return false;
  isNull = indicator == SQL_NULL_DATA;
  return true;
}

Date DateFromTimestamp(const SQL_TIMESTAMP_STRUCT& stamp) {
  return Date{stamp.year, stamp.month, stamp.day, stamp.hour, stamp.minute, stamp.second};
}

// Reads the column in the form its type asks for. SQLite keeps whatever was stored whatever the
// declaration, so a value the driver cannot convert is read as text rather than lost.
bool ReadTyped(SQLHSTMT statement, SQLUSMALLINT column, ValueKind kind, Variant& value) {
  bool isNull = false;
  switch (kind) {
    case ValueKind::Integer:
    case ValueKind::Boolean: {
      std::int64_t number = 0;
      if (!ReadFixed(statement, column, SQL_C_SBIGINT, number, isNull)) return false;
      if (isNull) value = Variant::Null();
      else if (kind == ValueKind::Boolean) value = Variant(number != 0);
      else value = Variant(static_cast<long long>(number));
      return true;
    }
    case ValueKind::Double:
    case ValueKind::Currency: {
      double number = 0;
      if (!ReadFixed(statement, column, SQL_C_DOUBLE, number, isNull)) return false;
      if (isNull) value = Variant::Null();
      else value = kind == ValueKind::Currency ? Variant::Currency(number) : Variant(number);
      return true;
    }
    case ValueKind::Date: {
      SQL_TIMESTAMP_STRUCT stamp{};
      if (!ReadFixed(statement, column, SQL_C_TYPE_TIMESTAMP, stamp, isNull)) return false;
      value = isNull ? Variant::Null() : Variant(DateFromTimestamp(stamp));
      return true;
    }
    case ValueKind::Text: return ReadText(statement, column, value);
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// Stored-procedure parameters bound for "{call NAME(?,...)}".

struct BoundParameter {
  SQLSMALLINT cType = SQL_C_CHAR;
  SQLSMALLINT sqlType = SQL_VARCHAR;
  SQLULEN columnSize = 0;
  SQLSMALLINT decimalDigits = 0;
  std::int64_t integer = 0;
  double number = 0;
  SQL_TIMESTAMP_STRUCT stamp{};
  std::string text;  // also the output buffer for text parameters
  SQLLEN indicator = 0;

  SQLPOINTER Buffer() {
    switch (cType) {
      case SQL_C_SBIGINT: return &integer;
      case SQL_C_DOUBLE: return &number;
      case SQL_C_TYPE_TIMESTAMP: return &stamp;
      default: return text.data();
    }
  }
  SQLLEN BufferLength() const {
    switch (cType) {
      case SQL_C_SBIGINT: return sizeof integer;
      case SQL_C_DOUBLE: return sizeof number;
      case SQL_C_TYPE_TIMESTAMP: return sizeof stamp;
      default: return static_cast<SQLLEN>(text.size());
    }
  }
};

SQLSMALLINT SqlTypeOf(DataType type) {
  switch (type) {
    case adSmallInt: return SQL_SMALLINT;
    case adInteger: return SQL_INTEGER;
    case adTinyInt: return SQL_TINYINT;
    case adBigInt: return SQL_BIGINT;
    case adBoolean: return SQL_BIT;
    case adChar: return SQL_CHAR;
    case adWChar: return SQL_WCHAR;
    case adVarWChar:
    case adLongVarWChar: return SQL_WVARCHAR;
    default: return SQL_VARCHAR;
  }
}

void PrepareInteger(BoundParameter& bound, const Parameter& parameter) {
  bound.cType = SQL_C_SBIGINT;
  bound.sqlType = SqlTypeOf(parameter.Type());
  if (!parameter.Value().IsNull() && !parameter.Value().IsEmpty()) {
    bound.integer = parameter.Type() == adBoolean ? (parameter.Value().AsBool() ? 1 : 0) : parameter.Value().AsInt64();
  }
}

void PrepareNumber(BoundParameter& bound, const Parameter& parameter) {
  bound.cType = SQL_C_DOUBLE;
  bound.sqlType = SQL_DOUBLE;
  bound.columnSize = 15;
  if (parameter.Type() == adCurrency) {
    bound.sqlType = SQL_DECIMAL;
    bound.columnSize = 19;
    bound.decimalDigits = 4;
  }
  if (!parameter.Value().IsNull() && !parameter.Value().IsEmpty()) bound.number = parameter.Value().AsDouble();
}

void PrepareDate(BoundParameter& bound, const Parameter& parameter) {
  bound.cType = SQL_C_TYPE_TIMESTAMP;
  bound.sqlType = SQL_TYPE_TIMESTAMP;
  bound.columnSize = 23;
  bound.decimalDigits = 3;
  if (!parameter.Value().IsNull() && !parameter.Value().IsEmpty()) {
    const Date date = parameter.Value().AsDate();
    bound.stamp = SQL_TIMESTAMP_STRUCT{static_cast<SQLSMALLINT>(date.year), static_cast<SQLUSMALLINT>(date.month),
                                       static_cast<SQLUSMALLINT>(date.day),  static_cast<SQLUSMALLINT>(date.hour),
                                       static_cast<SQLUSMALLINT>(date.minute), static_cast<SQLUSMALLINT>(date.second),
                                       0};
  }
}

// Text outputs need room for the declared size in UTF-8 (up to 4 bytes a character).
void PrepareText(BoundParameter& bound, const Parameter& parameter) {
  bound.cType = SQL_C_CHAR;
  bound.sqlType = SqlTypeOf(parameter.Type());
  const std::string value = parameter.Value().IsNull() ? std::string() : parameter.Value().TextOrEmpty();
  const std::size_t declared = parameter.Size() > 0 ? static_cast<std::size_t>(parameter.Size()) : 0;
  bound.columnSize = std::max<std::size_t>({declared, value.size(), 1});
  const std::size_t capacity = parameter.IsOutput() ? std::max(declared * 4, value.size()) + 1 : value.size() + 1;
  bound.text = value;
  bound.text.resize(capacity, '\0');
  bound.indicator = static_cast<SQLLEN>(value.size());
}

BoundParameter PrepareBinding(const Parameter& parameter) {
  BoundParameter bound;
  switch (KindOf(parameter.Type())) {
    case ValueKind::Integer:
    case ValueKind::Boolean: PrepareInteger(bound, parameter); break;
    case ValueKind::Double:
    case ValueKind::Currency: PrepareNumber(bound, parameter); break;
    case ValueKind::Date: PrepareDate(bound, parameter); break;
    case ValueKind::Text: PrepareText(bound, parameter); break;
  }
  if (bound.cType != SQL_C_CHAR) bound.indicator = 0;
  if (parameter.Value().IsNull() || (parameter.Value().IsEmpty() && bound.cType != SQL_C_CHAR)) {
    bound.indicator = SQL_NULL_DATA;
  }
  return bound;
}

SQLSMALLINT InputOutputTypeOf(ParameterDirection direction) {
  switch (direction) {
    case adParamOutput: return SQL_PARAM_OUTPUT;
    case adParamInputOutput: return SQL_PARAM_INPUT_OUTPUT;
    case adParamReturnValue: return SQL_PARAM_OUTPUT;
    default: return SQL_PARAM_INPUT;
  }
}

Variant ValueOfOutput(const BoundParameter& bound, DataType type) {
  if (bound.indicator == SQL_NULL_DATA) return Variant::Null();
  switch (bound.cType) {
    case SQL_C_SBIGINT:
      return type == adBoolean ? Variant(bound.integer != 0) : Variant(static_cast<long long>(bound.integer));
    case SQL_C_DOUBLE: return type == adCurrency ? Variant::Currency(bound.number) : Variant(bound.number);
    case SQL_C_TYPE_TIMESTAMP: return Variant(DateFromTimestamp(bound.stamp));
    default: {
      const auto length = std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLLEN>(bound.indicator, 0)),
                                                bound.text.size() - 1);
      return Variant(bound.text.substr(0, length));
    }
  }
}

// "{? = call NAME(?,?)}" when the first parameter takes the return value.
std::string CallEscape(const std::string& name, const std::vector<std::shared_ptr<Parameter>>& parameters) {
  const bool returnsValue = !parameters.empty() && parameters.front()->Direction() == adParamReturnValue;
  std::string text = returnsValue ? "{? = call " : "{call ";
  text += name;
  const std::size_t arguments = parameters.size() - (returnsValue ? 1 : 0);
  if (arguments > 0) {
    text += '(';
    for (std::size_t i = 0; i < arguments; ++i) text += i == 0 ? "?" : ",?";
    text += ')';
  }
  return text + "}";
}

bool SameName(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

// ---------------------------------------------------------------------------------------------

class OdbcBackend final : public Backend {
 public:
  OdbcBackend(const std::string& connectionString, bool translateAsSqlite)
      : translate_(translateAsSqlite),
        natives_(translateAsSqlite ? NativeErrors::Sqlite : NativeErrors::SqlServer),
        environment_(SQL_HANDLE_ENV, SQL_NULL_HANDLE) {
    Check(SQLSetEnvAttr(environment_.Get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
          environment_, natives_, "The ODBC driver manager refused ODBC 3");
    connection_ = std::make_unique<Handle>(SQL_HANDLE_DBC, environment_.Get());
    if (!translate_) {
      Connect(connectionString);
      return;
    }
    const std::string extensionPath = TsqlExtensionPath();
    Connect(WithTsqlExtension(connectionString, extensionPath));
    ConfirmExtensionLoaded(extensionPath);
  }

  ~OdbcBackend() override {
    if (inTransaction_) {
      SQLEndTran(SQL_HANDLE_DBC, connection_->Get(), SQL_ROLLBACK);
    }
  }

  // SQL Server reads 'YYYY-MM-DD hh:mm:ss' by the login's date format, so a login whose format
  // is ydm would swap day and month; the ISO form with a 'T' means the same date everywhere.
  std::string Literal(const Variant& value) const override {
    if (translate_ || value.Type() != VariantType::Date) return Backend::Literal(value);
    const Date date = value.RawDate();
    std::string text = date.ToText();
    if (!date.HasTime()) text += " 00:00:00";
    text[10] = 'T';
    return "'" + text + "'";
  }

  long Execute(std::string_view sql) override {
    Handle statement(SQL_HANDLE_STMT, connection_->Get());
    if (!Run(statement, sql)) return 0;
    long changed = -1;
    do {
      SQLLEN count = -1;
      if (SQL_SUCCEEDED(SQLRowCount(statement.Get(), &count)) && count >= 0) {
        changed = (changed < 0 ? 0 : changed) + static_cast<long>(count);
      }
    } while (NextResult(statement));
    return changed;
  }

  ResultSet Query(std::string_view sql) override {
    Handle statement(SQL_HANDLE_STMT, connection_->Get());
    ResultSet result;
    if (!Run(statement, sql)) return result;
    SQLSMALLINT columns = 0;
    // A batch may change rows before it selects: the first result with columns is the answer.
    for (;;) {
      Check(SQLNumResultCols(statement.Get(), &columns), statement, natives_, "SQLNumResultCols failed");
      if (columns > 0 || !NextResult(statement)) break;
    }
    for (SQLSMALLINT column = 1; column <= columns; ++column) {
      result.columns.push_back(DescribeColumn(statement.Get(), static_cast<SQLUSMALLINT>(column), statement, natives_));
    }
    ReadRows(statement, result);
    SQLCloseCursor(statement.Get());
    MarkBaseAndKeyColumns(result.columns);
    return result;
  }

  void BeginTransaction() override {
    if (inTransaction_) throw Error::Provider("Only one transaction can be active on this connection.");
    SetAutocommit(false);
    inTransaction_ = true;
  }

  void CommitTransaction() override { EndTransaction(SQL_COMMIT); }
  void RollbackTransaction() override { EndTransaction(SQL_ROLLBACK); }
  bool InTransaction() const override { return inTransaction_; }

  void CallProcedure(const std::string& name, std::vector<std::shared_ptr<Parameter>>& parameters) override {
    if (translate_) {
      CallRegisteredProcedure(name, parameters);
    } else {
      CallServerProcedure(name, parameters);
    }
  }

 private:
  void Connect(const std::string& connectionString) {
    SQLCHAR completed[1024];
    SQLSMALLINT completedLength = 0;
    const SQLRETURN rc = SQLDriverConnect(connection_->Get(), nullptr,
                                          reinterpret_cast<SQLCHAR*>(const_cast<char*>(connectionString.c_str())),
                                          SQL_NTS, completed, sizeof completed, &completedLength, SQL_DRIVER_NOPROMPT);
    // Connect failures are never integrity or syntax errors, whatever the SQLSTATE says.
    if (!SQL_SUCCEEDED(rc)) {
      const auto diagnostics = odbc::ReadDiagnostics(SQL_HANDLE_DBC, connection_->Get());
      throw Error::Provider(diagnostics.empty() ? "The ODBC data source refused the connection." : diagnostics.front().message);
    }
    connection_->MarkConnected();
  }

  // Without the extension every translated statement that calls a T-SQL function would fail
  // later with "no such function"; the session is refused now instead.
  void ConfirmExtensionLoaded(const std::string& extensionPath) {
    Handle statement(SQL_HANDLE_STMT, connection_->Get());
    const SQLRETURN rc =
        SQLExecDirect(statement.Get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>(kExtensionProbe)), SQL_NTS);
    if (!SQL_SUCCEEDED(rc)) {
      throw Error::Provider("The SQLite ODBC driver did not load the T-SQL functions from " + extensionPath + ".");
    }
  }

  // Runs the statement; false when it reported no data (an update that matched nothing).
  bool Run(const Handle& statement, std::string_view sql) {
    const std::string text = translate_ ? tsql::Translate(sql) : std::string(sql);
    const SQLRETURN rc =
        SQLExecDirect(statement.Get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.c_str())), SQL_NTS);
    if (rc == SQL_NO_DATA) return false;
    Check(rc, statement, natives_, "The ODBC driver refused the statement.");
    return true;
  }

  // Moves to the batch's next result; errors in later statements of a batch surface here.
  bool NextResult(const Handle& statement) {
    const SQLRETURN rc = SQLMoreResults(statement.Get());
    if (rc == SQL_NO_DATA) return false;
    Check(rc, statement, natives_, "SQLMoreResults failed");
    return true;
  }

  void ReadRows(const Handle& statement, ResultSet& result) {
    std::vector<ValueKind> kinds;
    for (const auto& column : result.columns) kinds.push_back(KindOf(column.type));
    for (;;) {
      const SQLRETURN rc = SQLFetch(statement.Get());
      if (rc == SQL_NO_DATA) break;
      Check(rc, statement, natives_, "SQLFetch failed");
      std::vector<Variant> row(kinds.size());
      for (std::size_t i = 0; i < kinds.size(); ++i) ReadValue(statement, i, kinds[i], row[i]);
      result.rows.push_back(std::move(row));
    }
  }

  void ReadValue(const Handle& statement, std::size_t index, ValueKind kind, Variant& value) {
    const auto column = static_cast<SQLUSMALLINT>(index + 1);
    if (ReadTyped(statement.Get(), column, kind, value)) return;
    if (kind != ValueKind::Text && ReadText(statement.Get(), column, value)) return;
    Check(SQL_ERROR, statement, natives_, "SQLGetData failed");
  }

  // Editable sets need the base column and whether it belongs to the table's primary key. Some
  // drivers (SQLite's) give the alias as the base column name: a name the table does not have
  // is no base column, and the set's column stays read-only rather than updating the wrong one.
  void MarkBaseAndKeyColumns(std::vector<ColumnInfo>& columns) {
    for (auto& column : columns) {
      if (column.baseTable.empty()) continue;
      const TableFacts& table = FactsOf(column.baseTable);
      if (!Contains(table.columns, column.baseColumn)) {
        column.baseTable.clear();
        column.baseColumn.clear();
        continue;
      }
      column.isKey = Contains(table.keys, column.baseColumn);
    }
  }

  struct TableFacts {
    std::vector<std::string> columns;
    std::vector<std::string> keys;
  };

  static bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& each) { return SameName(each, name); });
  }

  const TableFacts& FactsOf(const std::string& table) {
    const auto cached = tables_.find(table);
    if (cached != tables_.end()) return cached->second;
    TableFacts facts;
    auto* tableName = reinterpret_cast<SQLCHAR*>(const_cast<char*>(table.c_str()));
    {
      Handle statement(SQL_HANDLE_STMT, connection_->Get());
      if (SQL_SUCCEEDED(SQLColumns(statement.Get(), nullptr, 0, nullptr, 0, tableName, SQL_NTS, nullptr, 0))) {
        facts.columns = NamesInColumn(statement, 4);
      }
    }
    {
      Handle statement(SQL_HANDLE_STMT, connection_->Get());
      if (SQL_SUCCEEDED(SQLPrimaryKeys(statement.Get(), nullptr, 0, nullptr, 0, tableName, SQL_NTS))) {
        facts.keys = NamesInColumn(statement, 4);
      }
    }
    return tables_.emplace(table, std::move(facts)).first->second;
  }

  // The text of one column of every row of a catalog result (COLUMN_NAME is the 4th).
  static std::vector<std::string> NamesInColumn(const Handle& statement, SQLUSMALLINT column) {
    std::vector<std::string> names;
    while (SQL_SUCCEEDED(SQLFetch(statement.Get()))) {
      Variant name;
      if (ReadText(statement.Get(), column, name) && !name.IsNull()) names.push_back(name.RawText());
    }
    return names;
  }

  void SetAutocommit(bool on) {
    const auto value = on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF;
    Check(SQLSetConnectAttr(connection_->Get(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(value), SQL_IS_UINTEGER),
          *connection_, natives_, "The ODBC driver refused to change autocommit.");
  }

  void EndTransaction(SQLSMALLINT completion) {
    if (!inTransaction_) throw Error::Provider("No transaction is active.");
    inTransaction_ = false;
    const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, connection_->Get(), completion);
    const auto diagnostics = SQL_SUCCEEDED(rc) ? std::vector<odbc::Diagnostic>()
                                               : odbc::ReadDiagnostics(SQL_HANDLE_DBC, connection_->Get());
    SetAutocommit(true);
    if (!SQL_SUCCEEDED(rc)) throw odbc::ErrorFromDiagnostics(diagnostics, natives_, "SQLEndTran failed");
  }

  void CallRegisteredProcedure(const std::string& name, std::vector<std::shared_ptr<Parameter>>& parameters) {
    const ProcedureHandler* handler = FindStoredProcedure(name);
    if (handler == nullptr) throw Error::Syntax("Could not find stored procedure '" + name + "'.");
    (*handler)(*this, parameters);
  }

  void CallServerProcedure(const std::string& name, std::vector<std::shared_ptr<Parameter>>& parameters) {
    Handle statement(SQL_HANDLE_STMT, connection_->Get());
    std::vector<BoundParameter> bound;
    bound.reserve(parameters.size());  // bound buffers must not move once bound
    for (const auto& parameter : parameters) bound.push_back(PrepareBinding(*parameter));
    for (std::size_t i = 0; i < bound.size(); ++i) {
      BoundParameter& b = bound[i];
      Check(SQLBindParameter(statement.Get(), static_cast<SQLUSMALLINT>(i + 1), InputOutputTypeOf(parameters[i]->Direction()),
                             b.cType, b.sqlType, b.columnSize, b.decimalDigits, b.Buffer(), b.BufferLength(), &b.indicator),
            statement, natives_, "SQLBindParameter failed");
    }
    const std::string text = CallEscape(name, parameters);
    const SQLRETURN rc =
        SQLExecDirect(statement.Get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.c_str())), SQL_NTS);
    if (rc != SQL_NO_DATA) Check(rc, statement, natives_, "The ODBC driver refused the procedure call.");
    // Output values arrive only after every result of the call has been consumed.
    if (rc != SQL_NO_DATA) {
      while (NextResult(statement)) {
      }
    }
    for (std::size_t i = 0; i < bound.size(); ++i) {
      if (parameters[i]->IsOutput()) parameters[i]->SetValue(ValueOfOutput(bound[i], parameters[i]->Type()));
    }
  }

  bool translate_;
  NativeErrors natives_;
  Handle environment_;
  std::unique_ptr<Handle> connection_;
  bool inTransaction_ = false;
  std::map<std::string, TableFacts> tables_;
};

}  // namespace

std::unique_ptr<Backend> OpenOdbcBackend(const std::string& connStrWithoutDialect, bool translateAsSqlite) {
  return std::make_unique<OdbcBackend>(connStrWithoutDialect, translateAsSqlite);
}

}  // namespace adodb
