// storeadjust: runs the transfer-bill module as its host would, from the command line.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "LaunchOptions.h"
#include "adodb/Connection.h"
#include "adodb/Recordset.h"
#include "db/DatabaseFactory.h"
#include "host/ConsoleUserInterface.h"
#include "host/SqlLiterals.h"
#include "host/StoreAdjuctBill.h"

#ifdef STOREADJUST_LAUNCHER_WITH_QT
#include <QApplication>
#include <memory>

#include "qt/CjkFont.h"
#include "qt/QtUserInterface.h"
#endif

namespace {

// The demo database is made on first run so the module can be tried without a server.
std::string DemoConnectionString() {
  const std::string path = storeadjust::launcher::DemoDatabasePath();
  if (!std::filesystem::exists(path)) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    storeadjust::db::CreateDemoDatabase(path);
  }
  return storeadjust::db::EmbeddedConnectionString(path);
}

// The host always hands over the operator's name; without --operator-name take it from
// Operators, as the host's login would. Empty when it cannot be read (Execute reports that).
std::string OperatorName(const std::string& connStr, const std::string& code) {
  try {
    auto conn = std::make_shared<adodb::Connection>();
    conn->Open(connStr);
    auto rs = conn->OpenRecordset("Select name From Operators Where Code=" + storeadjust::SqlText(code));
    return rs->RecordCount() > 0 ? rs->Value("name").TextOrEmpty() : std::string();
  } catch (const std::exception&) {
    return {};
  }
}

#ifdef STOREADJUST_LAUNCHER_WITH_QT
bool HasDisplay() {
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
         !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}
#endif

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  auto options = storeadjust::launcher::ParseLaunchOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::cerr << "storeadjust: " << error << "\n" << storeadjust::launcher::LaunchUsage();
    return 2;
  }
  if (options->showHelp) {
    std::cout << storeadjust::launcher::LaunchUsage();
    return 0;
  }
  try {
    if (options->connStr.empty()) options->connStr = DemoConnectionString();
  } catch (const std::exception& e) {
    std::cerr << "storeadjust: cannot create the demo database: " << e.what() << "\n";
    return 1;
  }
  if (options->optName.empty()) options->optName = OperatorName(options->connStr, options->optCode);
#ifdef STOREADJUST_LAUNCHER_WITH_QT
  // On a desktop every message box of Execute (a refused connection string, say) is a dialog;
  // without a display the launcher still runs, answering on the console.
  std::unique_ptr<QApplication> app;
  std::unique_ptr<storeadjust::UserInterface> desktop;
  if (HasDisplay()) {
    app = std::make_unique<QApplication>(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("StoreAdjust"));
    QApplication::setApplicationName(QStringLiteral("storeadjust"));
    storeadjust::qt::UseCjkFontFallback();
    desktop = std::make_unique<storeadjust::qt::QtUserInterface>();
  }
  storeadjust::ConsoleUserInterface console;
  storeadjust::UserInterface& ui = desktop ? *desktop : static_cast<storeadjust::UserInterface&>(console);
#else
  storeadjust::ConsoleUserInterface ui;
#endif
  storeadjust::StoreAdjuctBill bill(ui);
  bill.SetConnStr(options->connStr);
  bill.SetOptCode(options->optCode);
  bill.SetOptName(options->optName);
  bill.SetSysDate(options->sysDate);
  bill.SetisNotPh(options->isNotPh);
  bill.SetCategory(options->category);
  bill.Execute();
  return 0;
}
