#include "adodb/SqliteBackend.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <utility>

#include "adodb/BoundValues.h"
#include "adodb/DataType.h"
#include "adodb/DecimalText.h"
#include "adodb/Error.h"
#include "adodb/SqliteFileOpening.h"
#include "adodb/SqliteValueOf.h"
#include "adodb/StoredProcedures.h"
#include "adodb/TextCompare.h"
#include "adodb/tsql/SqliteFunctions.h"
#include "adodb/tsql/Translator.h"
#include "adodb/tsql/UnnamedColumn.h"
#include "adodb/tsql/VariableStore.h"

namespace adodb {

namespace {

constexpr int kBusyTimeoutMs = 30000;
// Another session switching the journal takes a moment; see SwitchToWal.
constexpr long kJournalSwitchWaitMs = 2000;
// SQLite's own busy timeout sleeps these steps, then 100 ms at a time until the timeout is spent;
// the waits here keep them, so a wait ends (or gives up) as it did under sqlite3_busy_timeout.
constexpr int kLockWaitSteps[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
constexpr int kLockWaitStepCount = static_cast<int>(std::size(kLockWaitSteps));
// Shorter waits pass unnoticed; after this long the clerk is told.
constexpr long kLockWaitToldAfterMs = 1000;
constexpr std::size_t kStatementCacheLimit = 512;
constexpr sqlite3_int64 kLargestExactDouble = sqlite3_int64{1} << 53;

// A failure the file or another session caused, not the statement: the lock held past the busy
// wait, a file that may only be read (also its WAL index, made by another user), the disk full.
// SQLite has then undone the statement (or the whole transaction); the caller rolls back the rest.
Error::Hindrance HindranceOf(int code) {
  switch (code & 0xff) {
    case SQLITE_BUSY:
      return Error::Hindrance::LockedByOthers;
    case SQLITE_READONLY:
      return Error::Hindrance::ReadOnlyFile;
    case SQLITE_FULL:
      return Error::Hindrance::DiskFull;
    default:
      return Error::Hindrance::None;
  }
}

// How a column's stored values become variants; chosen once per column from its declared type.
enum class ValueKind { Boolean, Integer, Currency, Double, Date, Text, Inferred };

ValueKind KindOf(DataType type) {
  switch (type) {
    case adBoolean:
      return ValueKind::Boolean;
    case adSmallInt:
    case adInteger:
    case adTinyInt:
    case adBigInt:
      return ValueKind::Integer;
    case adCurrency:
      return ValueKind::Currency;
    case adSingle:
    case adDouble:
    case adDecimal:
    case adNumeric:
      return ValueKind::Double;
    case adDate:
    case adDBDate:
    case adDBTimeStamp:
      return ValueKind::Date;
    case adEmpty:
      return ValueKind::Inferred;
    default:
      return ValueKind::Text;
  }
}

std::string_view ColumnText(sqlite3_stmt* statement, int i) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
  return text ? std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, i))) : std::string_view();
}

Variant NumberFromText(std::string_view text, ValueKind kind) {
  double number = 0;
  if (!ParseNumber(text, number)) return Variant(text);
  if (kind == ValueKind::Currency) return Variant::Currency(number);
  if (kind == ValueKind::Integer && std::trunc(number) == number && std::fabs(number) < 9.0e15) {
    return Variant(static_cast<long long>(number));
  }
  return Variant(number);
}

