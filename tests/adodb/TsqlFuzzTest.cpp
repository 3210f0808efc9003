// Random and mutated statements through the translator and the embedded database: whatever the
// text, the result is a translation that runs or fails with adodb::Error or SQLite's error, never
// a crash, a hang or (in the sanitizer build) a sanitizer report. The seeds are the golden
// corpus's statements; the generator is seeded, so a failure names a case that repeats.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "adodb/Error.h"
#include "adodb/tsql/SqliteFunctions.h"
#include "adodb/tsql/Translator.h"
#include "support/DataFiles.h"

namespace {

constexpr int kCases = 3000;
// Generous: a case that runs longer has hung (a statement's work should be milliseconds).
constexpr auto kCaseTimeLimit = std::chrono::seconds(1);

const std::vector<std::string> kVocabulary = {
    "select", "from", "where", "update", "set", "delete", "insert", "into", "values", "top", "(", ")", "(", ")", ",",
    "+", "-", "*", "/", "%", "&", "|", "^", "~", "=", "<>", "<", ">=", "!<", "and", "or", "not", "like", "in",
    "between", "is", "null", "case", "when", "then", "else", "end", "isnull(", "round(", "substring(", "cast(",
    "as", "datetime", "int", "dateadd(day,", "convert(varchar,", "charindex(", "0x1F", "1.", "9223372036854775807",
    "-9223372036854775808", "0", "1e308", "'2024-02-30'", "'20240305'", "'[a-c]%'", "N'调拨'", "'it''s'", "[k]",
    "\"v\"", "t", "u", "a", "k", "v", "t a", "/*", "*/", "--", "'", "[", "escape", "union", "order by", "group by"};

std::vector<std::string> Seeds() {
  std::vector<std::string> seeds;
  for (const auto& file : testsupport::DataFiles("tsql", ".test")) {
    std::ifstream in(file);
    std::string line;
    bool query = false;
    while (std::getline(in, line)) {
      if (query && line != "----" && line.size() < 2000) seeds.push_back(line);
      query = line == "query";
    }
  }
  return seeds;
}

// Each case is a soup of words, a deep nest past the translator's limit, or a golden statement
// with a few words inserted, bytes cut, changed or repeated.
class Fuzzer {
 public:
  explicit Fuzzer(unsigned seed) : random_(seed), seeds_(Seeds()) {}

  std::string Next() {
    const std::size_t kind = Pick(16);
    std::string sql = kind < 6 || seeds_.empty() ? "select " : seeds_[Pick(seeds_.size())];
    if (kind == 0) {
      const std::size_t depth = Pick(700);  // past the translator's limit of 500
      const std::string open = Pick(2) ? "(" : "abs(";
      for (std::size_t i = 0; i < depth; ++i) sql += open;
      sql += "1";
      for (std::size_t i = 0; i < depth; ++i) sql += Pick(50) ? ")" : "+1)";
    } else if (kind < 6) {
      for (std::size_t i = 0, n = 1 + Pick(30); i < n; ++i) sql += Word() + " ";
    } else {
      for (std::size_t i = 0, n = 1 + Pick(4); i < n && !sql.empty(); ++i) {
        const std::size_t at = Pick(sql.size()), how = Pick(4);
        if (how == 0) sql.insert(at, " " + Word() + " ");
        else if (how == 1) sql.erase(at, 1 + Pick(8));
        else if (how == 2) sql[at] = static_cast<char>(Pick(256));
        else sql.insert(at, sql.substr(at, Pick(40)));
      }
    }
    return sql;
  }

 private:
  std::size_t Pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }
  const std::string& Word() { return kVocabulary[Pick(kVocabulary.size())]; }

  std::mt19937 random_;
  std::vector<std::string> seeds_;
};

using Db = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;

Db FuzzDatabase() {
  sqlite3* raw = nullptr;
  sqlite3_open(":memory:", &raw);
  adodb::tsql::RegisterSqliteFunctions(raw);
  sqlite3_exec(raw,
               "create table t (k text collate TSQL, v int, d datetime); create table u (k text collate TSQL, q real);"
               "create table a (k text collate TSQL);"
               "insert into t values ('a', 1, '2024-03-05 00:00:00'), ('B ', null, null), (null, 9223372036854775807, 'x');"
               "insert into u values ('a', 2.5), ('b', -1); insert into a values ('[x'), ('50%');",
               nullptr, nullptr, nullptr);
  return Db(raw, &sqlite3_close);
}

using Clock = std::chrono::steady_clock;

// Stops SQLite once the case's deadline has passed.
int PastDeadline(void* deadline) { return Clock::now() > *static_cast<Clock::time_point*>(deadline) ? 1 : 0; }

// Translates and runs one statement inside a transaction that is rolled back, so every case
// starts from the same rows. True when it finished in time.
bool RunsInTime(sqlite3* db, const std::string& tsql) {
  Clock::time_point deadline = Clock::now() + kCaseTimeLimit;
  sqlite3_progress_handler(db, 1000, PastDeadline, &deadline);
  std::string sql;
  try {
    sql = adodb::tsql::Translate(tsql);
  } catch (const adodb::Error&) {
    return Clock::now() <= deadline;
  }
  sqlite3_exec(db, "savepoint fuzz", nullptr, nullptr, nullptr);
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
    while (sqlite3_step(statement) == SQLITE_ROW) {
    }
  }
  const bool interrupted = sqlite3_errcode(db) == SQLITE_INTERRUPT;
  sqlite3_finalize(statement);
  sqlite3_exec(db, "rollback to fuzz; release fuzz", nullptr, nullptr, nullptr);
  return !interrupted && Clock::now() <= deadline;
}

TEST(TsqlFuzz, RandomAndMutatedStatementsNeverCrashOrHang) {
  Fuzzer fuzzer(20240305);
  Db db = FuzzDatabase();
  for (int i = 0; i < kCases; ++i) {
    const std::string sql = fuzzer.Next();
    EXPECT_TRUE(RunsInTime(db.get(), sql)) << "case " << i << " ran over " << kCaseTimeLimit.count() << " s: " << sql.substr(0, 500);
  }
}

}  // namespace
