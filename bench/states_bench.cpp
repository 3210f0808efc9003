// The one-step audit and un-audit of a 1,000-line bill (01 -> 02, every line a batch the
// out-warehouse holds) through the state engine, against the same statements run raw with
// sqlite3 as a hand-written program sends them: no translation, no record sets, every column of
// every row read. The raw side replays what the engine itself sent to SQLite (recorded through the
// backend's statement trace: the prepared text and the values bound to its marks), transaction
// statements included, each distinct text prepared once per connection and its values bound
// (BoundReplay.h), so it follows the engine when its statements change. While the engine still
// writes values into its statements, both sides prepare each such text anew. An audit followed by
// its un-audit leaves the stock as it was (once the in-warehouse rows exist), so every iteration
// of either side sees the same data.
// Prints "ratio audit=A unaudit=U" (engine time / raw time); the goal is <= 1.3 for both.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <set>
#include <string_view>
#include <memory>
#include <string>
#include <vector>

#include "adodb/BoundValues.h"
#include "adodb/Connection.h"
#include "adodb/SqliteBackend.h"
#include "db/DatabaseFactory.h"
#include "db/TextCollation.h"
#include "host/ScriptedUserInterface.h"
#include "host/Session.h"
#include "states/StateChange.h"
#include "BenchSupport.h"
#include "BoundReplay.h"

namespace {

using benchsupport::ThreadCpuNanos;

constexpr int kLines = 1000;
constexpr const char* kSerial = "DBDBENCH0001";

std::map<std::string, double> nanosPerIteration;

// The demo database with one entered bill of kLines lines over the batches of warehouse 01.
const std::string& DatabasePath() {
  static const std::string path = [] {
    const auto file = std::filesystem::temp_directory_path() / ("states_bench_" + std::to_string(getpid()) + ".db");
    storeadjust::db::CreateDemoDatabase(file.string());
    auto conn = std::make_shared<adodb::Connection>();
    conn->Open(storeadjust::db::EmbeddedConnectionString(file.string()));
    auto batches = conn->OpenRecordset("select hh,ph,dh from phk where stockid='01' order by hh,ph");
    std::vector<std::vector<std::string>> rows;
    for (batches->MoveFirst(); !batches->EOF(); batches->MoveNext()) {
      rows.push_back({batches->Value("hh").TextOrEmpty(), batches->Value("ph").TextOrEmpty(),
                      batches->Value("dh").TextOrEmpty()});
    }
    conn->BeginTrans();
    conn->Execute("insert into ckdbdzk(lsh,kdrq,dcstockid,drstockid,bz,czry,shbz,shry,jzbz) "
                  "values (?,'2024-03-05','01','02','bench','系统管理员',0,'',0)",
                  {adodb::BoundText(kSerial)});
    for (int line = 0; line < kLines; ++line) {
      const auto& batch = rows[static_cast<std::size_t>(line) % rows.size()];
      // Quantities and amounts differ from line to line, as in a real bill.
      conn->Execute("insert into ckdbdzkmx(lsh,dh,hh,pm,ph,pcdh,dj,sl,je,lsj,lsze,kh,bz,dcstockid,drstockid) "
                    "values (?,?,?,'goods',?,?,7.64,?,?,12.5,?,?,'','01','02')",
                    {adodb::BoundText(kSerial), adodb::BoundText(std::to_string(1001 + line)), adodb::BoundText(batch[0]),
                     adodb::BoundText(batch[1]), adodb::BoundText(batch[2]), adodb::BoundDecimal(0.25 + 0.05 * (line % 5), 4),
                     adodb::BoundDecimal(1.91 + 0.01 * line, 4), adodb::BoundDecimal(3.13 + 0.01 * line, 4),
                     adodb::BoundText("K" + std::to_string(line % 7))});
    }
    conn->CommitTrans();
    return file.string();
  }();
  return path;
}

struct AlwaysYes final : storeadjust::StateQuestions {
  bool ConfirmChange(const std::string&) override { return true; }
  bool AcceptShortage(const std::string&) override { return true; }
};

struct Engine {
  storeadjust::ScriptedUserInterface ui;
  storeadjust::Session session;
  storeadjust::StateSettings settings;
  AlwaysYes answers;

