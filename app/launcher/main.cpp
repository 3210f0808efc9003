// storeadjust: runs the transfer-bill module as its host would, from the command line, for an
// operator who signs in with a password.
#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "LaunchOptions.h"
#include "MenuEntry.h"
#include "StartupCheck.h"
#include "adodb/Connection.h"
#include "host/HiddenTerminalInput.h"
#include "host/OperatorPassword.h"
#include "module/StoreAdjuctBill.h"

#ifdef STOREADJUST_LAUNCHER_WITH_QT
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>

#include "qt/CjkFont.h"
#include "qt/QtChineseTranslations.h"
#include "qt/QtUserInterface.h"
#include "qt/SignInDialog.h"
#endif

namespace {

using storeadjust::launcher::LaunchOptions;
using storeadjust::launcher::StartupError;

// The clerk closed the sign-in dialog: said on the console only, since he knows.
struct SignInCancelled : StartupError {
  using StartupError::StartupError;
};

#ifdef STOREADJUST_LAUNCHER_WITH_QT
// Whether a compositor listens where WAYLAND_DISPLAY points (a name in XDG_RUNTIME_DIR, or a path).
bool WaylandAnswers() {
  QString path = qEnvironmentVariable("WAYLAND_DISPLAY");
  if (!QDir::isAbsolutePath(path)) path = qEnvironmentVariable("XDG_RUNTIME_DIR") + QLatin1Char('/') + path;
  const QByteArray name = QFile::encodeName(path);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (name.size() >= static_cast<qsizetype>(sizeof(address.sun_path))) return false;
  std::copy(name.begin(), name.end(), address.sun_path);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const bool answers = fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  if (fd >= 0) ::close(fd);
  return answers;
}

bool WaylandPluginInstalled() {
  QStringList folders = qEnvironmentVariable("QT_PLUGIN_PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts);
  folders << QLibraryInfo::path(QLibraryInfo::PluginsPath);
  return std::any_of(folders.begin(), folders.end(), [](const QString& folder) {
    return !QDir(folder + QStringLiteral("/platforms")).entryList({QStringLiteral("libqwayland-*.so")}, QDir::Files).isEmpty();
  });
}

bool HasDisplay() {
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
         !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// Qt goes to the X display named by DISPLAY unless told of another platform or a Wayland display.
bool OpensXDisplay() {
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if (!platform.isEmpty()) return platform == "xcb";
  return qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// Qt's platform plugin aborts the program (a core dump, status 134) when the X display does not
// answer: a DISPLAY left over from a closed session, or an X server that has stopped. Asked first,
// the launcher can say so instead. The connection asked through is held until Qt has made its
// own: an X server whose last client leaves resets itself (Xvfb does), and Qt connecting in that
// moment would fail as if none answered.
struct XDisplayProbe {
  bool unreachable = false;
  xcb_connection_t* held = nullptr;
};

// Asked once, where the program may go to an X display: DISPLAY set, or X chosen by the user.
XDisplayProbe& DisplayProbe() {
  static XDisplayProbe probe = [] {
    XDisplayProbe asked;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() ? qEnvironmentVariableIsEmpty("DISPLAY") : platform != "xcb") return asked;
    asked.held = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(asked.held) != 0) {
      xcb_disconnect(asked.held);
      asked.held = nullptr;
      asked.unreachable = true;
    }
    return asked;
  }();
  return probe;
}

// On a Wayland desktop the launcher chooses the platform itself, since Qt's own choice aborts
// the program where it cannot connect. Where the desktop also runs an X server (XWayland) the
// program goes through X: that is where its windows were made and tried, and a Wayland
// compositor does not let a program place its own dialogs. Without X, or with a DISPLAY left
// from another session that no X server answers, it goes to the compositor, given Qt's plugin
// for it; why it cannot is said instead. A platform chosen by the user stands.
// Returns why no window can be shown; empty when one can.
std::string ChoosePlatform() {
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) return {};
  if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
    // Where neither answers, the X display's refusal names the one the desktop meant.
    const bool toWayland = DisplayProbe().unreachable && WaylandAnswers() && WaylandPluginInstalled();
    qputenv("QT_QPA_PLATFORM", toWayland ? "wayland" : "xcb");
    return {};
  }
  if (!WaylandAnswers()) {
    return "打不开 Wayland 显示 " + qEnvironmentVariable("WAYLAND_DISPLAY").toStdString() +
           "（WAYLAND_DISPLAY 所指的 Wayland 桌面没有应答），也没有 X 显示（DISPLAY 没有设置），打不开单据浏览窗口。"
           "请检查 WAYLAND_DISPLAY，或在桌面上运行 storeadjust。";
  }
  if (!WaylandPluginInstalled()) {
    return "这是 Wayland 桌面，没有 X 显示（DISPLAY 没有设置，桌面没有开 XWayland），而 Qt 的 Wayland 插件没有安装，"
           "打不开单据浏览窗口。请安装 Debian 包 qt6-wayland（sudo apt-get install qt6-wayland），或在桌面上开启 XWayland。";
  }
  qputenv("QT_QPA_PLATFORM", "wayland");
  return {};
}

