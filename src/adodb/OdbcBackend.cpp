#include "adodb/OdbcBackend.h"

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

#include "adodb/OdbcColumns.h"
#include "adodb/OdbcErrors.h"
#include "adodb/OdbcHandle.h"
#include "adodb/OdbcParameterBinding.h"
#include "adodb/OdbcTsqlExtension.h"
#include "adodb/SqliteValueOf.h"
#include "adodb/StoredProcedures.h"
#include "adodb/TextCompare.h"
#include "adodb/tsql/Translator.h"

namespace adodb {

namespace odbc {
namespace {

constexpr std::size_t kPreparedLimit = 256;

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
    RequireLoadableTsqlExtension(extensionPath);
    const LoadableTsqlExtension loadable(extensionPath);
    Connect(WithTsqlExtension(connectionString, loadable.Name()));
    ConfirmExtensionLoaded(extensionPath);
  }

  ~OdbcBackend() override {
    if (!inTransaction_) return;
    if (translate_) {
      RollBackSqliteQuietly();
    } else {
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

  long Execute(std::string_view sql) override { return Execute(sql, {}); }
  ResultSet Query(std::string_view sql) override { return Query(sql, {}); }

  long Execute(std::string_view sql, const std::vector<Parameter>& values) override {
    return RunThenRead(sql, values, [this](const Handle& statement, bool ran) { return ChangedRows(statement, ran); });
  }

  ResultSet Query(std::string_view sql, const std::vector<Parameter>& values) override {
    return RunThenRead(sql, values, [this](const Handle& statement, bool ran) { return Rows(statement, ran); });
  }

  // A statement without values runs on a handle of its own; one with values on the handle
  // prepared for its text, made ready for the next run whatever happens. A kept statement that
  // failed is prepared afresh for its next run: SQLite's driver does not prepare one again when
  // another session changes a table it reads ("broken result set 2/3"), so a statement kept
  // from before the change would fail on every run until the session ended.
  template <typename Read>
  std::invoke_result_t<Read, const Handle&, bool> RunThenRead(std::string_view sql, const std::vector<Parameter>& values,
                                                             Read read) {
    try {
      if (translate_ && MayWrite(sql)) HoldWrites();
      if (values.empty()) {
        Handle statement(SQL_HANDLE_STMT, connection_->Get());
        return read(statement, Run(statement, sql, values));
      }
      return RunPrepared(sql, values, read);
    } catch (...) {
      if (const auto kept = prepared_.find(sql); kept != prepared_.end()) prepared_.erase(kept);
      if (translate_ && inTransaction_ && !SqliteKeptTransaction()) inTransaction_ = false;
      throw;
    }
  }

  // Some failures make SQLite undo the whole transaction itself: a site's trigger raising
  // ROLLBACK, a full disk, an I/O error. Believed still open, the statements after it would each
  // be committed alone, and the caller's rollback would fail with "no transaction is active" in
  // place of the failure's own words. Only an open transaction refuses another BEGIN.
  bool SqliteKeptTransaction() {
    Handle statement(SQL_HANDLE_STMT, connection_->Get());
    if (!SQL_SUCCEEDED(SQLExecDirect(statement.Get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>("BEGIN")), SQL_NTS)))
      return true;
    RollBackSqliteQuietly();
    return false;
  }

  template <typename Read>
  std::invoke_result_t<Read, const Handle&, bool> RunPrepared(std::string_view sql, const std::vector<Parameter>& values,
                                                             Read read) {
    const Prepared& prepared = PreparedStatement(sql);
    const ReadyForReuse reuse(*prepared.statement);
    if (prepared.marks.empty()) return read(*prepared.statement, Run(*prepared.statement, sql, values));
    return read(*prepared.statement, Run(*prepared.statement, sql, ValuesOfMarks(values, prepared.marks)));
  }

  void BeginTransaction() override {
    if (inTransaction_) throw Error::Provider("Only one transaction can be active on this connection.");
    // SQLite's driver would begin a deferred transaction, whose reads lock nothing another session
    // waits for: two clerks could both read a bill as open under the "update lock", and the
    // second to write would fail on the lock instead of waiting and reading it again. The
    // transaction takes the write lock at once, as the embedded database's does.
    if (translate_) {
      RunControlStatement("BEGIN IMMEDIATE");
    } else {
      SetAutocommit(false);
    }
    inTransaction_ = true;
  }

  // Through SQLite's driver a deferred BEGIN, as the embedded database's read transaction: it fixes
  // one snapshot and keeps no other session from writing, the approval component's own connection
  // included. On a server an ordinary transaction, whose update locks are held until it ends.
  void BeginReadTransaction() override {
    if (!translate_) return BeginTransaction();
    if (inTransaction_) throw Error::Provider("Only one transaction can be active on this connection.");
    RunControlStatement("BEGIN");
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
  long ChangedRows(const Handle& statement, bool ran) {
    if (!ran) return 0;
    long changed = -1;
    do {
      SQLLEN count = -1;
      if (SQL_SUCCEEDED(SQLRowCount(statement.Get(), &count)) && count >= 0) {
        changed = (changed < 0 ? 0 : changed) + static_cast<long>(count);
      }
    } while (NextResult(statement));
    return changed;
  }

  ResultSet Rows(const Handle& statement, bool ran) {
    ResultSet result;
    if (!ran) return result;
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
    // SQLite's driver types an expression's column as text (or by its first value): its dates
    // are read as the embedded database reads them, not left as the stored text.
    if (translate_) {
      for (std::size_t i = 0; i < result.columns.size(); ++i)
        if (result.columns[i].baseTable.empty()) ReadAsTimestamps(result, i);
    }
    MarkBaseAndKeyColumns(result.columns);
    return result;
  }

  // Statements with values are prepared once per connection and kept by their text, so the
  // server parses them once and reuses its plan; a statement without values runs directly.
  struct Prepared {
    std::unique_ptr<Handle> statement;
    // For a SQLite source, the value each plain ? of the translation takes (see PlainMarks).
    std::vector<std::size_t> marks;
  };

  const Prepared& PreparedStatement(std::string_view sql) {
    if (const auto found = prepared_.find(sql); found != prepared_.end()) return found->second;
    Prepared prepared{std::make_unique<Handle>(SQL_HANDLE_STMT, connection_->Get()), {}};
    std::string text(sql);
    if (translate_) {
      PlainMarks plain = WithPlainMarks(tsql::Translate(sql));
      text = std::move(plain.text);
      prepared.marks = std::move(plain.values);
    }
    Check(SQLPrepare(prepared.statement->Get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.c_str())), SQL_NTS),
          *prepared.statement, natives_, "The ODBC driver refused the statement.");
    if (prepared_.size() >= kPreparedLimit) prepared_.clear();
    return prepared_.emplace(std::string(sql), std::move(prepared)).first->second;
  }

