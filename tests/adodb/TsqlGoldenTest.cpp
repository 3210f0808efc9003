// Runs the golden files tests/tsql/*.test. Each block, separated by blank lines, is:
//   # what the case shows
//   setup statements, one per line (T-SQL, run through Translate)
//   query
//   the T-SQL query, one or more lines
//   ----
//   expected rows, columns separated by tabs (NULL, integers, reals as %.15g, text as is), or
//   error <fragment of the message>
// Every block runs on a fresh in-memory SQLite database with the T-SQL functions registered.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "adodb/Error.h"
#include "adodb/tsql/SqliteFunctions.h"
#include "adodb/tsql/Translator.h"
#include "support/DataFiles.h"

namespace {

using testsupport::Joined;

struct GoldenCase {
  std::string file;
  int line = 0;
  std::string title;
  std::vector<std::string> setup;
  std::string query;
  std::vector<std::string> expected;
};

std::vector<GoldenCase> ReadCases(const std::filesystem::path& path) {
  std::vector<GoldenCase> cases;
  std::ifstream in(path);
  enum { kIdle, kSetup, kQuery, kExpected } state = kIdle;
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (line.empty()) {
      state = kIdle;
    } else if (state == kIdle) {
      cases.push_back({path.filename().string(), number, line, {}, {}, {}});
      state = kSetup;
    } else if (state == kSetup) {
      if (line == "query") state = kQuery;
      else cases.back().setup.push_back(line);
    } else if (state == kQuery) {
      std::string& query = cases.back().query;
      if (line == "----") state = kExpected;
      else query += (query.empty() ? "" : "\n") + line;
    } else {
      cases.back().expected.push_back(line);
    }
  }
  return cases;
}

using Db = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;

Db OpenDatabase() {
  sqlite3* raw = nullptr;
  sqlite3_open(":memory:", &raw);
  adodb::tsql::RegisterSqliteFunctions(raw);
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

// Translates and runs one statement; returns its rows, or throws adodb::Error with the message.
std::vector<std::string> Run(sqlite3* db, const std::string& tsql) {
  const std::string sql = adodb::tsql::Translate(tsql);
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
    throw adodb::Error::Syntax(std::string(sqlite3_errmsg(db)) + " in: " + sql);
  std::vector<std::string> rows;
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    std::string row;
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) row += (i ? "\t" : "") + Render(stmt, i);
    rows.push_back(row);
  }
  const std::string message = sqlite3_errmsg(db);
  sqlite3_finalize(stmt);
  if (rc != SQLITE_DONE) throw adodb::Error::Provider(message + " in: " + sql);
  return rows;
}

void RunCase(const GoldenCase& c) {
  SCOPED_TRACE(c.file + ":" + std::to_string(c.line) + " " + c.title);
  Db db = OpenDatabase();
  for (const std::string& statement : c.setup) {
    try {
      Run(db.get(), statement);
    } catch (const adodb::Error& e) {
      ADD_FAILURE() << "setup failed: " << statement << "\n" << e.Description();
      return;
    }
  }
  const bool expectError = c.expected.size() == 1 && c.expected[0].rfind("error ", 0) == 0;
  try {
    const std::vector<std::string> rows = Run(db.get(), c.query);
    if (expectError) ADD_FAILURE() << "expected an error, got rows:\n" << Joined(rows);
    else EXPECT_EQ(Joined(c.expected), Joined(rows)) << "translated: " << adodb::tsql::Translate(c.query);
  } catch (const adodb::Error& e) {
    if (!expectError) ADD_FAILURE() << "unexpected error: " << e.Description();
    else EXPECT_NE(e.Description().find(c.expected[0].substr(6)), std::string::npos) << e.Description();
  }
}

TEST(TsqlGolden, EveryCaseOfEveryFileGivesSqlServersResult) {
  std::size_t cases = 0;
  for (const auto& file : testsupport::DataFiles("tsql", ".test")) {
    for (const GoldenCase& c : ReadCases(file)) RunCase(c), ++cases;
  }
  EXPECT_GT(cases, 100u);
}

}  // namespace