  Engine() {
    session.ConnStr = storeadjust::db::EmbeddedConnectionString(DatabasePath());
    session.Ui = &ui;
    session.OptCode = "001";
    session.ModuleRightGuid = "{6B1F0A42-0402-4C3E-9A10-A10402000001}";  // the demo's: 001 holds every right
    session.Conn = std::make_shared<adodb::Connection>();
    session.Conn->Open(session.ConnStr);
    settings.phkColumnList = "bcsl,SellPrice";
    settings.operatorName = "系统管理员";
  }
  bool Run(storeadjust::StateCommand command) {
    const auto outcome = storeadjust::ChangeBillState(session, command, kSerial, settings, answers);
    if (outcome.result != storeadjust::StateResult::Done) std::fprintf(stderr, "%s\n", outcome.message.c_str());
    return outcome.result == storeadjust::StateResult::Done;
  }
  adodb::SqliteBackend& Backend() { return dynamic_cast<adodb::SqliteBackend&>(session.Conn->GetBackend()); }
  sqlite3* Handle() { return Backend().Handle(); }
};

// Every statement one audit, respectively one un-audit, sends to SQLite, in order.
std::vector<benchsupport::RecordedStatement> auditStatements, unAuditStatements;

// One untimed round creates the in-warehouse rows; the second, traced, is what every timed round runs.
bool RecordStatements(Engine& engine) {
  using storeadjust::StateCommand;
  if (!engine.Run(StateCommand::Audit) || !engine.Run(StateCommand::UnAudit)) return false;
  for (auto [command, into] : {std::pair{StateCommand::Audit, &auditStatements},
                               std::pair{StateCommand::UnAudit, &unAuditStatements}}) {
    benchsupport::RecordStatements(engine.Backend(), *into);
    const bool done = engine.Run(command);
    benchsupport::StopRecording(engine.Backend());
    if (!done) return false;
  }
  return true;
}

// How many distinct texts the statements hold: the engine's statements with ? marks are few.
std::size_t DistinctTexts(const std::vector<benchsupport::RecordedStatement>& statements) {
  std::set<std::string_view> texts;
  for (const auto& statement : statements) texts.insert(statement.sql);
  return texts.size();
}

double Elapsed(double start) { return ThreadCpuNanos() - start; }

// Each timed change starts on an empty log: which side's commit happens to write the log back
// into the database would otherwise decide the ratio.
void EmptyLog(sqlite3* db) { sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr); }

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// Engine and raw statements take turns within each iteration, so both meet the same machine
// load and the same data (the raw replay ends on the very rows the recording ended on).
void BM_AuditAndUnAudit(benchmark::State& state) {
  Engine engine;
  if (!RecordStatements(engine)) return benchsupport::Fail(state, "the engine's audit failed");
  sqlite3* db = nullptr;
  sqlite3_open_v2(DatabasePath().c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  sqlite3_busy_timeout(db, 30000);
  sqlite3_exec(db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
  storeadjust::db::EnsureTextCollation(db);  // the translator's functions and collation
  const std::unique_ptr<sqlite3, int (*)(sqlite3*)> closeLast(db, sqlite3_close);  // after the replay's statements
  benchsupport::PreparedReplay replay(db);
  std::map<std::string, std::vector<double>> times;
  const auto timed = [&times](const char* name, sqlite3* log, auto run) {
    EmptyLog(log);
    const double start = ThreadCpuNanos();
    const bool ran = run();
    times[name].push_back(Elapsed(start));
    return ran;
  };
  bool allRan = true;
  for (auto _ : state) {
    allRan = timed("engine audit", engine.Handle(), [&] { return engine.Run(storeadjust::StateCommand::Audit); }) &&
             timed("engine unaudit", engine.Handle(), [&] { return engine.Run(storeadjust::StateCommand::UnAudit); }) &&
             timed("raw audit", db, [&] { return replay.Run(auditStatements); }) &&
             timed("raw unaudit", db, [&] { return replay.Run(unAuditStatements); }) && allRan;
  }
  if (!allRan) return benchsupport::Fail(state, "a state change or a raw statement failed");
  for (const auto& [name, list] : times) nanosPerIteration[name] = Median(list);
  state.counters["audit_statements"] = static_cast<double>(auditStatements.size());
  state.counters["unaudit_statements"] = static_cast<double>(unAuditStatements.size());
  state.counters["audit_texts"] = static_cast<double>(DistinctTexts(auditStatements));
  state.counters["unaudit_texts"] = static_cast<double>(DistinctTexts(unAuditStatements));
}

BENCHMARK(BM_AuditAndUnAudit)->Unit(benchmark::kMillisecond)->Iterations(41);

}  // namespace

int main(int argc, char** argv) {
  benchsupport::RunBenchmarks(argc, argv);
  const bool measured = benchsupport::NoFailures();
  if (measured && nanosPerIteration.size() == 4) {
    for (const auto& [name, nanos] : nanosPerIteration) std::printf("%s: %.1f ms (median)\n", name.c_str(), nanos / 1e6);
    std::printf("ratio audit=%.2f unaudit=%.2f (goal <= 1.3)\n",
                nanosPerIteration["engine audit"] / nanosPerIteration["raw audit"],
                nanosPerIteration["engine unaudit"] / nanosPerIteration["raw unaudit"]);
  }
  for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(DatabasePath() + suffix);
  return measured ? 0 : 1;
}