Variant ReadValue(sqlite3_stmt* statement, int i, ValueKind kind) {
  const int storage = sqlite3_column_type(statement, i);
  if (storage == SQLITE_NULL) return Variant::Null();
  switch (kind) {
    case ValueKind::Boolean:
      if (storage == SQLITE_TEXT) break;
      return Variant(sqlite3_column_double(statement, i) != 0);
    case ValueKind::Integer:
      if (storage == SQLITE_INTEGER) return Variant(static_cast<long long>(sqlite3_column_int64(statement, i)));
      if (storage == SQLITE_FLOAT) return NumberFromText(FormatNumber(sqlite3_column_double(statement, i)), kind);
      return NumberFromText(ColumnText(statement, i), kind);
    case ValueKind::Currency:
    case ValueKind::Double:
      // A whole number a double cannot hold exactly (a decimal(19,0) past 2^53) stays an integer.
      if (storage == SQLITE_INTEGER) {
        const sqlite3_int64 whole = sqlite3_column_int64(statement, i);
        if (whole > kLargestExactDouble || whole < -kLargestExactDouble) return Variant(static_cast<long long>(whole));
      }
      if (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT) {
        const double number = sqlite3_column_double(statement, i);
        return kind == ValueKind::Currency ? Variant::Currency(number) : Variant(number);
      }
      return NumberFromText(ColumnText(statement, i), kind);
    case ValueKind::Date:
      if (storage == SQLITE_TEXT) {
        const std::string_view text = ColumnText(statement, i);
        if (auto date = Date::Parse(text)) return Variant(*date);
        return Variant(text);
      }
      break;
    case ValueKind::Text:
      return Variant(ColumnText(statement, i));
    case ValueKind::Inferred:
      break;
  }
  if (storage == SQLITE_INTEGER) return Variant(static_cast<long long>(sqlite3_column_int64(statement, i)));
  if (storage == SQLITE_FLOAT) return Variant(sqlite3_column_double(statement, i));
  return Variant(ColumnText(statement, i));
}

// An expression column has no declared type: its type follows its values, as the server would
// have typed the expression (numbers, timestamps, otherwise text).
void InferColumnType(ResultSet& result, std::size_t column) {
  if (ReadAsTimestamps(result, column)) return;
  bool anyDouble = false, anyInteger = false, anyText = false;
  for (const Row row : result.rows) {
    const Variant& value = row[column];
    switch (value.Type()) {
      case VariantType::Double:
        anyDouble = true;
        break;
      case VariantType::Integer:
        anyInteger = true;
        break;
      case VariantType::Text:
        anyText = true;
        break;
      default:
        break;
    }
  }
  DataType& type = result.columns[column].type;
  if (anyText) {
    type = adVarChar;
  } else if (anyDouble) {
    type = adDouble;
  } else if (anyInteger) {
    type = adInteger;
  } else {
    type = adVarChar;
  }
}

bool OnlySeparators(const char* tail) {
  for (; tail && *tail; ++tail) {
    if (!std::isspace(static_cast<unsigned char>(*tail)) && *tail != ';') return false;
  }
  return true;
}

bool ChangesSchema(std::string_view sql) {
  sql = Trimmed(sql);
  return StartsWithName(sql, "create") || StartsWithName(sql, "drop") || StartsWithName(sql, "alter");
}

// SQLite's refusal of a name that is no column, in the words SQL Server uses for it (the screens
// and the module's users know those); other messages are kept as SQLite words them.
std::string ServerWording(std::string_view message) {
  constexpr std::string_view kNoSuchColumn = "no such column: ";
  if (message.substr(0, kNoSuchColumn.size()) != kNoSuchColumn) return std::string(message);
  return "Invalid column name '" + std::string(message.substr(kNoSuchColumn.size())) + "'.";
}

// Resets (keeps for reuse) or finalizes a statement when the caller is done with it, whatever
// way it leaves.
template <int (*Release)(sqlite3_stmt*)>
class StatementGuard {
 public:
  explicit StatementGuard(sqlite3_stmt* statement) : statement_(statement) {}
  ~StatementGuard() { Release(statement_); }
  StatementGuard(const StatementGuard&) = delete;
  StatementGuard& operator=(const StatementGuard&) = delete;

 private:
  sqlite3_stmt* statement_;
};
using ResetOnExit = StatementGuard<sqlite3_reset>;
using FinalizeOnExit = StatementGuard<sqlite3_finalize>;

void Bind(sqlite3_stmt* statement, int index, const SqliteValue& value) {
  switch (value.kind) {
    case SqliteValue::Kind::Null:
      sqlite3_bind_null(statement, index);
      return;
    case SqliteValue::Kind::Integer:
      sqlite3_bind_int64(statement, index, value.integer);
      return;
    case SqliteValue::Kind::Real:
      sqlite3_bind_double(statement, index, value.real);
      return;
    case SqliteValue::Kind::Text:
      // The text stays in the backend's bound values until the statement is bound again.
      sqlite3_bind_text64(statement, index, value.text.data(), value.text.size(), SQLITE_STATIC, SQLITE_UTF8);
      return;
  }
}

