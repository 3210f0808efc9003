// Runs the golden files tests/tsql/*.test (their form: GoldenCases.h). Every case runs on a fresh
// in-memory SQLite database with the T-SQL functions registered.
//
// The fuzz test below sends random and mutated statements through the translator and such a
// database: whatever the text, the result is a translation that runs or fails with adodb::Error or
// SQLite's error, never a crash, a hang or (in the sanitizer build) a sanitizer report. Its seeds
// are the golden queries; the generator's seed is printed, so a failure names a case that repeats.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "adodb/Error.h"
#include "adodb/TextLengths.h"
#include "adodb/tsql/SqliteFunctions.h"
#include "adodb/tsql/Translator.h"
#include "adodb/tsql/VariableStore.h"
#include "GoldenCases.h"
#include "support/PropertyRuns.h"
#include "support/SanitizedRuns.h"

namespace {

using testsupport::Joined;

using Db = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;

std::map<sqlite3*, std::unique_ptr<adodb::TextLengthChecks>>& ChecksOf() {
  static std::map<sqlite3*, std::unique_ptr<adodb::TextLengthChecks>> checks;
  return checks;
}

Db OpenDatabase() {
  sqlite3* raw = nullptr;
  sqlite3_open(":memory:", &raw);
  adodb::tsql::RegisterSqliteFunctions(raw);
  ChecksOf()[raw] = std::make_unique<adodb::TextLengthChecks>(raw);
  return Db(raw, &sqlite3_close);
}
std::string Render(sqlite3_stmt* stmt, int column) {
  const int type = sqlite3_column_type(stmt, column);
  if (type == SQLITE_NULL) return "NULL";
  if (type != SQLITE_FLOAT) return reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.15g", sqlite3_column_double(stmt, column));
  return buf;
}

// Translates and runs one batch, statement by statement, each write held to its columns' declared
// types as the embedded backend holds it; returns the rows of every statement that gives a result
// (a batch's variable assignments give none), or throws adodb::Error with the message.
std::vector<std::string> Run(sqlite3* db, const std::string& tsql) {
  adodb::TextLengthChecks& checks = *ChecksOf()[db];
  const std::string sql = adodb::tsql::Translate(tsql);
  std::vector<std::string> rows;
  for (const char* next = sql.c_str(); *next;) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, next, -1, &stmt, &next) != SQLITE_OK)
      throw adodb::Error::Syntax(std::string(sqlite3_errmsg(db)) + " in: " + sql);
    if (!stmt) continue;
    const bool result = !adodb::tsql::AssignsVariables(stmt);
    int rc = checks.Before(stmt);
    while (rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
      rc = SQLITE_OK;
      if (!result) continue;
      std::string row;
      for (int i = 0; i < sqlite3_column_count(stmt); ++i) row += (i ? "\t" : "") + Render(stmt, i);
      rows.push_back(row);
    }
    const std::string message = sqlite3_errmsg(db);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) throw adodb::Error::Provider(message + " in: " + sql);
  }
  return rows;
}

void RunCase(const golden::Case& c) {
  SCOPED_TRACE(c.file + ":" + std::to_string(c.line) + " " + c.title);
  Db db = OpenDatabase();
  const bool expectError = c.expected.size() == 1 && c.expected[0].rfind("error ", 0) == 0;
  try {
    // Only refused statements keep a setup apart; a setup that fails shows with its own text, as
    // Run's errors name the statement.
    for (const std::string& statement : c.setup) Run(db.get(), statement);
    const std::vector<std::string> rows = Run(db.get(), c.query);
    if (expectError) ADD_FAILURE() << "expected an error, got rows:\n" << Joined(rows);
    else EXPECT_EQ(Joined(c.expected), Joined(rows)) << "translated: " << adodb::tsql::Translate(c.query);
  } catch (const adodb::Error& e) {
    if (!expectError) ADD_FAILURE() << "unexpected error: " << e.Description();
    else EXPECT_NE(e.Description().find(c.expected[0].substr(6)), std::string::npos) << e.Description();
  }
}

TEST(TsqlGolden, EveryCaseOfEveryFileGivesSqlServersResult) {
  const std::vector<golden::Case> cases = golden::AllCases();
  EXPECT_GT(cases.size(), 100u);
  for (const golden::Case& c : cases) RunCase(c);
}

// Generous: a case that runs longer has hung (a statement's work should be milliseconds). The
// longest bounded case, a recursion lifted to the embedded limit of 32767 levels, takes over a
// second under the sanitizers, which make every step several times slower.
constexpr auto kCaseTimeLimit = std::chrono::seconds(testsupport::kSanitized ? 10 : 1);