  static std::vector<Parameter> ValuesOfMarks(const std::vector<Parameter>& values, const std::vector<std::size_t>& marks) {
    std::vector<Parameter> arranged;
    arranged.reserve(marks.size());
    for (const std::size_t value : marks) {
      if (value >= values.size()) throw Error::Provider("The statement has more marks than values.");
      arranged.push_back(values[value]);
    }
    return arranged;
  }

  // Leaves a kept statement closed and without bound values, however its run ended.
  class ReadyForReuse {
   public:
    explicit ReadyForReuse(const Handle& statement) : statement_(statement) {}
    ~ReadyForReuse() {
      SQLFreeStmt(statement_.Get(), SQL_CLOSE);
      SQLFreeStmt(statement_.Get(), SQL_RESET_PARAMS);
    }
    ReadyForReuse(const ReadyForReuse&) = delete;
    ReadyForReuse& operator=(const ReadyForReuse&) = delete;

   private:
    const Handle& statement_;
  };

  void Connect(const std::string& connectionString) {
    SQLCHAR completed[1024];
    SQLSMALLINT completedLength = 0;
    const SQLRETURN rc = SQLDriverConnect(connection_->Get(), nullptr,
                                          reinterpret_cast<SQLCHAR*>(const_cast<char*>(connectionString.c_str())),
                                          SQL_NTS, completed, sizeof completed, &completedLength, SQL_DRIVER_NOPROMPT);
    // Connect failures are never integrity or syntax errors, whatever the SQLSTATE says.
    if (!SQL_SUCCEEDED(rc)) {
      const auto diagnostics = ReadDiagnostics(SQL_HANDLE_DBC, connection_->Get());
      throw Error::Provider(diagnostics.empty() ? "The ODBC data source refused the connection." : diagnostics.front().message);
    }
    connection_->MarkConnected();
  }

  // Without the extension every translated statement that calls a T-SQL function would fail
  // later with "no such function"; the session is refused now instead.
  // A SQLite data source keeps any text in a varchar(10) and 2.7 in an int column; the server, and
  // the embedded database, refuse the one and store 2. The driver's connection is told to hold
  // them (tsql_hold_writes) before any statement that may write: the checks it makes follow the
  // tables as they are then.
  static bool MayWrite(std::string_view sql) {
    for (const std::string_view word : {"insert", "update", "merge", "into"}) {
      const auto found = std::search(sql.begin(), sql.end(), word.begin(), word.end(),
                                     [](char a, char b) { return (a | 0x20) == b; });
      if (found != sql.end()) return true;
    }
    return false;
  }
  void HoldWrites() {
    Handle statement(SQL_HANDLE_STMT, connection_->Get());
    static constexpr const char* kHold = "select tsql_hold_writes()";
    Check(SQLExecDirect(statement.Get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>(kHold)), SQL_NTS), statement,
          natives_, "The ODBC driver refused the statement.");
  }