// The marks are numbered (?1, ?2 ...) by the translation, so each takes the value of its number
// whichever statement of a batch it stands in: the numbers of the statement's marks, in order.
// SQLite counts marks up to the highest number, so a later statement of a batch that reads only
// ?2 has a first mark without a name, which no value is bound to (kUnusedMark).
constexpr long kUnusedMark = -1;
std::vector<long> MarkNumbers(sqlite3_stmt* statement) {
  std::vector<long> numbers;
  const int count = sqlite3_bind_parameter_count(statement);
  numbers.reserve(static_cast<std::size_t>(count));
  for (int index = 1; index <= count; ++index) {
    const char* name = sqlite3_bind_parameter_name(statement, index);
    numbers.push_back(!name ? kUnusedMark : name[0] == '?' ? std::strtol(name + 1, nullptr, 10) : 0);
  }
  return numbers;
}

// `bound` receives the value bound to each mark, in the marks' order.
void BindValues(sqlite3_stmt* statement, const std::vector<long>& marks, const std::vector<Parameter>& values,
                std::vector<SqliteValue>& bound) {
  bound.clear();
  if (marks.empty() && values.empty()) return;
  bound.reserve(marks.size());  // no value moves once SQLite holds its text
  int index = 0;
  for (const long number : marks) {
    ++index;
    if (number < 1 || static_cast<std::size_t>(number) > values.size()) {
      if (number == kUnusedMark) continue;  // tested here, where a statement's marks all have values pays nothing
      throw Error::Provider("The statement has more parameter marks than the " + std::to_string(values.size()) +
                            " values given.");
    }
    bound.push_back(SqliteValueOf(values[static_cast<std::size_t>(number - 1)]));
    Bind(statement, index, bound.back());
  }
}

// A statement on its own uses every value it was given: a value left over means the caller's
// marks and values do not match, and running it would put the others in the wrong places.
void BindAllValues(sqlite3_stmt* statement, const std::vector<long>& marks, const std::vector<Parameter>& values,
                   std::vector<SqliteValue>& bound) {
  BindValues(statement, marks, values, bound);
  if (marks.size() < values.size()) {
    throw Error::Provider("The statement has fewer parameter marks than the " + std::to_string(values.size()) +
                          " values given.");
  }
}

}  // namespace

// While its statement runs, the backend's lock wait may be told to the watcher; once the statement
// has returned, waiting or not, the wait has ended.
class SqliteBackend::LockWaitScope {
 public:
  explicit LockWaitScope(SqliteBackend& backend) : backend_(backend) {}
  ~LockWaitScope() {
    if (backend_.lockWaitSecondsTold_ > 0) backend_.TellLockWait(LockWait::Ended, 0);
  }
  LockWaitScope(const LockWaitScope&) = delete;
  LockWaitScope& operator=(const LockWaitScope&) = delete;

 private:
  SqliteBackend& backend_;
};

int SqliteBackend::WaitForLock(void* backend, int attempt) {
  const int last = kLockWaitStepCount - 1;
  long waited = 0;
  for (int i = 0; i < std::min(attempt, last); ++i) waited += kLockWaitSteps[i];
  if (attempt > last) waited += long{kLockWaitSteps[last]} * (attempt - last);
  auto& self = *static_cast<SqliteBackend*>(backend);
  const long step = std::min<long>(kLockWaitSteps[std::min(attempt, last)], self.lockWaitLimitMs_ - waited);
  if (step <= 0) return 0;
  if (waited >= kLockWaitToldAfterMs && waited / 1000 != self.lockWaitSecondsTold_) {
    self.TellLockWait(self.lockWaitSecondsTold_ == 0 ? LockWait::Started : LockWait::Continuing, waited);
  }
  sqlite3_sleep(static_cast<int>(step));
  return 1;
}

// Called from inside SQLite (or a destructor): nothing the watcher throws may pass.
void SqliteBackend::TellLockWait(LockWait stage, long waitedMs) {
  lockWaitSecondsTold_ = stage == LockWait::Ended ? 0 : waitedMs / 1000;
  if (!lockWaitWatcher_) return;
  try {
    lockWaitWatcher_(stage, waitedMs);
  } catch (...) {
  }
}

void SqliteBackend::WatchLockWaits(LockWaitWatcher watcher) { lockWaitWatcher_ = std::move(watcher); }

long SqliteBackend::SetLockWaitLimit(long ms) { return std::exchange(lockWaitLimitMs_, std::max(0L, ms)); }

