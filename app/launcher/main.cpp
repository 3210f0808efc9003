// storeadjust: runs the transfer-bill module as its host would, from the command line, for an
// operator who signs in with a password.
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "LaunchOptions.h"
#include "StartupCheck.h"
#include "adodb/Connection.h"
#include "host/ConsoleUserInterface.h"
#include "host/HiddenTerminalInput.h"
#include "host/OperatorPassword.h"
#include "module/StoreAdjuctBill.h"

#ifdef STOREADJUST_LAUNCHER_WITH_QT
#include <QApplication>

#include "qt/CjkFont.h"
#include "qt/QtChineseTranslations.h"
#include "qt/QtUserInterface.h"
#include "qt/SignInDialog.h"
#endif

namespace {

using storeadjust::launcher::LaunchOptions;
using storeadjust::launcher::StartupError;

#ifdef STOREADJUST_LAUNCHER_WITH_QT
bool HasDisplay() {
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
         !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}
#endif

// The password when it comes without asking: from the command line, or from standard input when
// that is a pipe or a file that holds a line (a scripted start). A desktop start has neither.
std::optional<std::string> GivenPassword(const LaunchOptions& options) {
  if (options.password) return options.password;
  if (storeadjust::StandardInputIsTerminal()) return std::nullopt;
  return storeadjust::PasswordFromInput(std::cin);
}

// Signs in, asking when the password was not given: in the dialog on a desktop, else on the
// terminal with echo off. Gives the signed-in operator's name; throws StartupError.
std::string SignInOperator(LaunchOptions& options, adodb::Connection& conn, bool desktop) {
  const auto attempt = [&](const std::string& code, const std::string& password,
                           storeadjust::CodeGiven given = storeadjust::CodeGiven::kOnCommandLine) {
    return storeadjust::launcher::SignIn(conn, options.connStr, code, password, given);
  };
  if (auto password = GivenPassword(options)) return attempt(options.optCode, *password);
#ifdef STOREADJUST_LAUNCHER_WITH_QT
  if (desktop) {
    auto signedIn = storeadjust::qt::RunSignInDialog(options.optCode, [&](const std::string& code, const std::string& password) {
      try {
        return storeadjust::qt::SignInAnswer{true, attempt(code, password, storeadjust::CodeGiven::kInDialog)};
      } catch (const StartupError& e) {
        return storeadjust::qt::SignInAnswer{false, e.what()};
      }
    });
    if (!signedIn) throw StartupError("操作员 " + options.optCode + " 取消了登录。");
    options.optCode = signedIn->code;
    return signedIn->name;
  }
#else
  (void)desktop;
#endif
  if (!storeadjust::StandardInputIsTerminal()) return attempt(options.optCode, "");
  return attempt(options.optCode, storeadjust::ReadHiddenLine("操作员 " + options.optCode + " 的密码: "));
}

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
#ifdef STOREADJUST_LAUNCHER_WITH_QT
  // On a desktop the sign-in and every message box of Execute (a refused connection string, say)
  // are dialogs; without a display the launcher still runs, answering on the console.
  std::unique_ptr<QApplication> app;
  std::unique_ptr<storeadjust::UserInterface> desktop;
  if (HasDisplay()) {
    app = std::make_unique<QApplication>(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("StoreAdjust"));
    QApplication::setApplicationName(QStringLiteral("storeadjust"));
    storeadjust::qt::UseCjkFontFallback();
    storeadjust::qt::UseChineseQtTranslations();
    desktop = std::make_unique<storeadjust::qt::QtUserInterface>();
  }
  storeadjust::ConsoleUserInterface console;
  storeadjust::UserInterface& ui = desktop ? *desktop : static_cast<storeadjust::UserInterface&>(console);
  const bool onDesktop = desktop != nullptr;
#else
  storeadjust::ConsoleUserInterface ui;
  const bool onDesktop = false;
#endif
  std::string operatorName;
  try {
    if (options->connStr.empty()) options->connStr = storeadjust::launcher::DemoConnectionString();
    auto conn = storeadjust::launcher::OpenModuleDatabase(options->connStr);
    operatorName = SignInOperator(*options, *conn, onDesktop);
  } catch (const StartupError& e) {
    std::cerr << "storeadjust: " << e.what() << "\n";
    return 1;
  }
  std::cout << storeadjust::OperatorLabel(options->optCode, operatorName) << "已登录。\n" << std::flush;
  storeadjust::StoreAdjuctBill bill(ui);
  bill.SetConnStr(options->connStr);
  bill.SetOptCode(options->optCode);
  bill.SetOptName(operatorName);
  bill.SetSysDate(options->sysDate);
  bill.SetisNotPh(options->isNotPh);
  bill.SetCategory(options->category);
  bill.Execute();
  return 0;
}
