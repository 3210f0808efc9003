// The entry row's two large reads, each beside the same statements run raw with sqlite3:
//  - the goods lookup by pattern (FindTypedGoods: the exact statement, then "*123*") over
//    100,000 goods items with a balance in the out-warehouse;
//  - the batch list of one goods (the selection dialog on BatchList) in a phk of
//    1,000,000 batch rows.
// Both sides read every row and column; the module's side includes the selection dialog's own
// connection and the translation of each statement. The raw side runs the same statements, as the
// translator hands them to SQLite, on one open sqlite3 handle. Prints "ratio goods_pattern=R" and "ratio batch_list=R" (module time / raw
// time); the goal for each is <= 2.
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
#include "adodb/tsql/Translator.h"
#include "db/DatabaseFactory.h"
#include "db/SqliteFile.h"
#include "db/TextCollation.h"
#include "editor/GoodsLookup.h"
#include "host/ScriptedUserInterface.h"
#include "host/SelectDialog.h"
#include "host/Session.h"
#include "lines/BatchChoice.h"
#include "BenchSupport.h"

namespace {

using benchsupport::ReadEveryRow;
using benchsupport::ThreadCpuNanos;

constexpr const char* kGoodsList =
    "select a.hh as 货号,a.Pm_zjm as 品名助记码,a.lb as 类别,a.pm as 品名,a.bm as 别名,a.gg as 规格,a.cd as "
    "产地,a.mjl as 包装,a.pdw as 单位,b.kh as 位置,b.sjsl as 库存数量,a.pfj as 批发价,a.lsj as 零售价,a.sj as "
    "实价,a.zk as 折扣,a.cbj as 成本价,a.jj as 最后进价,a.fonlymoney as 金额品种,b.sjlsje as 实际零售金额 from "
    "yw_kck a left join ywbalance b on a.hh =b.hh where 1=1 [选择条件] order by a.hh";
constexpr const char* kBatchGoods = "B000500";

std::map<std::string, double> nanosPerIteration;
std::map<std::string, std::vector<storeadjust::BoundSql>> recorded;  // statements by benchmark name

// 100,000 goods with a balance in warehouses 01 and 02; 10,000 further goods with 50 batches in
// each of warehouses 01 to 02 (1,000,000 batch rows), their balances alike.
const std::string& DatabasePath() {
  static const std::string path = [] {
    const auto file = std::filesystem::temp_directory_path() / ("entry_bench_" + std::to_string(getpid()) + ".db");
    storeadjust::db::CreateEmptyDatabase(file.string());
    storeadjust::db::SqliteFile db(file.string());
    db.Execute("begin");
    db.Execute(
        "with recursive n(i) as (select 0 union all select i + 1 from n where i < 99999) "
        "insert into yw_kck (hh, pm, Pm_zjm, lb, pdw, lsj, cbj, jjff, fonlymoney, hs_tag) "
        "select printf('%06d', i), 'goods ' || i, 'ZJM' || i, '01', '盒', 10 + i % 7, 5 + i % 5, 1, 0, i % 97 = 0 from n");
    db.Execute(
        "with recursive n(i) as (select 0 union all select i + 1 from n where i < 9999) "
        "insert into yw_kck (hh, pm, Pm_zjm, lb, pdw, lsj, cbj, jjff, fonlymoney, hs_tag) "
        "select printf('B%06d', i), 'batch goods ' || i, 'PH' || i, '01', '盒', 12, 6, 5, 0, 0 from n");
    db.Execute(
        "insert into ywbalance (hh, stockid, fperiod, fyear, sjsl, sjje, sjlsje, kh) "
        "select hh, w.id, 0, 0, 100, 500, 1000, '' from yw_kck, (select '01' as id union all select '02') w");
    db.Execute(
        "with recursive n(i) as (select 0 union all select i + 1 from n where i < 49) "
        "insert into phk (HH, PH, DH, StockID, SL, xq, jhdj, scrq, yhrq) "
        "select k.hh, printf('%06d', 230101 + n.i), printf('%d', 300000 + n.i), w.id, n.i % 9, "
        "'2025-01-01', 6.1, '2023-01-01', '2023-02-01' "
        "from yw_kck k, n, (select '01' as id union all select '02') w where k.hh like 'B%'");
    db.Execute("commit");
    return file.string();
  }();
  return path;
}

// Picks the first row of every shown list, as a clerk pressing Enter at once would.
class FirstRowUserInterface : public storeadjust::ScriptedUserInterface {
 public:
  long ChooseRow(const storeadjust::SelectionRequest&, adodb::Recordset&) override { return 1; }
};

struct ModuleSession {
  FirstRowUserInterface ui;
  storeadjust::Session session;
  ModuleSession() {
    session.ConnStr = storeadjust::db::EmbeddedConnectionString(DatabasePath());
    session.Ui = &ui;
    session.OptCode = "001";
    session.Conn = std::make_shared<adodb::Connection>();
    session.Conn->Open(session.ConnStr);
  }
};

// The statements as SQLite receives them from the module, by benchmark name.
void Record(const std::string& name, const std::vector<storeadjust::BoundSql>& statements) {
  recorded[name].clear();
  for (const storeadjust::BoundSql& sql : statements) recorded[name].push_back({adodb::tsql::Translate(sql.text), sql.values});
}

void BM_GoodsPattern(benchmark::State& state) {
  ModuleSession module;
  const storeadjust::BoundSql base = storeadjust::GoodsBaseStatement(kGoodsList, "01", false, "");
  const auto find = [&] { return storeadjust::FindTypedGoods(module.session, base, "*123*", false); };
  Record("goods_pattern",
         {storeadjust::WithGoodsCondition(base, storeadjust::ExactGoodsCondition("*123*")),
          storeadjust::WithGoodsCondition(base, storeadjust::GoodsPatternCondition("*123*", false))});
  std::optional<storeadjust::GoodsPick> pick;
  benchsupport::MeasureCpu(nanosPerIteration, state, "goods_pattern", [&] { pick = find(); });
  if (!pick || pick->hh != "000123") benchsupport::Fail(state, "the pattern found the wrong goods");
}

void BM_BatchList(benchmark::State& state) {
  ModuleSession module;
  const storeadjust::BoundSql batches = storeadjust::BatchList("", kBatchGoods, "02", false, 1);
  const auto choose = [&] { return storeadjust::SelectFromList(module.session, batches.text, true, {"批号"}, nullptr, batches.values); };
  Record("batch_list", {batches});
  std::vector<adodb::Variant> row;
  benchsupport::MeasureCpu(nanosPerIteration, state, "batch_list", [&] { row = choose(); });
  if (row.size() < 2 || row[1].TextOrEmpty() != "230102") benchsupport::Fail(state, "the batch list lost its rows");
}

void Raw(benchmark::State& state, const std::string& name) {
  const std::vector<storeadjust::BoundSql>& statements = recorded[name];
  if (statements.empty()) return benchsupport::Fail(state, "the module's statements were not recorded");
  sqlite3* db = nullptr;
  sqlite3_open_v2(DatabasePath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  storeadjust::db::EnsureTextCollation(db);  // the translator's functions and collation
  long rows = 0;
  bool allRan = true;
  benchsupport::MeasureCpu(nanosPerIteration, state, "raw_" + name, [&] {
    rows = 0;
    for (const storeadjust::BoundSql& sql : statements) {
      const long read = ReadEveryRow(db, sql.text, sql.values);
      allRan = allRan && read >= 0;
      rows += read;
    }
  });
  sqlite3_close(db);
  if (!allRan || rows == 0) benchsupport::Fail(state, "the raw statements failed or found nothing");
  state.counters["statements"] = static_cast<double>(statements.size());
  state.counters["rows"] = static_cast<double>(rows);
}

void BM_RawGoodsPattern(benchmark::State& state) { Raw(state, "goods_pattern"); }
void BM_RawBatchList(benchmark::State& state) { Raw(state, "batch_list"); }

BENCHMARK(BM_GoodsPattern)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawGoodsPattern)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BatchList)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawBatchList)->Unit(benchmark::kMicrosecond);

void PrintRatio(const std::string& name) {
  const auto module = nanosPerIteration.find(name), raw = nanosPerIteration.find("raw_" + name);
  if (module == nanosPerIteration.end() || raw == nanosPerIteration.end()) return;
  std::printf("ratio %s=%.2f (goal <= 2)\n", name.c_str(), module->second / raw->second);
}

}  // namespace

int main(int argc, char** argv) {
  benchsupport::RunBenchmarks(argc, argv);
  std::filesystem::remove(DatabasePath());
  if (!benchsupport::NoFailures()) return 1;
  PrintRatio("goods_pattern");
  PrintRatio("batch_list");
  return 0;
}