SqliteBackend::SqliteBackend(const std::string& path, bool readOnly)
    : statements_(kStatementCacheLimit), lockWaitLimitMs_(kBusyTimeoutMs) {
  db_ = OpenDatabaseFile(path, readOnly);
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_handler(db_, &SqliteBackend::WaitForLock, this);
  try {
    // A file opened read-only (see SqliteFileOpening.h): selects work and writes fail with
    // SQLite's "attempt to write a readonly database"; switching its journal would be a write.
    if (sqlite3_db_readonly(db_, "main") != 1) SwitchToWal();
    RunControlStatement("PRAGMA synchronous=NORMAL");
    tsql::RegisterSqliteFunctions(db_);
    textLengths_ = std::make_unique<TextLengthChecks>(db_);
  } catch (...) {
    textLengths_.reset();
    sqlite3_close(db_);
    db_ = nullptr;
    throw;
  }
}

SqliteBackend::~SqliteBackend() {
  statements_.Clear();
  textLengths_.reset();
  if (db_ && !sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close_v2(db_);
}

// Two sessions opening a file still in rollback mode (a clerk's two launchers on a first run) may
// switch it at the same moment. A switch reads, then writes, and SQLite refuses the second writer
// at once ("database is locked") rather than let it wait holding its read lock, since the two
// would wait on each other. Once the first has switched the file the second has nothing left to
// do: it tries again. A program writing the file in rollback mode holds it for as long as it
// likes, though: the switch waits a moment for it, not a statement's half minute, and opening
// fails at once saying the file is locked.
void SqliteBackend::SwitchToWal() {
  const long usualWait = SetLockWaitLimit(kJournalSwitchWaitMs);
  for (int attempt = 0;; ++attempt) {
    try {
      RunControlStatement("PRAGMA journal_mode=WAL");
      SetLockWaitLimit(usualWait);
      return;
    } catch (const Error&) {
      if ((sqlite3_errcode(db_) & 0xff) != SQLITE_BUSY || WaitForLock(this, attempt) == 0) throw;
    }
  }
}

void SqliteBackend::RunControlStatement(const char* sql) {
  LockWaitScope waitEnds(*this);
  if (trace_) trace_(sql, {});
  char* message = nullptr;
  if (const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &message); rc != SQLITE_OK) {
    std::string text = message ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    throw Error::Hindered(HindranceOf(rc), std::move(text));
  }
}

void SqliteBackend::ThrowStepError() {
  const int code = sqlite3_extended_errcode(db_);
  std::string message = sqlite3_errmsg(db_);
  if (code == SQLITE_CONSTRAINT_PRIMARYKEY || code == SQLITE_CONSTRAINT_UNIQUE) {
    throw Error::DuplicateKey(std::move(message));
  }
  // A decimal column's range check speaks as the server does: an arithmetic error, no constraint.
  if (code == SQLITE_CONSTRAINT_TRIGGER && StartsWithName(message, "Arithmetic overflow error")) {
    throw Error::Provider(std::move(message));
  }
  if ((code & 0xff) == SQLITE_CONSTRAINT) throw Error::Integrity(std::move(message));
  throw Error::Hindered(HindranceOf(code), std::move(message));
}

// Preparing reads the schema, which a file that cannot be read just now refuses as well.
void SqliteBackend::ThrowPrepareError() {
  if (const Error::Hindrance hindrance = HindranceOf(sqlite3_extended_errcode(db_)); hindrance != Error::Hindrance::None) {
    throw Error::Hindered(hindrance, sqlite3_errmsg(db_));
  }
  throw Error::Syntax(ServerWording(sqlite3_errmsg(db_)));
}

void SqliteBackend::SetStatementTrace(StatementTrace trace) { trace_ = std::move(trace); }

void SqliteBackend::Trace(sqlite3_stmt* statement) {
  if (trace_) trace_(sqlite3_sql(statement), bound_);
}

// A text that translates to one statement is prepared once and kept by the text it came as; a
// batch of several is translated (from the translator's cache) and prepared statement by statement.
template <typename Run>
void SqliteBackend::ForEachStatement(std::string_view sql, const std::vector<Parameter>& values, Run&& run) {
  LockWaitScope waitEnds(*this);
  if (PreparedStatements::Kept* cached = statements_.Find(sql)) {
    ResetOnExit reset(cached->statement);
    BindAllValues(cached->statement, cached->marks, values, bound_);
    if (textLengths_->Before(cached->statement)) ThrowStepError();
    Trace(cached->statement);
    run(cached->statement, cached);
    return;
  }
  const std::string translated = tsql::Translate(sql);
  try {
    RunStatements(translated, sql, values, run);
  } catch (...) {
    DropOutputTrigger(translated);
    throw;
  }
}