  void ConfirmExtensionLoaded(const std::string& extensionPath) {
    Handle statement(SQL_HANDLE_STMT, connection_->Get());
    const SQLRETURN rc =
        SQLExecDirect(statement.Get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>(kExtensionProbe)), SQL_NTS);
    if (!SQL_SUCCEEDED(rc)) {
      throw Error::Provider(NotTheTsqlExtensionText(extensionPath));
    }
  }

  // Runs the statement; false when it reported no data (an update that matched nothing).
  // The values are bound to the marks before it runs (a statement with values was prepared);
  // their buffers are read when it runs.
  bool Run(const Handle& statement, std::string_view sql, const std::vector<Parameter>& values) {
    std::vector<BoundParameter> bound;
    bound.reserve(values.size());  // bound buffers must not move once bound
    for (const Parameter& value : values) {
      bound.push_back(translate_ ? PrepareSqliteValueBinding(value) : PrepareValueBinding(value));
    }
    for (std::size_t i = 0; i < bound.size(); ++i) {
      BoundParameter& b = bound[i];
      Check(SQLBindParameter(statement.Get(), static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT, b.cType, b.sqlType,
                             b.columnSize, b.decimalDigits, b.Buffer(), b.BufferLength(), &b.indicator),
            statement, natives_, "SQLBindParameter failed");
    }
    SQLRETURN rc;
    if (values.empty()) {
      const std::string text = translate_ ? tsql::Translate(sql) : std::string(sql);
      rc = SQLExecDirect(statement.Get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.c_str())), SQL_NTS);
    } else {
      rc = SQLExecute(statement.Get());  // prepared by PreparedStatement
    }
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
    if (translate_ ? ReadStored(statement.Get(), column, kind, value) : ReadTyped(statement.Get(), column, kind, value))
      return;
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

  void RunControlStatement(const char* sql) {
    Handle statement(SQL_HANDLE_STMT, connection_->Get());
    Check(SQLExecDirect(statement.Get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql)), SQL_NTS), statement, natives_,
          std::string("The ODBC driver refused ") + sql);
  }

  // A commit SQLite refuses (a reader still holding the file) leaves the transaction open: it is
  // rolled back, so the connection is never left inside it.
  void EndSqliteTransaction(SQLSMALLINT completion) {
    if (completion == SQL_ROLLBACK) return RunControlStatement("ROLLBACK");
    try {
      RunControlStatement("COMMIT");
    } catch (const Error&) {
      RollBackSqliteQuietly();
      throw;
    }
  }

  // Where a failure has nothing left to report to: a connection closing, or a commit already failed.
  void RollBackSqliteQuietly() {
    Handle statement(SQL_HANDLE_STMT, connection_->Get());
    SQLExecDirect(statement.Get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>("ROLLBACK")), SQL_NTS);
  }

  // A rollback with no transaction open (the data source ended it after a failure) has nothing
  // left to undo, as on the embedded database.
  void EndTransaction(SQLSMALLINT completion) {
    if (!inTransaction_ && completion == SQL_ROLLBACK) return;
    if (!inTransaction_) throw Error::Provider("No transaction is active.");
    inTransaction_ = false;
    if (translate_) return EndSqliteTransaction(completion);
    const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, connection_->Get(), completion);
    const auto diagnostics = SQL_SUCCEEDED(rc) ? std::vector<Diagnostic>()
                                               : ReadDiagnostics(SQL_HANDLE_DBC, connection_->Get());
    SetAutocommit(true);
    if (!SQL_SUCCEEDED(rc)) throw ErrorFromDiagnostics(diagnostics, natives_, "SQLEndTran failed");
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
  // After the connection, so they are freed before it.
  std::map<std::string, Prepared, std::less<>> prepared_;
  bool inTransaction_ = false;
  std::map<std::string, TableFacts> tables_;
};

}  // namespace
}  // namespace odbc

std::unique_ptr<Backend> OpenOdbcBackend(const std::string& connStrWithoutDialect, bool translateAsSqlite) {
  return std::make_unique<odbc::OdbcBackend>(connStrWithoutDialect, translateAsSqlite);
}

}  // namespace adodb

