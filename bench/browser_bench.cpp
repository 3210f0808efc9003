// The bill browser's load of 100,000 unposted bills (templates, session values, data scope, the
// list record set and its grid) beside the same list query run raw through sqlite3 with every
// column of every row read. Each iteration runs both, and the list's record set opened alone
// through the data-access layer; the counter "ratio" is browser / raw, "recordset_ratio" shows
// how much of it the record set's own materialization of the rows takes. Goal: ratio <= 2.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "adodb/Connection.h"
#include "browse/BillListQuery.h"
#include "browse/FrmStoreAdjuctBillBrow.h"
#include "db/DatabaseFactory.h"
#include "db/TextCollation.h"
#include "host/Session.h"
#include "host/UserInterface.h"
#include "BenchSupport.h"
#include "NoUserInterface.h"

namespace {

constexpr int kBills = 100000;

using benchsupport::NoUserInterface;

using benchsupport::Exec;

const std::string& DatabasePath() {
  static const std::string path = [] {
    const auto file = std::filesystem::temp_directory_path() / ("browser_bench_" + std::to_string(getpid()) + ".db");
    storeadjust::db::CreateEmptyDatabase(file.string());
    sqlite3* db = nullptr;
    sqlite3_open(file.string().c_str(), &db);
    storeadjust::db::EnsureTextCollation(db);
    Exec(db, "begin");
    Exec(db, "insert into gl_stock (id, name) values ('01', '总仓'), ('02', '一号门店'), ('03', '二号门店')");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into ckdbdzk (lsh, kdrq, dcstockid, drstockid, bz, czry, shbz, shry, jzbz) "
                       "values (?, '2024-03-01 00:00:00', ?, ?, '门店补货', '系统管理员', ?, ?, 0)",
                       -1, &insert, nullptr);
    for (int i = 0; i < kBills; ++i) {
      char serial[32];
      std::snprintf(serial, sizeof serial, "DBD2024%08d", i);
      sqlite3_bind_text(insert, 1, serial, -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(insert, 2, i % 2 ? "01" : "03", -1, SQLITE_STATIC);
      sqlite3_bind_text(insert, 3, "02", -1, SQLITE_STATIC);
      sqlite3_bind_int(insert, 4, i % 3 == 0);
      sqlite3_bind_text(insert, 5, i % 3 == 0 ? "系统管理员" : "", -1, SQLITE_STATIC);
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Exec(db, "commit");
    sqlite3_close(db);
    return file.string();
  }();
  return path;
}

// The browser as Execute shows it: connection open, load run, list bound.
double BrowserLoadSeconds() {
  NoUserInterface ui;
  storeadjust::Session session;
  session.ConnStr = storeadjust::db::EmbeddedConnectionString(DatabasePath());
  session.OptCode = "001";
  session.Ui = &ui;
  const auto start = std::chrono::steady_clock::now();
  session.Conn = std::make_shared<adodb::Connection>();
  session.Conn->Open(session.ConnStr);
  storeadjust::FrmStoreAdjuctBillBrow browser(session);
  browser.Load();
  if (browser.ListGrid().Rows() != kBills + 1) throw std::runtime_error("the list is incomplete");
  benchmark::DoNotOptimize(browser.ListGrid().TextMatrix(kBills, 1));
  const auto end = std::chrono::steady_clock::now();
  browser.Close();
  session.Conn->Close();
  return std::chrono::duration<double>(end - start).count();
}

std::string ListQuery() {
  return storeadjust::BuildBrowserListQuery(storeadjust::DefaultBrowserTemplate(storeadjust::BrowserLayout::OneStep),
                                            {}, storeadjust::BrowserLayout::OneStep)
      .text;  // no filter: nothing to bind
}

// The list statement as a record set on a fresh connection, nothing else.
double RecordsetSeconds() {
  const auto start = std::chrono::steady_clock::now();
  auto conn = std::make_shared<adodb::Connection>();
  conn->Open(storeadjust::db::EmbeddedConnectionString(DatabasePath()));
  auto rs = conn->OpenRecordset(ListQuery());
  if (rs->RecordCount() != kBills) throw std::runtime_error("the record set is incomplete");
  const auto end = std::chrono::steady_clock::now();
  rs->Close();
  conn->Close();
  return std::chrono::duration<double>(end - start).count();
}

// The same list statement through sqlite3, every column of every row read as its value.
double RawQuerySeconds() {
  const std::string sql = ListQuery();
  const auto start = std::chrono::steady_clock::now();
  sqlite3* db = nullptr;
  sqlite3_open_v2(DatabasePath().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  storeadjust::db::EnsureTextCollation(db);  // the schema's text columns compare through it
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db));
  long rows = 0;
  std::size_t bytes = 0;
  const int columns = sqlite3_column_count(stmt);
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    ++rows;
    for (int c = 0; c < columns; ++c) {
      if (sqlite3_column_type(stmt, c) == SQLITE_TEXT) {
        bytes += std::string(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c))).size();
      } else {
        benchmark::DoNotOptimize(sqlite3_column_double(stmt, c));
      }
    }
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  benchmark::DoNotOptimize(bytes);
  const auto end = std::chrono::steady_clock::now();
  if (rows != kBills) throw std::runtime_error("the raw query lost rows");
  return std::chrono::duration<double>(end - start).count();
}

void BM_BrowserLoadAgainstRawQuery(benchmark::State& state) {
  DatabasePath();
  double browser = 0;
  double raw = 0;
  double recordset = 0;
  for (auto _ : state) {
    const double b = BrowserLoadSeconds();
    const double r = RawQuerySeconds();
    recordset += RecordsetSeconds();
    browser += b;
    raw += r;
    state.SetIterationTime(b);
  }
  state.counters["browser_ms"] = benchmark::Counter(browser * 1000 / state.iterations());
  state.counters["raw_ms"] = benchmark::Counter(raw * 1000 / state.iterations());
  state.counters["recordset_ms"] = benchmark::Counter(recordset * 1000 / state.iterations());
  state.counters["ratio"] = benchmark::Counter(browser / raw);
  state.counters["recordset_ratio"] = benchmark::Counter(recordset / raw);
}
BENCHMARK(BM_BrowserLoadAgainstRawQuery)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  benchsupport::RunBenchmarks(argc, argv);
  std::error_code ec;
  std::filesystem::remove(DatabasePath(), ec);
  return 0;
}
