// The browse report of 100,000 bill lines: loading it into the report grid (its own connection,
// the rows taken straight from the provider) and exporting what the grid shows to .xlsx. The
// export writes each row to disk as it goes, so its memory must not grow with the rows: the
// counter "export_rss_growth_mb" is the growth of the process's peak resident size (getrusage
// ru_maxrss) across the exports, "peak_rss_mb" the peak with 100,000 rows loaded and exported.
// Times are this thread's CPU time (BenchSupport.h).
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>

#include "BenchSupport.h"
#include "NoUserInterface.h"
#include "browse/BrowseReportQuery.h"
#include "browse/ReportXlsxExport.h"
#include "db/DatabaseFactory.h"
#include "db/TextCollation.h"
#include "host/QvGrid.h"
#include "host/UserInterface.h"

namespace {

constexpr int kBills = 25000;
constexpr int kLinesPerBill = 4;
constexpr long kRows = static_cast<long>(kBills) * kLinesPerBill;

using benchsupport::NoUserInterface;

double PeakRssMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

using benchsupport::Exec;

std::filesystem::path Folder() {
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() / ("report_bench_" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

// 25,000 unposted bills of four lines each over 40 goods in six categories.
const std::string& DatabasePath() {
  static const std::string path = [] {
    const std::string file = (Folder() / "report.db").string();
    storeadjust::db::CreateEmptyDatabase(file);
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    storeadjust::db::EnsureTextCollation(db);
    Exec(db, "begin");
    Exec(db, "insert into gl_stock (id, name) values ('01', '总仓'), ('02', '一号门店仓'), ('03', '二号门店仓')");
    Exec(db, "insert into kclb (id, name) values ('01', '西药'), ('02', '中成药'), ('03', '中药饮片'), "
             "('04', '医疗器械'), ('05', '保健食品'), ('06', '消毒用品')");
    for (int goods = 1; goods <= 40; ++goods) {
      char sql[512];
      std::snprintf(sql, sizeof sql,
                    "insert into yw_kck (hh, pm, lb, gg, cd, pdw) values ('%04d', '商品%04d', '0%d', '10mg*24片', "
                    "'华北制药', '盒')",
                    goods, goods, goods % 6 + 1);
      Exec(db, sql);
    }
    sqlite3_stmt* bill = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into ckdbdzk (lsh, kdrq, dcstockid, drstockid, bz, czry, shbz, jzbz) "
                       "values (?, '2024-03-01 00:00:00', '01', '02', '门店补货', '系统管理员', 0, 0)",
                       -1, &bill, nullptr);
    sqlite3_stmt* line = nullptr;
    sqlite3_prepare_v2(db, "insert into ckdbdzkmx (lsh, dh, hh, dj, sl, je) values (?, ?, ?, ?, ?, ?)", -1, &line,
                       nullptr);
    for (int i = 0; i < kBills; ++i) {
      char serial[32];
      std::snprintf(serial, sizeof serial, "DBD2024%08d", i);
      sqlite3_bind_text(bill, 1, serial, -1, SQLITE_TRANSIENT);
      sqlite3_step(bill);
      sqlite3_reset(bill);
      for (int l = 1; l <= kLinesPerBill; ++l) {
        char dh[8];
        char hh[8];
        std::snprintf(dh, sizeof dh, "%d", 1000 + l);
        std::snprintf(hh, sizeof hh, "%04d", (i * kLinesPerBill + l) % 40 + 1);
        const double price = 1.25 * l + i % 7;
        const double quantity = (i + l) % 30 + 1;
        sqlite3_bind_text(line, 1, serial, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(line, 2, dh, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(line, 3, hh, -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(line, 4, price);
        sqlite3_bind_double(line, 5, quantity);
        sqlite3_bind_double(line, 6, price * quantity);
        sqlite3_step(line);
        sqlite3_reset(line);
      }
    }
    sqlite3_finalize(bill);
    sqlite3_finalize(line);
    Exec(db, "commit");
    sqlite3_close(db);
    return file;
  }();
  return path;
}

NoUserInterface ui;

void LoadReport(storeadjust::QvGrid& grid) {
  grid.SetDataFormat(0);
  grid.SetConnectStr(storeadjust::db::EmbeddedConnectionString(DatabasePath()));
  grid.SetDataSource(storeadjust::BrowseReportQuery(""));
  grid.SetReportName("仓库调拨单--浏览");
  grid.SetStartDate("2024-03-05");
  grid.SetEndDate("2024-03-05");
  grid.Reload();
  if (static_cast<long>(grid.LoadedRowCount()) != kRows) throw std::runtime_error("the report lost rows");
}

void BM_LoadReportIntoGrid(benchmark::State& state) {
  DatabasePath();
  std::map<std::string, double> nanos;
  benchsupport::MeasureCpu(nanos, state, "load", [] {
    storeadjust::QvGrid grid(ui);
    LoadReport(grid);
  });
  state.counters["rows"] = benchmark::Counter(static_cast<double>(kRows));
  state.counters["load_ms"] = benchmark::Counter(nanos["load"] / 1e6);
}
BENCHMARK(BM_LoadReportIntoGrid)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ExportReportToXlsx(benchmark::State& state) {
  storeadjust::QvGrid grid(ui);
  LoadReport(grid);
  grid.SortBy(16, storeadjust::QvGrid::SortOrder::Descending);  // what a clerk does before exporting
  const std::string file = (Folder() / "report.xlsx").string();
  const double peakBefore = PeakRssMegabytes();
  std::map<std::string, double> nanos;
  benchsupport::MeasureCpu(nanos, state, "export", [&] { storeadjust::ExportReportToXlsx(grid, file); });
  const double peakAfter = PeakRssMegabytes();
  state.counters["rows"] = benchmark::Counter(static_cast<double>(grid.ShownRowCount()));
  state.counters["export_ms"] = benchmark::Counter(nanos["export"] / 1e6);
  state.counters["file_mb"] = benchmark::Counter(static_cast<double>(std::filesystem::file_size(file)) / 1048576.0);
  state.counters["peak_rss_mb"] = benchmark::Counter(peakAfter);
  state.counters["export_rss_growth_mb"] = benchmark::Counter(peakAfter - peakBefore);
}
BENCHMARK(BM_ExportReportToXlsx)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchsupport::RunBenchmarks(argc, argv);
  std::error_code ec;
  std::filesystem::remove_all(Folder(), ec);
  return 0;
}
