// The editor's load of a 2,000-line bill (AmendAddNew: lines grid, header query, goods panel)
// against the same lines query run raw with sqlite3, every row and column read. Prints
// "ratio editor_load=R" (editor time / raw time) after the benchmarks; the goal is <= 2.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "adodb/Connection.h"
#include "adodb/Recordset.h"
#include "db/DatabaseFactory.h"
#include "db/TextCollation.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "host/ScriptedUserInterface.h"
#include "host/Session.h"

namespace {

constexpr int kLines = 2000;
constexpr const char* kSerial = "DBDBENCH0001";

// The statement the editor's lines grid runs for the bill, as SQLite reads it.
constexpr const char* kRawLinesQuery =
    "select dh as 单号,a.hh as 货号,a.PM as 品名,c.pdw as 单位,a.dj as 单价,a.sl as 数量,a.je as 金额,a.lsze as "
    "零售总额,a.bz as 备注 from CKDBDZKmx a inner join CKDBDZK  b on a.lsh=b.lsh inner join yw_kck c on a.hh=c.hh "
    "where a.lsh='DBDBENCH0001' order by a.dh";

std::map<std::string, double> nanosPerIteration;

double ThreadCpuNanos() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
}

const std::string& DatabasePath() {
  static const std::string path = [] {
    const auto file = std::filesystem::temp_directory_path() / ("editor_bench_" + std::to_string(getpid()) + ".db");
    storeadjust::db::CreateDemoDatabase(file.string());
    adodb::Connection conn;
    conn.Open(storeadjust::db::EmbeddedConnectionString(file.string()));
    conn.BeginTrans();
    conn.Execute(std::string("insert into ckdbdzk(lsh,kdrq,dcstockid,drstockid,bz,czry,shbz,shry,jzbz) values ('") +
                 kSerial + "','2024-03-05','01','02','bench','系统管理员',0,'',0)");
    for (int line = 1; line <= kLines; ++line) {
      char goods[8];
      std::snprintf(goods, sizeof goods, "%04d", line % 38 + 1);
      const std::string dh = std::to_string(100000 + line);
      conn.Execute(std::string("insert into ckdbdzkmx(lsh,dh,hh,pm,ph,pcdh,dj,sl,je,lsj,lsze,bz,dcstockid,drstockid) "
                               "values ('") +
                   kSerial + "','" + dh + "','" + goods + "','goods " + goods + "','230208','200011',7.64," +
                   std::to_string(line % 9 + 1) + ",15.28,12.5,25,'line " + dh + "','01','02')");
    }
    conn.CommitTrans();
    return file.string();
  }();
  return path;
}

template <typename Body>
void Measure(benchmark::State& state, const std::string& name, Body body) {
  const double start = ThreadCpuNanos();
  long iterations = 0;
  for (auto _ : state) {
    body();
    ++iterations;
  }
  nanosPerIteration[name] = (ThreadCpuNanos() - start) / static_cast<double>(iterations);
}

void BM_EditorLoad(benchmark::State& state) {
  storeadjust::ScriptedUserInterface ui;
  storeadjust::Session session;
  session.ConnStr = storeadjust::db::EmbeddedConnectionString(DatabasePath());
  session.Ui = &ui;
  session.OptCode = "001";
  session.Conn = std::make_shared<adodb::Connection>();
  session.Conn->Open(session.ConnStr);
  storeadjust::FrmStoreAdjuctBill form(session);
  Measure(state, "editor", [&] {
    std::string serial = kSerial;
    form.AmendAddNew(serial);
    benchmark::DoNotOptimize(form.Grid("VfgContent")->Rows());
  });
  if (form.Grid("VfgContent")->Rows() != kLines + 1 || !ui.Boxes().empty()) state.SkipWithError("load failed");
}

void BM_RawLinesQuery(benchmark::State& state) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(DatabasePath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  storeadjust::db::EnsureTextCollation(db);
  long rows = 0;
  Measure(state, "raw", [&] {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, kRawLinesQuery, -1, &stmt, nullptr);
    rows = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      for (int col = 0; col < sqlite3_column_count(stmt); ++col) {
        if (sqlite3_column_type(stmt, col) == SQLITE_TEXT) {
          benchmark::DoNotOptimize(sqlite3_column_text(stmt, col));
        } else {
          benchmark::DoNotOptimize(sqlite3_column_double(stmt, col));
        }
      }
      ++rows;
    }
    sqlite3_finalize(stmt);
  });
  sqlite3_close(db);
  if (rows != kLines) state.SkipWithError("raw query read the wrong number of rows");
}

BENCHMARK(BM_EditorLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawLinesQuery)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const auto editor = nanosPerIteration.find("editor"), raw = nanosPerIteration.find("raw");
  if (editor != nanosPerIteration.end() && raw != nanosPerIteration.end()) {
    std::printf("ratio editor_load=%.2f (goal <= 2)\n", editor->second / raw->second);
  }
  std::filesystem::remove(DatabasePath());
  return 0;
}
