// The data-access layer against raw SQLite on the module's typical workloads: a stock update built
// as text, the same update with its values bound, and a ~1000-row list query over three joined
// tables with every column read. Prints "ratio update=U bound_update=B query=Q" (layer time / raw
// time) after the benchmarks; the goal is <= 1.3.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "adodb/BoundValues.h"
#include "adodb/Connection.h"
#include "adodb/Recordset.h"
#include "BenchSupport.h"

namespace {

using benchsupport::ThreadCpuNanos;

constexpr int kGoods = 200;
constexpr int kLinesPerBill = 1000;

std::string DatabasePath() {
  static const std::string path = [] {
    const auto file = std::filesystem::temp_directory_path() / ("adodb_bench_" + std::to_string(getpid()) + ".db");
    std::ofstream(file).flush();
    return file.string();
  }();
  return path;
}

void CreateData() {
  sqlite3* db = nullptr;
  sqlite3_open(DatabasePath().c_str(), &db);
  sqlite3_exec(db,
               "pragma journal_mode=wal;"
               "create table spk (hh varchar(20) primary key, pm varchar(60), gg varchar(40), dw varchar(10), "
               "  lsj money);"
               "create table phk (hh varchar(20), ph varchar(20), dh varchar(10), stockid varchar(10), sl money, "
               "  yxq datetime, primary key (hh, ph, dh, stockid));"
               "create table ckdbdzkmx (lsh varchar(20), dh int, hh varchar(20), ph varchar(20), sl money, dj money, "
               "  je money, bz varchar(100), primary key (lsh, dh));"
               "with recursive n(i) as (select 1 union all select i + 1 from n where i < 200) "
               "insert into spk select 'G' || i, 'Goods name ' || i, '10x' || i, 'box', i * 1.25 from n;"
               "with recursive n(i) as (select 1 union all select i + 1 from n where i < 2000) "
               "insert into phk select 'G' || (i % 200 + 1), 'B' || (i / 200), '1', '01', 1000000, "
               "  '2026-01-01 00:00:00' from n;"
               "with recursive n(i) as (select 1 union all select i + 1 from n where i < 3000) "
               "insert into ckdbdzkmx select 'L' || (i / 1000), i, 'G' || (i % 200 + 1), 'B' || (i % 10), i % 7 + 1, "
               "  2.5, (i % 7 + 1) * 2.5, 'line ' || i from n;",
               nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

std::string UpdateStatement(long iteration) {
  const int goods = static_cast<int>(iteration % kGoods) + 1;
  return "update phk set sl=sl-5 where hh='G" + std::to_string(goods) + "' and ph='B" +
         std::to_string(goods % 10) + "' and dh='1' and stockid='01'";
}

const char* kListQuery =
    "select m.lsh, m.dh, m.hh, s.pm, s.gg, s.dw, p.ph, p.yxq, m.sl, m.dj, m.je, m.bz from ckdbdzkmx m "
    "join spk s on s.hh = m.hh join phk p on p.hh = m.hh and p.ph = m.ph and p.dh = '1' where m.lsh = 'L1' "
    "order by m.dh";

std::map<std::string, double> nanosPerIteration;

template <typename Body>
void Timed(benchmark::State& state, const std::string& name, Body&& body) {
  long iteration = 0;
  const double start = ThreadCpuNanos();
  for (auto _ : state) body(iteration++);
  nanosPerIteration[name] = (ThreadCpuNanos() - start) / static_cast<double>(iteration);
}

void BM_UpdateRaw(benchmark::State& state) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(DatabasePath().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  sqlite3_busy_timeout(db, 30000);
  sqlite3_exec(db, "pragma synchronous=normal", nullptr, nullptr, nullptr);
  Timed(state, "update_raw", [&](long i) {
    const std::string sql = UpdateStatement(i);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &statement, nullptr);
    sqlite3_step(statement);
    sqlite3_finalize(statement);
    benchmark::DoNotOptimize(sqlite3_changes(db));
  });
  sqlite3_close(db);
}

void BM_UpdateConnection(benchmark::State& state) {
  auto conn = std::make_shared<adodb::Connection>();
  conn->Open("Provider=SQLite;Data Source=" + DatabasePath());
  Timed(state, "update_layer", [&](long i) { benchmark::DoNotOptimize(conn->Execute(UpdateStatement(i))); });
}

// The same update as the engines now send it: one text with ? marks, its values bound. The raw
// side is the hand-written floor: prepared once, values bound with sqlite3_bind_*.
constexpr const char* kBoundUpdate = "update phk set sl=sl-? where hh=? and ph=? and dh='1' and stockid='01'";

void BM_BoundUpdateRaw(benchmark::State& state) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(DatabasePath().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  sqlite3_busy_timeout(db, 30000);
  sqlite3_exec(db, "pragma synchronous=normal", nullptr, nullptr, nullptr);
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, kBoundUpdate, -1, &statement, nullptr);
  Timed(state, "bound_update_raw", [&](long i) {
    const int goods = static_cast<int>(i % kGoods) + 1;
    const std::string hh = "G" + std::to_string(goods), ph = "B" + std::to_string(goods % 10);
    sqlite3_bind_double(statement, 1, 5);
    sqlite3_bind_text(statement, 2, hh.c_str(), static_cast<int>(hh.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(statement, 3, ph.c_str(), static_cast<int>(ph.size()), SQLITE_TRANSIENT);
    sqlite3_step(statement);
    sqlite3_reset(statement);
    benchmark::DoNotOptimize(sqlite3_changes(db));
  });
  sqlite3_finalize(statement);
  sqlite3_close(db);
}

void BM_BoundUpdateConnection(benchmark::State& state) {
  auto conn = std::make_shared<adodb::Connection>();
  conn->Open("Provider=SQLite;Data Source=" + DatabasePath());
  Timed(state, "bound_update_layer", [&](long i) {
    const int goods = static_cast<int>(i % kGoods) + 1;
    benchmark::DoNotOptimize(conn->Execute(kBoundUpdate, {adodb::BoundDecimal(5, 4), adodb::BoundText("G" + std::to_string(goods)),
                                                           adodb::BoundText("B" + std::to_string(goods % 10))}));
  });
}

void BM_QueryRaw(benchmark::State& state) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(DatabasePath().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  Timed(state, "query_raw", [&](long) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, kListQuery, -1, &statement, nullptr);
    const int columns = sqlite3_column_count(statement);
    std::size_t total = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
      for (int c = 0; c < columns; ++c) {
        switch (sqlite3_column_type(statement, c)) {
          case SQLITE_INTEGER:
            total += static_cast<std::size_t>(sqlite3_column_int64(statement, c));
            break;
          case SQLITE_FLOAT:
            total += static_cast<std::size_t>(sqlite3_column_double(statement, c));
            break;
          case SQLITE_TEXT:
            total += std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, c)),
                                 static_cast<std::size_t>(sqlite3_column_bytes(statement, c)))
                         .size();
            break;
          default:
            break;
        }
      }
    }
    sqlite3_finalize(statement);
    benchmark::DoNotOptimize(total);
  });
  sqlite3_close(db);
}

