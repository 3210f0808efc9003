#pragma once
// What every benchmark program measures with: this thread's CPU time (the machine running the
// benchmarks is shared, so wall time is noise), a timed benchmark loop, and a raw sqlite3 read
// of every column of every row to compare the module's layers against.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <ctime>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "adodb/BoundValues.h"

namespace benchsupport {

inline double ThreadCpuNanos() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

// Runs body once per benchmark iteration and stores the CPU nanoseconds per iteration under name.
template <typename Body>
void MeasureCpu(std::map<std::string, double>& nanosPerIteration, benchmark::State& state, const std::string& name,
                Body body) {
  const double start = ThreadCpuNanos();
  long iterations = 0;
  for (auto _ : state) {
    body();
    ++iterations;
  }
  nanosPerIteration[name] = (ThreadCpuNanos() - start) / static_cast<double>(iterations);
}

// Binds the values of a statement's ? marks as a hand-written program would: numbers as numbers,
// dates as the text the database keeps them in, everything else as text.
inline bool BindEach(sqlite3_stmt* stmt, const adodb::BoundValues& values) {
  int index = 0;
  for (const adodb::Parameter& parameter : values) {
    const adodb::Variant& value = parameter.Value();
    ++index;
    int rc = SQLITE_OK;
    if (value.IsNull() || value.IsEmpty()) {
      rc = sqlite3_bind_null(stmt, index);
    } else if (parameter.Type() == adodb::adBigInt || parameter.Type() == adodb::adInteger) {
      rc = sqlite3_bind_int64(stmt, index, value.AsInt64());
    } else if (parameter.Type() == adodb::adDecimal || parameter.Type() == adodb::adNumeric ||
               parameter.Type() == adodb::adDouble || parameter.Type() == adodb::adCurrency) {
      rc = sqlite3_bind_double(stmt, index, value.AsDouble());
    } else {
      const std::string text = parameter.Type() == adodb::adDBTimeStamp ? value.AsDate().ToText() : value.AsText();
      rc = sqlite3_bind_text(stmt, index, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    if (rc != SQLITE_OK) return false;
  }
  return true;
}

// Runs one statement with its values and reads every column of every row; the rows read, or -1
// when SQLite refuses the statement.
inline long ReadEveryRow(sqlite3* db, const std::string& sql, const adodb::BoundValues& values = {}) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) return -1;
  if (!BindEach(stmt, values)) {
    sqlite3_finalize(stmt);
    return -1;
  }
  long rows = 0;
  const int columns = sqlite3_column_count(stmt);
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    for (int col = 0; col < columns; ++col) {
      if (sqlite3_column_type(stmt, col) == SQLITE_TEXT) {
        benchmark::DoNotOptimize(sqlite3_column_text(stmt, col));
      } else {
        benchmark::DoNotOptimize(sqlite3_column_double(stmt, col));
      }
    }
    ++rows;
  }
  sqlite3_finalize(stmt);
  return rows;
}

// Runs a statement raw, for setting up a benchmark's data; a failure ends the run.
inline void Exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = error ? error : "sqlite error";
    sqlite3_free(error);
    throw std::runtime_error(message);
  }
}

// What kept a benchmark from measuring. A program with any failure prints no ratio and exits
// non-zero: a ratio against a side that did not run would be a number about nothing.
inline std::vector<std::string>& Failures() {
  static std::vector<std::string> failures;
  return failures;
}

inline void Fail(benchmark::State& state, const std::string& why) {
  state.SkipWithError(why.c_str());
  Failures().push_back(why);
}

// Names every failure on stderr; true when there was none.
inline bool NoFailures() {
  for (const std::string& why : Failures()) std::fprintf(stderr, "benchmark failed: %s\n", why.c_str());
  return Failures().empty();
}

// The program's benchmarks, as the command line selects them.
inline void RunBenchmarks(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}

}  // namespace benchsupport