const std::string& NoPlatform() {
  static const std::string why = ChoosePlatform();
  return why;
}

// Whether an X server listens at DISPLAY on this machine, though it refused the connection: one
// that answers but does not let this user in (su or sudo to another user on someone's desktop,
// without that display's authorisation) is not a display that is gone.
bool XServerListens() {
  char* host = nullptr;
  int display = 0;
  if (xcb_parse_display(nullptr, &host, &display, nullptr) == 0) return false;
  const std::string name = host != nullptr ? host : "";
  std::free(host);
  if (!name.empty() && name != "unix" && name[0] != '/') return false;  // over the network: not asked
  const std::string path = !name.empty() && name[0] == '/' ? name : "/tmp/.X11-unix/X" + std::to_string(display);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() + 1 >= sizeof(address.sun_path)) return false;
  bool listens = false;
  for (const bool abstract : {true, false}) {  // X servers on Linux listen in both namespaces
    std::copy(path.begin(), path.end(), address.sun_path + (abstract ? 1 : 0));
    const socklen_t size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + (abstract ? 1 : 0));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    listens = listens || (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), size) == 0);
    if (fd >= 0) ::close(fd);
  }
  return listens;
}

// An X display the program goes to does not answer.
bool DisplayUnreachable() { return NoPlatform().empty() && OpensXDisplay() && DisplayProbe().unreachable; }

void ReleaseDisplayProbe() {
  XDisplayProbe& probe = DisplayProbe();
  if (probe.held != nullptr) xcb_disconnect(probe.held);
  probe.held = nullptr;
}
#endif

// Why the browser cannot be shown here. Without a screen Execute would only announce the window
// closed at once, and the launcher would end with success although the clerk never saw it.
std::string NoScreenText() {
#ifdef STOREADJUST_LAUNCHER_WITH_QT
  if (!NoPlatform().empty()) return NoPlatform();
  if (DisplayUnreachable() && XServerListens()) {
    return "X 显示 " + qEnvironmentVariable("DISPLAY").toStdString() +
           " 的 X 服务器拒绝了连接：这个用户没有该显示的授权（例如用 su 或 sudo 换成了别的用户），打不开单据浏览窗口。"
           "请以桌面登录的用户运行 storeadjust。";
  }
  if (DisplayUnreachable()) {
    return "打不开图形显示 " + qEnvironmentVariable("DISPLAY").toStdString() +
           "（DISPLAY 所指的 X 服务器没有应答），打不开单据浏览窗口。请检查 DISPLAY，或在桌面上运行 storeadjust。";
  }
  return "没有图形显示（DISPLAY 和 WAYLAND_DISPLAY 都没有设置），打不开单据浏览窗口。请在桌面上运行 storeadjust。";
#else
  return "这个 storeadjust 编译时没有带桌面界面（Qt），打不开单据浏览窗口。";
#endif
}

// The password when it comes without asking: from the command line, or from standard input when
// that is a pipe or a file that holds a line (a scripted start). A desktop start has neither.
std::optional<std::string> GivenPassword(const LaunchOptions& options) {
  if (options.password) return options.password;
  if (storeadjust::StandardInputIsTerminal()) return std::nullopt;
  return storeadjust::PasswordFromInput(std::cin);
}

