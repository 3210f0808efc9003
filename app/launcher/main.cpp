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

// Why the browser cannot be shown here. Without a screen Execute would only announce the window
// closed at once, and the launcher would end with success although the clerk never saw it.
std::string NoScreenText() {
#ifdef STOREADJUST_LAUNCHER_WITH_QT
  return "没有图形显示（DISPLAY 和 WAYLAND_DISPLAY 都没有设置），打不开单据浏览窗口。请在桌面上运行 storeadjust。";
#else
  return "这个 storeadjust 编译时没有带桌面界面（Qt），打不开单据浏览窗口。";
#endif
}

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

// Signs in, asking in the dialog on a desktop when the password was not given. Without a desktop
// a password given is still checked, so a script learns whether it signs in; one that would have
// to be typed is not asked for, since no window could follow. Gives the signed-in operator's
// name; throws StartupError.
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
  if (storeadjust::StandardInputIsTerminal()) throw StartupError(NoScreenText());
  return attempt(options.optCode, "");
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
  // are dialogs; without a display the launcher still checks the database and a given password.
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
  const bool onDesktop = desktop != nullptr;
#else
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
  if (!onDesktop) {
    std::cerr << "storeadjust: " << NoScreenText() << "\n";
    return 1;
  }
#ifdef STOREADJUST_LAUNCHER_WITH_QT
  storeadjust::StoreAdjuctBill bill(*desktop);
  bill.SetConnStr(options->connStr);
  bill.SetOptCode(options->optCode);
  bill.SetOptName(operatorName);
  bill.SetSysDate(options->sysDate);
  bill.SetisNotPh(options->isNotPh);
  bill.SetCategory(options->category);
  bill.Execute();
#endif
  return 0;
}