void BM_QueryRecordset(benchmark::State& state) {
  auto conn = std::make_shared<adodb::Connection>();
  conn->Open("Provider=SQLite;Data Source=" + DatabasePath());
  Timed(state, "query_layer", [&](long) {
    auto rs = conn->OpenRecordset(kListQuery);
    const std::size_t columns = rs->FieldCount();
    std::size_t total = 0;
    for (; !rs->EOF(); rs->MoveNext()) {
      for (std::size_t c = 0; c < columns; ++c) {
        const adodb::Variant& value = rs->Value(c);
        switch (value.Type()) {
          case adodb::VariantType::Integer:
            total += static_cast<std::size_t>(value.RawInteger());
            break;
          case adodb::VariantType::Double:
          case adodb::VariantType::Currency:
            total += static_cast<std::size_t>(value.RawDouble());
            break;
          case adodb::VariantType::Text:
            total += value.RawText().size();
            break;
          default:
            break;
        }
      }
    }
    benchmark::DoNotOptimize(total);
  });
}

BENCHMARK(BM_UpdateRaw);
BENCHMARK(BM_UpdateConnection);
BENCHMARK(BM_BoundUpdateRaw);
BENCHMARK(BM_BoundUpdateConnection);
BENCHMARK(BM_QueryRaw);
BENCHMARK(BM_QueryRecordset);

}  // namespace

int main(int argc, char** argv) {
  CreateData();
  benchsupport::RunBenchmarks(argc, argv);
  auto ratio = [](const char* layer, const char* raw) {
    const auto l = nanosPerIteration.find(layer), r = nanosPerIteration.find(raw);
    return l == nanosPerIteration.end() || r == nanosPerIteration.end() ? 0.0 : l->second / r->second;
  };
  std::printf("ratio update=%.2f bound_update=%.2f query=%.2f\n", ratio("update_layer", "update_raw"),
              ratio("bound_update_layer", "bound_update_raw"), ratio("query_layer", "query_raw"));
  for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(DatabasePath() + suffix);
  return 0;
}