// Signs in, asking in the dialog on a desktop when the password was not given. Without a desktop
// a password given is still checked, so a script learns whether it signs in; one that would have
// to be typed is not asked for, since no window could follow. Throws StartupError.
storeadjust::launcher::SignedInOperator SignInOperator(const LaunchOptions& options, adodb::Connection& conn, bool desktop) {
  const auto attempt = [&](const std::string& code, const std::string& password,
                           storeadjust::CodeGiven given = storeadjust::CodeGiven::kOnCommandLine) {
    return storeadjust::launcher::SignIn(conn, options.connStr, code, password, given);
  };
  if (auto password = GivenPassword(options)) return attempt(options.optCode, *password);
#ifdef STOREADJUST_LAUNCHER_WITH_QT
  if (desktop) {
    storeadjust::launcher::SignedInOperator accepted;
    std::string codeAtCancel;
    auto signedIn = storeadjust::qt::RunSignInDialog(
        options.optCode,
        [&](const std::string& code, const std::string& password) {
          try {
            accepted = attempt(code, password, storeadjust::CodeGiven::kInDialog);
            return storeadjust::qt::SignInAnswer{true, accepted.name};
          } catch (const storeadjust::launcher::SignInRefused& e) {
            return storeadjust::qt::SignInAnswer{false, e.refusal, e.waitSeconds, e.codeToCorrect};
          } catch (const StartupError& e) {
            return storeadjust::qt::SignInAnswer{false, e.what()};
          }
        },
        &codeAtCancel);
    // The console names whoever was signing in when the dialog was closed: the code typed over
    // the one it opened with.
    if (!signedIn) throw SignInCancelled(codeAtCancel.empty() ? "取消了登录。" : "操作员 " + codeAtCancel + " 取消了登录。");
    return accepted;
  }
#else
  (void)desktop;
#endif
  if (storeadjust::StandardInputIsTerminal()) throw StartupError(NoScreenText());
  return attempt(options.optCode, "");
}

}  // namespace

int main(int argc, char** argv) {
  storeadjust::KeepSecretsOutOfCoreDumps();  // --password, PWD= in --conn, the dialog's password
  std::string error;
  auto options = storeadjust::launcher::ParseLaunchOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::cerr << "storeadjust: " << error << "\n" << storeadjust::launcher::LaunchUsage();
    return 2;
  }
  storeadjust::launcher::HideSecretArguments(argc, argv);
  if (options->showHelp) {
    std::cout << storeadjust::launcher::LaunchUsage();
    return 0;
  }
  storeadjust::launcher::RemoveSetupsEntryBesideAnInstalledOne();
#ifdef STOREADJUST_LAUNCHER_WITH_QT
  // On a desktop the sign-in and every message box of Execute (a refused connection string, say)
  // are dialogs; without a display the launcher still checks the database and a given password.
  std::unique_ptr<QApplication> app;
  std::unique_ptr<storeadjust::UserInterface> desktop;
  if (HasDisplay() && NoPlatform().empty() && !DisplayUnreachable()) {
    app = std::make_unique<QApplication>(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("StoreAdjust"));
    QApplication::setApplicationName(QStringLiteral("storeadjust"));
    storeadjust::qt::UseCjkFontFallback();
    storeadjust::qt::UseChineseQtTranslations();
    desktop = std::make_unique<storeadjust::qt::QtUserInterface>();
    ReleaseDisplayProbe();
  }
  const bool onDesktop = desktop != nullptr;
#else
  const bool onDesktop = false;
#endif
  storeadjust::launcher::SignedInOperator signedIn;
  try {
    if (options->connStr.empty()) options->connStr = storeadjust::launcher::DemoConnectionString();
    auto conn = storeadjust::launcher::OpenModuleDatabase(options->connStr);
    signedIn = SignInOperator(*options, *conn, onDesktop);
  } catch (const StartupError& e) {
    std::cerr << "storeadjust: " << e.what() << "\n";
    // Started from the desktop's menu no one reads the console: without the box the program would
    // seem not to start at all. A clerk who cancelled the sign-in knows.
#ifdef STOREADJUST_LAUNCHER_WITH_QT
    if (onDesktop && !dynamic_cast<const SignInCancelled*>(&e)) desktop->MsgBox(e.what(), 48, "系统提示");
#endif
    return 1;
  }
  std::cout << storeadjust::OperatorLabel(signedIn.code, signedIn.name) << "已登录。\n" << std::flush;
  if (!onDesktop) {
    std::cerr << "storeadjust: " << NoScreenText() << "\n";
    return 1;
  }
#ifdef STOREADJUST_LAUNCHER_WITH_QT
  storeadjust::StoreAdjuctBill bill(*desktop);
  bill.SetConnStr(options->connStr);
  bill.SetOptCode(signedIn.code);
  bill.SetOptName(signedIn.name);
  bill.SetSysDate(options->sysDate);
  bill.SetisNotPh(options->isNotPh);
  bill.SetCategory(options->category);
  bill.Execute();
#endif
  return 0;
}
