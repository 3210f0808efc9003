// The T-SQL translator: one 1 MB statement of '+' terms (translation must stay linear in the
// statement's length), and its share of statement time over the module's queries in bench/corpus,
// translating and preparing and running the translation on the demo database taking turns in every
// iteration. The share is measured twice: every query translated afresh (the first sight of a
// statement), and the same texts sent again through the translator's cache (what statements whose
// values are bound meet from their second run on).
// Prints "ratio translate_1mb_ms=T translator_share=S translator_share_in_use=U"; the goals are T
// well under 1000 and the share < 0.05.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
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

// What translating a query costs against preparing and running its translation, taken in turns
// within each iteration so that both meet the same machine: every query translated afresh (the
// first sight of a statement), every query through the translator's cache (what a statement whose
// values are bound meets from its second run on), and every translation prepared and run.
void BM_CorpusShare(benchmark::State& state) {
  const std::vector<std::string>& queries = CorpusQueries();
  std::vector<std::string> translated;
  for (const auto& q : queries) translated.push_back(TranslateAfresh(q));
  sqlite3* db = nullptr;
  sqlite3_open(DatabasePath().c_str(), &db);
  adodb::tsql::RegisterSqliteFunctions(db);
  std::map<std::string, std::vector<double>> times;
  const auto timed = [&times](const char* name, auto run) {
    const double start = ThreadCpuNanos();
    run();
    times[name].push_back(ThreadCpuNanos() - start);
  };
  for (auto _ : state) {
    timed("corpus_translate", [&] {
      for (const auto& q : queries) benchmark::DoNotOptimize(TranslateAfresh(q));
    });
    timed("corpus_translate_in_use", [&] {
      for (const auto& q : queries) {
        try {
          benchmark::DoNotOptimize(adodb::tsql::Translate(q));
        } catch (const adodb::Error&) {
        }
      }
    });
    timed("corpus_run", [&] {
      for (const auto& sql : translated) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
        while (sqlite3_step(statement) == SQLITE_ROW) {
        }
        sqlite3_finalize(statement);
      }
    });
  }
  for (auto& [name, list] : times) {
    std::sort(list.begin(), list.end());
    nanosPerIteration[name] = list[list.size() / 2];
  }
  sqlite3_close(db);
}
BENCHMARK(BM_CorpusShare)->Unit(benchmark::kMillisecond)->Iterations(201);

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
