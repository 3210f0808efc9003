// The T-SQL translator: one 1 MB statement of '+' terms (translation must stay linear in the
// statement's length), and its share of statement time over the module's queries in bench/corpus:
// each query translated afresh, against preparing and running the translation on the demo database.
// The share is measured twice: every query translated afresh (the first sight of a statement), and
// the same texts sent again through the translator's cache (what statements whose values are
// bound meet).
// Prints "ratio translate_1mb_ms=T translator_share=S translator_share_in_use=U"; the goals are T
// well under 1000 and the share < 0.05.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "adodb/tsql/Rewriter.h"
#include "adodb/tsql/SqliteFunctions.h"
#include "adodb/tsql/Tokenizer.h"
#include "adodb/tsql/Translator.h"
#include "adodb/Error.h"
#include "db/DatabaseFactory.h"
#include "BenchSupport.h"

namespace {

using benchsupport::ThreadCpuNanos;

std::map<std::string, double> nanosPerIteration;

// Translation without the cache, which would make every repeat free.
std::string TranslateAfresh(const std::string& tsql) { return adodb::tsql::Rewrite(adodb::tsql::Tokenize(tsql)); }

std::string DatabasePath() {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("tsql_bench_" + std::to_string(getpid()) + ".db")).string();
  return path;
}

// The queries of bench/corpus: the line after each "# title" that starts with select.
std::vector<std::string> CorpusQueries() {
  std::vector<std::string> queries;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(STOREADJUST_SOURCE_DIR) / "bench/corpus")) {
    std::ifstream in(entry.path());
    std::string line;
    bool afterTitle = false;
    while (std::getline(in, line)) {
      if (afterTitle && line.rfind("select", 0) == 0) queries.push_back(line);
      afterTitle = line.rfind("# ", 0) == 0;
    }
  }
  return queries;
}

void BM_Translate1MbSum(benchmark::State& state) {
  std::string sql = "select 1";
  while (sql.size() < (1u << 20)) sql += "+a.b";
  long iterations = 0;
  const double start = ThreadCpuNanos();
  for (auto _ : state) {
    benchmark::DoNotOptimize(TranslateAfresh(sql));
    ++iterations;
  }
  nanosPerIteration["translate_1mb"] = (ThreadCpuNanos() - start) / static_cast<double>(iterations);
}
BENCHMARK(BM_Translate1MbSum)->Unit(benchmark::kMillisecond);

void BM_CorpusTranslate(benchmark::State& state) {
  const auto queries = CorpusQueries();
  long iterations = 0;
  const double start = ThreadCpuNanos();
  for (auto _ : state) {
    for (const auto& q : queries) benchmark::DoNotOptimize(TranslateAfresh(q));
    ++iterations;
  }
  nanosPerIteration["corpus_translate"] = (ThreadCpuNanos() - start) / static_cast<double>(iterations);
}
BENCHMARK(BM_CorpusTranslate)->Unit(benchmark::kMicrosecond);

// The corpus as the module meets it: its statements carry their values as bound ? marks, so each
// text comes again and again and meets the translator's cache (on the embedded backend only
// when its connection has not prepared the text yet).
void BM_CorpusTranslateInUse(benchmark::State& state) {
  const std::vector<std::string>& queries = CorpusQueries();
  long iterations = 0;
  const double start = ThreadCpuNanos();
  for (auto _ : state) {
    for (const auto& q : queries) {
      try {
        benchmark::DoNotOptimize(adodb::tsql::Translate(q));
      } catch (const adodb::Error&) {
      }
    }
    ++iterations;
  }
  nanosPerIteration["corpus_translate_in_use"] = (ThreadCpuNanos() - start) / static_cast<double>(iterations);
}
BENCHMARK(BM_CorpusTranslateInUse)->Unit(benchmark::kMicrosecond);

void BM_CorpusRun(benchmark::State& state) {
  std::vector<std::string> translated;
  for (const auto& q : CorpusQueries()) translated.push_back(TranslateAfresh(q));
  sqlite3* db = nullptr;
  sqlite3_open(DatabasePath().c_str(), &db);
  adodb::tsql::RegisterSqliteFunctions(db);
  long iterations = 0;
  const double start = ThreadCpuNanos();
  for (auto _ : state) {
    for (const auto& sql : translated) {
      sqlite3_stmt* statement = nullptr;
      sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
      while (sqlite3_step(statement) == SQLITE_ROW) {
      }
      sqlite3_finalize(statement);
    }
    ++iterations;
  }
  nanosPerIteration["corpus_run"] = (ThreadCpuNanos() - start) / static_cast<double>(iterations);
  sqlite3_close(db);
}
BENCHMARK(BM_CorpusRun)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  storeadjust::db::CreateDemoDatabase(DatabasePath());
  benchsupport::RunBenchmarks(argc, argv);
  const double translate = nanosPerIteration["corpus_translate"], run = nanosPerIteration["corpus_run"];
  const double inUse = nanosPerIteration["corpus_translate_in_use"];
  std::printf("ratio translate_1mb_ms=%.0f translator_share=%.3f translator_share_in_use=%.3f\n",
              nanosPerIteration["translate_1mb"] / 1e6, translate + run > 0 ? translate / (translate + run) : 0.0,
              inUse + run > 0 ? inUse / (inUse + run) : 0.0);
  for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(DatabasePath() + suffix);
  return 0;
}
