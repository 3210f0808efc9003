// Printing a transfer bill of 1,000 lines to PDF on A4 (offscreen): the bill read as a slip
// from the embedded database, then every page painted and written. Reported per iteration: CPU
// time of the read alone and of read plus printing, the pages and the PDF's size; and the
// process's peak resident memory (ru_maxrss) once the runs are done. Goal: one print well under a
// second, and memory that does not grow with repeated prints.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QFileInfo>
#include <QPrinter>
#include <filesystem>
#include <map>
#include <string>

#include "BenchSupport.h"
#include "adodb/Connection.h"
#include "adodb/Recordset.h"
#include "db/DatabaseFactory.h"
#include "host/BillSlip.h"
#include "qt/BillSlipPainter.h"

namespace {

constexpr int kLines = 1000;
constexpr const char* kSerial = "DBD202403059999";

std::filesystem::path Folder() {
  static const auto folder = [] {
    auto path = std::filesystem::temp_directory_path() / ("print_bench_" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

// The demo database with one more bill: 1,000 lines over the demo's batches in the main warehouse.
std::string ConnectionString() {
  static const std::string connection = [] {
    const std::string path = (Folder() / "print.db").string();
    storeadjust::db::CreateDemoDatabase(path);
    const std::string connStr = storeadjust::db::EmbeddedConnectionString(path);
    auto connection = std::make_shared<adodb::Connection>();
    adodb::Connection& conn = *connection;
    conn.Open(connStr);
    adodb::TransactionGuard transaction(conn);
    conn.Execute(std::string("insert into ckdbdzk (lsh, kdrq, dcstockid, drstockid, bz, czry) values ('") + kSerial +
                 "', '2024-03-05', '01', '02', '门店补货', '系统管理员')");
    auto batches = conn.OpenRecordset(
        "select p.hh, k.pm, p.ph, p.dh, p.jhdj, k.lsj, k.pdw from phk p inner join yw_kck k on k.hh = p.hh "
        "where p.stockid='01' order by p.hh, p.dh");
    for (int i = 0; i < kLines; ++i) {
      if (i % batches->RecordCount() == 0) batches->MoveFirst();
      const double quantity = 1 + i % 7;
      auto text = [&](const char* name) { return adodb::BoundText(batches->Value(name).TextOrEmpty()); };
      const double price = batches->Value("jhdj").AsDouble();
      conn.Execute("insert into ckdbdzkmx (lsh, dh, hh, pm, ph, pcdh, dj, sl, je, lsze, dw) values (?,?,?,?,?,?,?,?,?,?,?)",
                   {adodb::BoundText(kSerial), adodb::BoundText(std::to_string(100000 + i)), text("hh"), text("pm"),
                    text("ph"), text("dh"), adodb::BoundDecimal(price, 4), adodb::BoundDecimal(quantity, 4),
                    adodb::BoundDecimal(price * quantity, 4),
                    adodb::BoundDecimal(batches->Value("lsj").AsDouble() * quantity, 4), text("pdw")});
      batches->MoveNext();
    }
    transaction.Commit();
    conn.Close();
    return connStr;
  }();
  return connection;
}

std::vector<storeadjust::BillSlip> ReadSlip(adodb::Connection& conn) {
  auto slips = storeadjust::ReadBillSlips(conn, " CKDBDZK ", " CKDBDZKmx ", {kSerial});
  if (slips.size() != 1 || slips[0].lines.size() != static_cast<std::size_t>(kLines)) {
    throw std::runtime_error("the bench bill does not have its lines: " +
                             std::to_string(slips.empty() ? 0 : slips[0].lines.size()));
  }
  return slips;
}

std::map<std::string, double> cpuNanos;

void BM_ReadSlipOf1000Lines(benchmark::State& state) {
  auto conn = std::make_shared<adodb::Connection>();
  conn->Open(ConnectionString());
  benchsupport::MeasureCpu(cpuNanos, state, "read", [&] { benchmark::DoNotOptimize(ReadSlip(*conn)); });
  state.counters["cpu_ms"] = cpuNanos["read"] / 1e6;
  conn->Close();
}
BENCHMARK(BM_ReadSlipOf1000Lines)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_PrintBillOf1000LinesToPdf(benchmark::State& state) {
  auto conn = std::make_shared<adodb::Connection>();
  conn->Open(ConnectionString());
  const QString pdf = QString::fromStdString((Folder() / "slip.pdf").string());
  int pages = 0;
  benchsupport::MeasureCpu(cpuNanos, state, "print", [&] {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    storeadjust::qt::UseSlipPageLayout(printer);
    pages = storeadjust::qt::PaintBillSlips(printer, ReadSlip(*conn));
  });
  state.counters["cpu_ms"] = cpuNanos["print"] / 1e6;
  state.counters["pages"] = pages;
  state.counters["pdf_kb"] = static_cast<double>(QFileInfo(pdf).size()) / 1024;
  conn->Close();
}
BENCHMARK(BM_PrintBillOf1000LinesToPdf)->Unit(benchmark::kMillisecond)->Iterations(10);

long PeakResidentKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  ConnectionString();
  const long before = PeakResidentKb();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf("peak resident memory: %.1f MB (%.1f MB before the runs)\n", PeakResidentKb() / 1024.0, before / 1024.0);
  std::error_code ec;
  std::filesystem::remove_all(Folder(), ec);
  return 0;
}