// An OUTPUT ... INTO runs through a temporary trigger on the table it changes, which the batch
// drops after the statement. A batch that failed in between must not leave it to write into its
// INTO table on every later change of that table, nor to fail them once that table is gone.
void SqliteBackend::DropOutputTrigger(const std::string& translated) {
  if (translated.find("TRIGGER tsql_output") == std::string::npos) return;
  sqlite3_exec(db_, "DROP TRIGGER IF EXISTS temp.tsql_output", nullptr, nullptr, nullptr);
}

template <typename Run>
void SqliteBackend::RunStatements(const std::string& translated, std::string_view sql,
                                  const std::vector<Parameter>& values, Run& run) {
  const char* next = translated.c_str();
  const char* end = translated.c_str() + translated.size();
  bool first = true;
  while (next < end && !OnlySeparators(next)) {
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db_, next, static_cast<int>(end - next), &statement, &tail) != SQLITE_OK) {
      ThrowPrepareError();
    }
    next = tail;
    if (!statement) continue;
    if (first && OnlySeparators(tail)) {
      PreparedStatements::Kept* kept = statements_.Add(sql, statement);
      kept->marks = MarkNumbers(statement);
      ResetOnExit reset(statement);
      BindAllValues(statement, kept->marks, values, bound_);
      if (textLengths_->Before(statement)) ThrowStepError();
      Trace(statement);
      run(statement, kept);
      return;
    }
    first = false;
    FinalizeOnExit finalize(statement);
    BindValues(statement, MarkNumbers(statement), values, bound_);
    if (textLengths_->Before(statement)) ThrowStepError();
    Trace(statement);
    run(statement, nullptr);
  }
}

long SqliteBackend::Execute(std::string_view sql) { return Execute(sql, {}); }

long SqliteBackend::Execute(std::string_view sql, const std::vector<Parameter>& values) {
  if (ChangesSchema(sql)) {
    keyColumns_.clear();
    statements_.ForgetColumns();
  }
  long changed = -1;
  ForEachStatement(sql, values, [&](sqlite3_stmt* statement, PreparedStatements::Kept*) {
    // sqlite3_changes() keeps the count of the last DML statement across DDL: trust it only when
    // the running total shows this very statement changed rows (it leaves trigger rows out).
    const sqlite3_int64 before = sqlite3_total_changes64(db_);
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) ThrowStepError();
    if (!sqlite3_stmt_readonly(statement)) {
      const bool changedRows = sqlite3_total_changes64(db_) != before;
      changed = std::max(changed, 0L) + (changedRows ? static_cast<long>(sqlite3_changes64(db_)) : 0L);
    }
  });
  return changed;
}

