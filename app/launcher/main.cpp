// storeadjust: runs the transfer-bill module as its host would, from the command line.
#include <iostream>
#include <string>
#include <vector>

#include "LaunchOptions.h"
#include "StartupCheck.h"
#include "host/ConsoleUserInterface.h"
#include "module/StoreAdjuctBill.h"

#ifdef STOREADJUST_LAUNCHER_WITH_QT
#include <QApplication>
#include <memory>

#include "qt/CjkFont.h"
#include "qt/QtUserInterface.h"
#endif

namespace {

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
    if (options->connStr.empty()) options->connStr = storeadjust::launcher::DemoConnectionString();
    const std::string name = storeadjust::launcher::CheckStartup(options->connStr, options->optCode);
    if (options->optName.empty()) options->optName = name;
  } catch (const storeadjust::launcher::StartupError& e) {
    std::cerr << "storeadjust: " << e.what() << "\n";
    return 1;
  }
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
