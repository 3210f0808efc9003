// The editor's load of a 2,000-line bill (AmendAddNew: lines grid, header query, goods panel)
// against the same statements run raw with sqlite3, every row and column of each read. The raw
// side replays what the load itself sent to SQLite (recorded once through SQLite's statement
// trace, with the values bound to its marks written in), so it follows the load when the load's
// statements change. Prints "ratio editor_load=R" (editor time / raw time) after the benchmarks;
// the goal is <= 2. When either side fails the program prints no ratio and exits non-zero.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "adodb/Connection.h"
#include "adodb/Recordset.h"
#include "adodb/SqliteBackend.h"
#include "db/DatabaseFactory.h"
#include "db/TextCollation.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "host/ScriptedUserInterface.h"
#include "host/Session.h"
#include "BenchSupport.h"

namespace {

using benchsupport::ReadEveryRow;
using benchsupport::ThreadCpuNanos;

constexpr int kLines = 2000;
constexpr const char* kSerial = "DBDBENCH0001";

std::map<std::string, double> nanosPerIteration;

// Every statement one load sends to SQLite, in order, as SQLite reads it.
std::vector<std::string> loadStatements;

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

// The statement's text alone would run its marks unbound (as NULL) and find no rows.
int RecordStatement(unsigned, void*, void* statement, void*) {
  char* expanded = sqlite3_expanded_sql(static_cast<sqlite3_stmt*>(statement));
  if (expanded) loadStatements.emplace_back(expanded);
  sqlite3_free(expanded);
  return 0;
}

// Two untimed loads, the second with SQLite's statement trace on, so the raw side knows what a
// load runs once the connection has read the tables' keys (which it does once, on first use).
void RecordLoadStatements(storeadjust::Session& session, storeadjust::FrmStoreAdjuctBill& form) {
  auto* backend = dynamic_cast<adodb::SqliteBackend*>(&session.Conn->GetBackend());
  if (!backend) return;
  std::string serial = kSerial;
  form.AmendAddNew(serial);
  loadStatements.clear();
  sqlite3_trace_v2(backend->Handle(), SQLITE_TRACE_STMT, RecordStatement, nullptr);
  serial = kSerial;
  form.AmendAddNew(serial);
  sqlite3_trace_v2(backend->Handle(), 0, nullptr, nullptr);
}

void BM_EditorLoad(benchmark::State& state) {
  storeadjust::ScriptedUserInterface ui;
  storeadjust::Session session;
  session.ConnStr = storeadjust::db::EmbeddedConnectionString(DatabasePath());
  session.Ui = &ui;
  session.OptCode = "001";
  session.Conn = std::make_shared<adodb::Connection>();
  session.Conn->Open(session.ConnStr);
  storeadjust::FrmStoreAdjuctBill form(session, {storeadjust::EditorRequest::Mode::View, kSerial});
  RecordLoadStatements(session, form);
  benchsupport::MeasureCpu(nanosPerIteration, state, "editor", [&] {
    std::string serial = kSerial;
    form.AmendAddNew(serial);
    benchmark::DoNotOptimize(form.Grid("VfgContent")->Rows());
  });
  if (form.Grid("VfgContent")->Rows() != kLines + 1 || !ui.Boxes().empty()) benchsupport::Fail(state, "the editor's load failed");
}

void BM_RawLoadStatements(benchmark::State& state) {
  if (loadStatements.empty()) {
    benchsupport::Fail(state, "the load's statements were not recorded");
    return;
  }
  sqlite3* db = nullptr;
  sqlite3_open_v2(DatabasePath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  storeadjust::db::EnsureTextCollation(db);  // the translator's functions and collation
  long rows = 0;
  bool allRan = true;
  benchsupport::MeasureCpu(nanosPerIteration, state, "raw", [&] {
    rows = 0;
    for (const std::string& sql : loadStatements) {
      const long read = ReadEveryRow(db, sql);
      allRan = allRan && read >= 0;
      rows += read;
    }
  });
  sqlite3_close(db);
  // The header statement and the lines grid each read every line.
  if (!allRan || rows < 2L * kLines) benchsupport::Fail(state, "the raw statements failed or lost rows");
  state.counters["statements"] = static_cast<double>(loadStatements.size());
  state.counters["rows"] = static_cast<double>(rows);
}

BENCHMARK(BM_EditorLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawLoadStatements)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchsupport::RunBenchmarks(argc, argv);
  std::filesystem::remove(DatabasePath());
  if (!benchsupport::NoFailures()) return 1;
  const auto editor = nanosPerIteration.find("editor"), raw = nanosPerIteration.find("raw");
  if (editor != nanosPerIteration.end() && raw != nanosPerIteration.end()) {
    std::printf("ratio editor_load=%.2f (goal <= 2)\n", editor->second / raw->second);
  }
  return 0;
}