const std::vector<std::string>& SqliteBackend::KeyColumns(const std::string& table) {
  std::string key = LowerName(table);
  if (const auto found = keyColumns_.find(key); found != keyColumns_.end()) return found->second;
  std::vector<std::string> columns;
  sqlite3_stmt* statement = nullptr;
  const std::string pragma = "SELECT name FROM pragma_table_info(?1) WHERE pk > 0 ORDER BY pk";
  if (sqlite3_prepare_v2(db_, pragma.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
    FinalizeOnExit finalize(statement);
    sqlite3_bind_text(statement, 1, table.c_str(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(statement) == SQLITE_ROW) columns.push_back(LowerName(ColumnText(statement, 0)));
  }
  return keyColumns_.emplace(std::move(key), std::move(columns)).first->second;
}

void SqliteBackend::ReadColumns(sqlite3_stmt* statement, ResultSet& result) {
  const int count = sqlite3_column_count(statement);
  result.columns.resize(static_cast<std::size_t>(count));
  bool keysCurrent = false;
  for (int i = 0; i < count; ++i) {
    ColumnInfo& column = result.columns[static_cast<std::size_t>(i)];
    column.name = tsql::ServerColumnName(sqlite3_column_name(statement, i));
    const char* declared = sqlite3_column_decltype(statement, i);
    column.type = DataTypeFromDeclaration(declared ? declared : "");
    const char* table = sqlite3_column_table_name(statement, i);
    const char* origin = sqlite3_column_origin_name(statement, i);
    if (table && origin) {
      column.baseTable = table;
      column.baseColumn = origin;
      // Another connection may have made the table anew with another key: an editable record set
      // would then find its rows by the old one. The keys kept are dropped once the schema moved.
      if (!keysCurrent) {
        const auto now = tsql::DeclaredColumnKinds::VersionsOf(db_);
        if (now != keysReadUnder_ || now.main < 0) keyColumns_.clear();
        keysReadUnder_ = now;
        keysCurrent = true;
      }
      const auto& keys = KeyColumns(column.baseTable);
      column.isKey = std::find(keys.begin(), keys.end(), LowerName(origin)) != keys.end();
    }
  }
}

// A kept statement's columns are read once per preparation: their names, types and keys are the
// same on every run.
void SqliteBackend::KeptColumns(sqlite3_stmt* statement, PreparedStatements::Kept* kept, ResultSet& result) {
  if (!kept) return ReadColumns(statement, result);
  const int preparation = sqlite3_stmt_status(statement, SQLITE_STMTSTATUS_REPREPARE, 0);
  if (kept->columnsPreparation != preparation) {
    ReadColumns(statement, result);
    kept->columns = result.columns;
    kept->columnsPreparation = preparation;
    return;
  }
  result.columns = kept->columns;
}

ResultSet SqliteBackend::Query(std::string_view sql) { return Query(sql, {}); }

ResultSet SqliteBackend::Query(std::string_view sql, const std::vector<Parameter>& values) {
  ResultSet result;
  bool haveRows = false;
  ForEachStatement(sql, values, [&](sqlite3_stmt* statement, PreparedStatements::Kept* kept) {
    // Columns are read once the statement has run: a schema change prepares it anew on its step.
    int rc = sqlite3_step(statement);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) ThrowStepError();
    const int count = sqlite3_column_count(statement);
    // A batch's variable assignments run as selects whose rows are no result.
    const bool materialize = !haveRows && count > 0 && !tsql::AssignsVariables(statement);
    std::vector<ValueKind> kinds;
    if (materialize) {
      haveRows = true;
      KeptColumns(statement, kept, result);
      kinds.reserve(result.columns.size());
      for (const ColumnInfo& column : result.columns) kinds.push_back(KindOf(column.type));
      result.rows.SetWidth(kinds.size());
    }
    for (; rc == SQLITE_ROW; rc = sqlite3_step(statement)) {
      if (!materialize) continue;
      for (int i = 0; i < count; ++i) result.rows.AppendValue(ReadValue(statement, i, kinds[static_cast<std::size_t>(i)]));
    }
    if (rc != SQLITE_DONE) ThrowStepError();
  });
  for (std::size_t i = 0; i < result.columns.size(); ++i) {
    if (result.columns[i].type == adEmpty) InferColumnType(result, i);
  }
  return result;
}

void SqliteBackend::BeginTransaction() {
  if (InTransaction()) throw Error::Provider("Cannot start more transactions on this session.");
  RunControlStatement("BEGIN IMMEDIATE");
  textLengths_->WriteLockTaken();
}

// A deferred BEGIN takes no write lock: in WAL mode its first read fixes the snapshot every later
// read of the transaction sees, without waiting for a writer or failing on a read-only file.
void SqliteBackend::BeginReadTransaction() {
  if (InTransaction()) throw Error::Provider("Cannot start more transactions on this session.");
  RunControlStatement("BEGIN");
}

void SqliteBackend::CommitTransaction() {
  if (!InTransaction()) throw Error::Provider("No transaction is active.");
  textLengths_->WriteLockReleased();
  RunControlStatement("COMMIT");
}

void SqliteBackend::RollbackTransaction() {
  // SQLite may already have rolled back after a failed statement; nothing is left to undo then.
  textLengths_->WriteLockReleased();
  if (InTransaction()) RunControlStatement("ROLLBACK");
}

bool SqliteBackend::InTransaction() const { return sqlite3_get_autocommit(db_) == 0; }

void SqliteBackend::CallProcedure(const std::string& name, std::vector<std::shared_ptr<Parameter>>& parameters) {
  const ProcedureHandler* handler = FindStoredProcedure(name);
  if (!handler) throw Error::Provider("Could not find stored procedure '" + name + "'.");
  (*handler)(*this, parameters);
}

}  // namespace adodb