const std::vector<std::string> kVocabulary = {
    "select", "from", "where", "update", "set", "delete", "insert", "into", "values", "top", "(", ")", "(", ")", ",",
    "+", "-", "*", "/", "%", "&", "|", "^", "~", "=", "<>", "<", ">=", "!<", "and", "or", "not", "like", "in",
    "between", "is", "null", "case", "when", "then", "else", "end", "isnull(", "round(", "substring(", "cast(",
    "as", "datetime", "int", "dateadd(day,", "convert(varchar,", "charindex(", "0x1F", "1.", "9223372036854775807",
    "-9223372036854775808", "0", "1e308", "'2024-02-30'", "'20240305'", "'[a-c]%'", "N'调拨'", "'it''s'", "[k]",
    "\"v\"", "t", "u", "a", "k", "v", "t a", "/*", "*/", "--", "'", "[", "escape", "union", "order by", "group by"};

// Each case is a soup of words, a deep nest past the translator's limit, or a golden query with a
// few words inserted, bytes cut, changed or repeated.
std::string FuzzedStatement(testsupport::RandomDraws& draws, const std::vector<std::string>& goldenQueries) {
  const std::size_t kind = draws.Index(16);
  std::string sql = kind < 6 ? "select " : draws.Pick(goldenQueries);
  if (kind == 0) {
    const std::size_t depth = draws.Index(700);  // past the translator's limit of 500
    const std::string open = draws.Index(2) ? "(" : "abs(";
    for (std::size_t i = 0; i < depth; ++i) sql += open;
    sql += "1";
    for (std::size_t i = 0; i < depth; ++i) sql += draws.Index(50) ? ")" : "+1)";
  } else if (kind < 6) {
    for (std::size_t i = 0, n = 1 + draws.Index(30); i < n; ++i) sql += draws.Pick(kVocabulary) + " ";
  } else {
    for (std::size_t i = 0, n = 1 + draws.Index(4); i < n && !sql.empty(); ++i) {
      const std::size_t at = draws.Index(sql.size()), how = draws.Index(4);
      if (how == 0) sql.insert(at, " " + draws.Pick(kVocabulary) + " ");
      else if (how == 1) sql.erase(at, 1 + draws.Index(8));
      else if (how == 2) sql[at] = static_cast<char>(draws.Index(256));
      else sql.insert(at, sql.substr(at, draws.Index(40)));
    }
  }
  return sql;
}

using Clock = std::chrono::steady_clock;

// Stops SQLite once the case's deadline has passed.
int PastDeadline(void* deadline) { return Clock::now() > *static_cast<Clock::time_point*>(deadline) ? 1 : 0; }

// Translates and runs one statement inside a savepoint that is rolled back, so every case starts
// from the same rows. True when it finished in time: past the deadline SQLite is stopped.
bool RunsInTime(sqlite3* db, const std::string& tsql) {
  Clock::time_point deadline = Clock::now() + kCaseTimeLimit;
  sqlite3_progress_handler(db, 1000, PastDeadline, &deadline);
  sqlite3_exec(db, "savepoint fuzz", nullptr, nullptr, nullptr);
  try {
    Run(db, tsql);
  } catch (const adodb::Error&) {
  }
  sqlite3_exec(db, "rollback to fuzz; release fuzz", nullptr, nullptr, nullptr);
  return Clock::now() <= deadline;
}

TEST(TsqlFuzz, RandomAndMutatedStatementsNeverCrashOrHang) {
  Db db = OpenDatabase();
  sqlite3_exec(db.get(),
               "create table t (k text collate TSQL, v int, d datetime); create table u (k text collate TSQL, q real);"
               "create table a (k text collate TSQL);"
               "insert into t values ('a', 1, '2024-03-05 00:00:00'), ('B ', null, null), (null, 9223372036854775807, 'x');"
               "insert into u values ('a', 2.5), ('b', -1); insert into a values ('[x'), ('50%');",
               nullptr, nullptr, nullptr);
  std::vector<std::string> goldenQueries;
  for (const golden::Case& c : golden::AllCases()) {
    if (c.query.size() < 2000) goldenQueries.push_back(c.query);
  }
  testsupport::RunSeeds({20240305}, [&](unsigned seed) -> std::string {
    testsupport::RandomDraws draws(seed);
    for (int i = 0; i < 3000; ++i) {
      const std::string sql = FuzzedStatement(draws, goldenQueries);
      if (!RunsInTime(db.get(), sql)) return "case " + std::to_string(i) + " ran over its time: " + sql.substr(0, 500);
    }
    return "";
  });
}

}  // namespace
