// The launcher and the player as a new user meets them: run as programs, judged by what they
// print and the status they end with. The launcher runs without a display, so a sign-in that
// succeeds ends by saying the browser cannot be shown.
#include <gtest/gtest.h>
#include <poll.h>
#include <pwd.h>
#include <pty.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "db/DatabaseFactory.h"
#include "host/OperatorPassword.h"
#include "support/AtOnce.h"
#include "support/DatabaseFiles.h"
#include "support/TempDatabase.h"

namespace {

using testsupport::TempDatabase;

// The SQLite ODBC driver, standing in for a server's where it is installed.
const std::string kOdbcDriver = "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so";

// How a program ended: its status, then what it printed and what it said on standard error.
struct Ran {
  int status = -1;
  std::string out, err;
  std::string Said() const { return std::to_string(status) + "|" + out + "|" + err; }
};

std::string ShellQuoted(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string BytesOf(const std::string& path) {
  return (std::ostringstream() << std::ifstream(path, std::ios::binary).rdbuf()).str();
}

// Runs the program without a display (or with DISPLAY set to `display`, and the variables of
// `environment`), with XDG_DATA_HOME (where the demo database is made) in the given folder and the
// given text on standard input (none: /dev/null).
Ran RunProgram(const std::string& program, const std::vector<std::string>& args, const std::filesystem::path& home,
               const std::optional<std::string>& input = std::nullopt, const std::string& display = {},
               const std::string& environment = {}) {
  const std::string in = (home / "stdin.txt").string(), out = (home / "stdout.txt").string(), err = (home / "stderr.txt").string();
  if (input) std::ofstream(in) << *input;
  std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                        (display.empty() ? std::string() : "DISPLAY=" + ShellQuoted(display) + " ") + environment + " " +
                        "XDG_DATA_HOME=" + ShellQuoted((home / "data").string()) + " " + ShellQuoted(program);
  for (const auto& arg : args) command += " " + ShellQuoted(arg);
  const int status = std::system((command + " <" + (input ? ShellQuoted(in) : "/dev/null") + " >" + ShellQuoted(out) +
                                  " 2>" + ShellQuoted(err)).c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, BytesOf(out), BytesOf(err)};
}

// Runs the db tool on a terminal of its own, as an administrator types at it: each prompt it
// shows (ending in ": ") is answered with the next line, or with the end of input when none is
// left. Gives all the terminal showed; `echoing` (when given) receives whether the terminal echoes
// what is typed once the tool has ended, `status` its wait status.
std::string TypedAtTerminal(const std::vector<std::string>& args, std::vector<std::string> answers,
                            bool* echoing = nullptr, int* status = nullptr, uid_t asUser = 0) {
  int terminal = -1;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
  if (child == 0) {
    if (asUser != 0 && getuid() == 0 && (setgid(asUser) != 0 || setuid(asUser) != 0)) _exit(126);
    std::vector<char*> argv{const_cast<char*>(STOREADJUST_DB_TOOL)};
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  std::string shown;
  char buffer[256];
  for (ssize_t n; (n = read(terminal, buffer, sizeof buffer)) > 0;) {  // ends when the tool has ended
    shown.append(buffer, static_cast<std::size_t>(n));
    if (!shown.ends_with(": ")) continue;  // not waiting at a prompt
    const std::string line = answers.empty() ? "\x04" : answers.front() + "\n";
    if (!answers.empty()) answers.erase(answers.begin());
    if (write(terminal, line.data(), line.size()) < 0) break;  // the tool has ended
  }
  waitpid(child, status, 0);
  termios after{};
  if (echoing != nullptr) *echoing = tcgetattr(terminal, &after) == 0 && (after.c_lflag & ECHO) != 0;
  close(terminal);
  return shown;
}

// Signed in, but with no display to show the browser on: said after the sign-in, with status 1,
// never the success of a session the clerk did not see.
std::string SignedInWithoutScreen(const std::string& operatorLabel) {
#ifdef STOREADJUST_LAUNCHER_WITH_DESKTOP
  const std::string why = "没有图形显示（DISPLAY 和 WAYLAND_DISPLAY 都没有设置），打不开单据浏览窗口。请在桌面上运行 storeadjust。";
#else
  const std::string why = "这个 storeadjust 编译时没有带桌面界面（Qt），打不开单据浏览窗口。";
#endif
  return "1|" + operatorLabel + "已登录。\n|storeadjust: " + why + "\n";
}

// Start-up refusals are in Chinese, name the file or connection tried, and end with status 1.
// A file refused is left as it was: an empty file, a text file and another program's SQLite
// database (in rollback-journal or WAL mode) keep their bytes, and no -wal or -shm appears beside
// them. A module database opens: LauncherSignIn.
TEST(LauncherStartup, RefusalsAreInChineseNameWhatWasTriedEndNonZeroAndWriteNothing) {
  const TempDatabase home;
  const auto launch = [&](const std::vector<std::string>& args) { return RunProgram(STOREADJUST_LAUNCHER, args, home.Folder()); };
  const std::string missing = (home.Folder() / "nowhere.db").string();
  EXPECT_EQ(launch({"--db", missing}).Said(), "1||storeadjust: 数据库文件 " + missing + " 不存在。\n");
  EXPECT_EQ(RunProgram(STOREADJUST_DB_TOOL, {"check-templates", missing}, home.Folder()).Said(),
            "1||storeadjust-db: 数据库文件 " + missing + " 不存在，请检查路径；要新建一个请用 storeadjust-db empty 或 demo。\n");

  const std::string text = (home.Folder() / "notes.txt").string(), foreign = (home.Folder() / "other.db").string();
  const std::string foreignWal = (home.Folder() / "other-wal.db").string();
  std::ofstream(text) << "not a database, but long enough to be read as one and refused\n";
  const auto makeForeign = [](const std::string& file, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
  };
  makeForeign(foreign, "create table accounts (id int); insert into accounts values (1)");
  makeForeign(foreignWal, "pragma journal_mode=wal; create table t (a)");
  const std::string cut = (home.Folder() / "cut.db").string();  // a module database copied half-way
  storeadjust::db::CreateDemoDatabase(cut);
  std::filesystem::resize_file(cut, 8192);
  const auto noTables = [](const std::string& file) {
    return "数据库 " + file + " 中没有本模块的表 ckdbdzk，它不是调拨单模块的数据库。\n";
  };
  const std::string notADatabase = "打不开数据库文件 " + text + "：它不是数据库文件，请检查给出的文件名。\n";
  const std::tuple<std::string, std::string, std::string> refusals[] = {
      {"--db", home.Path(), noTables(home.Path())},  // an empty file: a database without the module's tables
      {"--db", text, notADatabase},
      {"--conn", text, notADatabase},
      {"--db", foreign, noTables(foreign)},
      {"--db", foreignWal, noTables(foreignWal)},
      {"--db", cut, "打不开数据库文件 " + cut + "：文件已损坏（不完整，或被别的程序改写过），请从备份中恢复它。\n"},
      {"--db", home.Folder().string(),
       "打不开数据库文件 " + home.Folder().string() + "：它是目录，不是数据库文件，请给出数据库文件的路径。\n"}};
  for (const auto& [option, file, words] : refusals) {
    const std::string before = BytesOf(file);
    EXPECT_EQ(launch({option, option == "--conn" ? "Provider=SQLite;Data Source=" + file : file}).Said(),
              "1||storeadjust: " + words);
    EXPECT_EQ(BytesOf(file), before) << file;
    for (const char* side : {"-wal", "-shm", "-journal"}) EXPECT_FALSE(std::filesystem::exists(file + side)) << file << side;
  }
  // A path the system cannot look at, such as a link to itself, is refused in words, not by a crash.
  const std::string loop = (home.Folder() / "loop.db").string();
  std::filesystem::create_symlink(loop, loop);
  const std::string cannot = "打不开数据库文件 " + loop + "：路径不存在、是目录或没有权限，请检查路径和文件的权限。\n";
  EXPECT_EQ(launch({"--db", loop}).Said(), "1||storeadjust: " + cannot);
  for (const auto& args : {std::vector<std::string>{"check-templates", loop}, {"password", loop, "001"}}) {
    EXPECT_EQ(RunProgram(STOREADJUST_DB_TOOL, args, home.Folder()).Said(), "1||storeadjust-db: " + cannot) << args[0];
  }
  // A data folder the demo database cannot be made in is named, in Chinese.
  std::ofstream(home.Folder() / "data") << "a file where the data folder goes\n";
  const std::string data = (home.Folder() / "data" / "storeadjust").string();
  EXPECT_EQ(launch({}).Said(), "1||storeadjust: 建不成演示数据库 " + data + "/demo.db：建不了目录 " + data +
                                   "（路径中有同名的文件，不是目录）。请用 XDG_DATA_HOME 指定另一个数据目录，或用 --db 给出数据库文件。\n");
}

// Started with no HOME (from a service, or by `env -i`) or a relative one, the launcher keeps the
// demo database in the user's home from the password database, never under the folder it was
// started in; a relative XDG_DATA_HOME beside a HOME is ignored for HOME's; a user the password database does not know either is told so, and nothing is made.
TEST(LauncherStartup, WithoutHomeTheDemoDatabaseGoesToTheUsersHomeNotTheFolderStartedIn) {
  const TempDatabase home;
  const auto started = home.Folder() / "started here";
  std::filesystem::create_directories(started);
  std::filesystem::permissions(started, std::filesystem::perms::all);
  const passwd* user = getpwuid(getuid());
  ASSERT_NE(user, nullptr);
  const std::string demo = std::string(user->pw_dir) + "/.local/share/storeadjust/demo.db";
  const auto runFromThere = [&](const std::string& command) {
    return RunProgram("/bin/sh", {"-c", "cd " + ShellQuoted(started.string()) + " && exec " + command}, home.Folder(),
                      "demo001\n");
  };
  const std::pair<std::string, std::string> homes[] = {
      {"env -i", demo}, {"env -i HOME=home XDG_DATA_HOME=data", demo},
      {"env -i XDG_DATA_HOME=data HOME=" + ShellQuoted(home.Folder().string()), (home.Folder() / ".local/share/storeadjust/demo.db").string()}};
  for (const auto& [environment, where] : homes) {
    const Ran help = runFromThere(environment + " " + ShellQuoted(STOREADJUST_LAUNCHER) + " --help");
    EXPECT_NE(help.out.find("演示数据库在 " + where + "。"), std::string::npos) << environment << "\n" << help.out;
  }
  if (getuid() != 0) GTEST_SKIP() << "only root can start the launcher as a user the password database does not know";
  const uid_t stranger = 4000123;
  ASSERT_EQ(getpwuid(stranger), nullptr);
  const std::string refusal = "找不到放演示数据库的目录：没有设置 HOME，系统的用户数据库中也没有这个用户（uid 4000123）的主目录。"
                              "请用 XDG_DATA_HOME 指定数据目录，或用 --db 给出数据库文件。\n";
  const std::string asStranger = "setpriv --reuid=4000123 --regid=4000123 --clear-groups env -i " + ShellQuoted(STOREADJUST_LAUNCHER);
  EXPECT_EQ(runFromThere(asStranger).Said(), "1||storeadjust: " + refusal);
  EXPECT_NE(runFromThere(asStranger + " --help").out.find(refusal), std::string::npos);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(started), {}), 0);
}

// A wrong command line of the launcher or the db tool is an option error (status 2) said in
// Chinese before the usage; options that name no database, or two, never fall back to the demo
// database. A connection string without a Data Source names no file: the database cannot serve
// (status 1).
TEST(CommandLines, AWrongCommandLineSaysWhatWasWrongBeforeTheUsage) {
  const TempDatabase home;
  const std::string launcher = STOREADJUST_LAUNCHER, tool = STOREADJUST_DB_TOOL;
  const std::tuple<std::string, std::vector<std::string>, std::string> wrong[] = {
      {launcher, {"--bogus"}, "不认识的选项 --bogus"},
      {launcher, {"--db", ""}, "--db 的值是空的，请给出数据库文件。"},
      {launcher, {"--db", home.Path(), "--conn", home.ConnStr()}, "--db 和 --conn 不能同时使用，请只给出其中一个。"},
      {launcher, {"--date", "0001-01-01"}, "--date 0001-01-01 超出了范围，业务日期要在 0100-01-01 到 9999-12-31 之间。"},
      {launcher, {"--date", "2024-13-01x"}, "--date 要的是 YYYY-MM-DD 形式的日期，不是 2024-13-01x"},
      {tool, std::vector<std::string>{}, "缺少命令"},
      {tool, {"foo", "x.db"}, "不认识的命令 foo"},
      {tool, {"demo"}, "缺少文件"},
      {tool, {"password", "d.db"}, "缺少操作员编号"},
      {launcher, {"--password=demo001"}, "不认识的选项 --password=…，选项和它的值之间要用空格隔开，例如 --password 值"},
      {tool, {"password", "d.db", "001", "-demo001"},
       "多余的参数（它可能是密码，所以不显示）：password 只要文件和一个操作员编号，密码在提示时输入，或从标准输入给出"},
      {tool, {"demo", "--force"}, "不认识的选项 --force（以 - 开头的文件名请写成 ./--force）"}};
  for (const auto& [program, args, words] : wrong) {
    const Ran ran = RunProgram(program, args, home.Folder());
    const std::string name = std::filesystem::path(program).filename().string();
    EXPECT_EQ(ran.status, 2) << words;
    EXPECT_EQ(ran.err.rfind(name + ": " + words + "\n用法: " + name, 0), 0u) << ran.err;
  }
  EXPECT_FALSE(std::filesystem::exists(home.Folder() / "data")) << "the demo database was made";
  // Help asked after a command is help, not a database made under the name --help.
  const Ran help = RunProgram(tool, {"demo", "--help"}, home.Folder());
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("用法: storeadjust-db", 0), 0u) << help.out;
  EXPECT_EQ(RunProgram(STOREADJUST_LAUNCHER, {"--conn", "Provider=SQLite"}, home.Folder()).Said(),
            "1||storeadjust: 连接字符串 \"Provider=SQLite\" 没有给出数据库文件，请在其中写上 Data Source=文件。\n");
}

// A launcher's own folder and a demo database it signs in to.
class LauncherSignIn : public ::testing::Test {
 protected:
  std::string SignIn(const std::string& code, const std::optional<std::string>& input, std::vector<std::string> more = {}) {
    more.insert(more.begin(), {"--db", demo.Path(), "--operator", code});
    return RunProgram(STOREADJUST_LAUNCHER, more, home.Folder(), input).Said();
  }
  const TempDatabase home;
  const TempDatabase demo{storeadjust::db::CreateDemoDatabase};
};

// Signing in on a scripted start: the password comes on standard input (or --password); every
// refusal names the operator, ends with status 1 and never shows the password typed.
TEST_F(LauncherSignIn, OnlyTheRightPasswordOpensAndTheNameComesFromOperators) {
  const std::string wrong = "的密码不对，没有登录。", none = "没有输入密码，没有登录。";
  const std::tuple<std::string, std::optional<std::string>, std::string> refusals[] = {
      {"001", "wrong-guess\n", "操作员 001（系统管理员）" + wrong},
      {"001", "\n", "操作员 001（系统管理员）" + none},
      {"001", std::nullopt, "操作员 001（系统管理员）" + none},  // no line at all, no terminal, no display
      {"007", "demo001\n", "操作员编号 007 不在数据库文件 " + demo.Path() + " 的 Operators 表中，请用 --operator 给出一个已有的编号。"},
      {"004", "demo004\n", "操作员 004（王五）还没有密码，没有登录。请先用 storeadjust-db password 为其设置密码。"},
      {"002", "demo001\n", "操作员 002（张三）" + wrong}};  // another operator's password
  for (const auto& [code, input, words] : refusals) {
    EXPECT_EQ(SignIn(code, input), "1||storeadjust: " + words + "\n") << input.value_or("(no input)");
  }
  // The name is the table's, whatever an old command line still says.
  EXPECT_EQ(SignIn("005", "demo005\r\n", {"--operator-name", "系统管理员"}), SignedInWithoutScreen("操作员 005（赵六）"));
  EXPECT_EQ(SignIn("002", std::nullopt, {"--password", "demo002"}), SignedInWithoutScreen("操作员 002（张三）"));
  // A code found as the server compares text is taken as Operators spells it, as serials begin with it.
  EXPECT_EQ(SignIn("002 ", "demo002\n"), SignedInWithoutScreen("操作员 002（张三）"));
  // The file reached through the SQLite ODBC driver without the dialect: the refusal says what to add.
  const std::string odbc = "Driver=" + kOdbcDriver + ";Database=" + demo.Path();
  if (std::filesystem::exists(kOdbcDriver)) {
    EXPECT_EQ(RunProgram(STOREADJUST_LAUNCHER, {"--conn", odbc, "--operator", "001"}, home.Folder(), "demo001\n").Said(),
              "1||storeadjust: 读不出连接 \"" + odbc + "\" 的操作员和密码：它是本模块的 SQLite 数据库文件，经 ODBC 连接时请在"
              "连接字符串中加上 Dialect=SQLite，或者用 --db 文件 打开它。\n");
  }
#ifdef STOREADJUST_LAUNCHER_WITH_DESKTOP
  // A display set where no X server answers is said as plainly, not a crash inside Qt.
  EXPECT_EQ(RunProgram(STOREADJUST_LAUNCHER, {"--db", demo.Path(), "--operator", "002"}, home.Folder(), "demo002\n",
                       ":9999").Said(),
            "1|操作员 002（张三）已登录。\n|storeadjust: 打不开图形显示 :9999（DISPLAY 所指的 X 服务器没有应答），"
            "打不开单据浏览窗口。请检查 DISPLAY，或在桌面上运行 storeadjust。\n");
#endif
}

#ifdef STOREADJUST_LAUNCHER_WITH_DESKTOP
// A compositor's socket listening at `path`, which answers no one.
int ListeningAt(const std::string& path, int flags = 0) {
  const int compositor = socket(AF_UNIX, SOCK_STREAM | flags, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  path.copy(address.sun_path, sizeof address.sun_path - 1);
  return bind(compositor, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(compositor, 4) == 0 ? compositor : -1;
}

// A Wayland desktop that cannot take the windows is said as plainly as a dead X display, not a
// crash inside Qt: its compositor gone, or no X server beside it and no Qt plugin for Wayland.
TEST(LauncherStartup, AWaylandDesktopThatCannotShowTheWindowsIsSaidNotACrash) {
  const TempDatabase home;
  const TempDatabase demo(storeadjust::db::CreateDemoDatabase);
  const auto onWayland = [&](const std::string& display) {
    return RunProgram(STOREADJUST_LAUNCHER, {"--db", demo.Path(), "--operator", "002"}, home.Folder(), "demo002\n", {},
                      "WAYLAND_DISPLAY=" + ShellQuoted(display)).Said();
  };
  const std::string signedIn = "1|操作员 002（张三）已登录。\n|storeadjust: ";
  const std::string gone = (home.Folder() / "wayland-gone").string();
  EXPECT_EQ(onWayland(gone), signedIn + "打不开 Wayland 显示 " + gone + "（WAYLAND_DISPLAY 所指的 Wayland 桌面没有应答），"
            "也没有 X 显示（DISPLAY 没有设置），打不开单据浏览窗口。请检查 WAYLAND_DISPLAY，或在桌面上运行 storeadjust。\n");
  if (std::filesystem::exists("/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so")) return;
  const std::string listening = (home.Folder() / "wayland-0").string();
  const int compositor = ListeningAt(listening);
  ASSERT_GE(compositor, 0);
  EXPECT_EQ(onWayland(listening), signedIn + "这是 Wayland 桌面，没有 X 显示（DISPLAY 没有设置，桌面没有开 XWayland），"
            "而 Qt 的 Wayland 插件没有安装，打不开单据浏览窗口。请安装 Debian 包 qt6-wayland（sudo apt-get install "
            "qt6-wayland），或在桌面上开启 XWayland。\n");
  close(compositor);
}

// A DISPLAY left from another session on a Wayland desktop whose compositor answers: the program
// goes to the compositor (this one hangs up on it) instead of refusing the dead X display.
TEST(LauncherStartup, ADeadXDisplayOnALiveWaylandDesktopGoesToTheCompositor) {
  if (!std::filesystem::exists("/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so")) GTEST_SKIP();
  const TempDatabase home;
  const TempDatabase demo(storeadjust::db::CreateDemoDatabase);
  const std::string listening = (home.Folder() / "wayland-0").string();
  const int compositor = ListeningAt(listening, SOCK_NONBLOCK);
  ASSERT_GE(compositor, 0);
  std::atomic<bool> done = false;
  int callers = 0;
  std::thread hangingUp([&] {
    for (pollfd waiting{compositor, POLLIN, 0}; !done;) {
      if (poll(&waiting, 1, 50) <= 0) continue;
      if (const int caller = accept(compositor, nullptr, nullptr); caller >= 0) ++callers, close(caller);
    }
  });
  const Ran ran = RunProgram(STOREADJUST_LAUNCHER, {"--db", demo.Path(), "--operator", "002"}, home.Folder(), "demo002\n",
                             ":9999", "WAYLAND_DISPLAY=" + ShellQuoted(listening));
  done = true;
  hangingUp.join();
  close(compositor);
  EXPECT_EQ(ran.err.find("打不开图形显示"), std::string::npos) << ran.err;
  EXPECT_GE(callers, 2);  // the launcher's look, then Qt's connection
}
#endif

// A password belongs to the operator it was set for, not to his code: the ERP may give the code of
// an operator who left to a new one. A table from before passwords named their operator gets the
// column, also from two launchers at once, and its rows still sign their codes in.
TEST_F(LauncherSignIn, APasswordStaysWithTheOperatorItWasSetForWhenTheCodeIsGivenAgain) {
  const std::string newOperator = "update Operators set Guid='{NEW-002}', name='孙七' where Code='002'";
  demo.Run({newOperator});
  EXPECT_EQ(SignIn("002", "demo002\n"),
            "1||storeadjust: 操作员 002（孙七）还没有密码，没有登录。请先用 storeadjust-db password 为其设置密码。\n");

  const std::string hash = demo.Value("select PasswordHash from StoreAdjustPassword where OperatorCode='002'");
  demo.Run({"drop table StoreAdjustPassword",
            "create table StoreAdjustPassword (OperatorCode varchar(20) not null primary key, PasswordHash varchar(200) not null)",
            "insert into StoreAdjustPassword values ('002', '" + hash + "')"});
  // Nothing tells them apart. Two launchers opening the older table at once both add its columns.
  const TempDatabase otherHome;
  const auto exits = testsupport::AtOnce(2, [&](int i) {
    const Ran ran = RunProgram(STOREADJUST_LAUNCHER, {"--db", demo.Path(), "--operator", "002"},
                               (i ? otherHome : home).Folder(), "demo002\n");
    return ran.Said() == SignedInWithoutScreen("操作员 002（孙七）") ? 0 : 1;
  });
  EXPECT_EQ(exits, (std::vector<int>{0, 0}));
  EXPECT_EQ(demo.Count("select count(*) from StoreAdjustPassword where OperatorGuid is null"), 1);
  EXPECT_EQ(RunProgram(STOREADJUST_DB_TOOL, {"password", demo.Path(), "002"}, home.Folder(), "sun7\n").Said(),
            "0|操作员 002 的密码已设置。\n|");
  demo.Run({"update Operators set Guid='{NEWER-002}' where Code='002'"});
  EXPECT_EQ(SignIn("002", "sun7\n"),
            "1||storeadjust: 操作员 002（孙七）还没有密码，没有登录。请先用 storeadjust-db password 为其设置密码。\n");
}

// The wait after wrong passwords is kept with the password, so starting the launcher again does
// not skip it, and a right password within it is not even checked. A last failure that lies ahead
// of the clock (set back since) locks no one out, and signing in starts the count again.
TEST_F(LauncherSignIn, TheWaitAfterWrongPasswordsHoldsAcrossLaunches) {
  const auto signIn = [&](const std::string& input) { return SignIn("002", input); };
  const std::string wrong = "1||storeadjust: 操作员 002（张三）的密码不对，没有登录。";
  EXPECT_EQ(signIn("guess-1\n"), wrong + "\n");
  EXPECT_EQ(signIn("guess-2\n"), wrong + "\n");
  EXPECT_EQ(signIn("guess-3\n"), wrong + "请等 2 秒再试。\n");
  demo.Run({"update StoreAdjustPassword set FailedTries = 9 where OperatorCode = '002'"});  // a wait of 128 s
  const std::string held = signIn("demo002\n");
  EXPECT_EQ(held.rfind("1||storeadjust: 操作员 002（张三）的密码已连续输错 9 次，这次没有核对密码，没有登录。请等 1", 0), 0u) << held;
  demo.Run({"update StoreAdjustPassword set LastFailedAt = LastFailedAt + 3600 where OperatorCode = '002'"});
  EXPECT_EQ(signIn("demo002\n"), SignedInWithoutScreen("操作员 002（张三）"));
  EXPECT_EQ(demo.Count("select FailedTries from StoreAdjustPassword where OperatorCode = '002'"), 0);
}

// Another program holding the database's write lock is said in moments, in the words for a locked
// database, and nothing is written: a file still in rollback-journal mode cannot be switched to
// its log meanwhile. A wrong password under the lock: LockedFileSignIn.
TEST_F(LauncherSignIn, ADatabaseAnotherProgramHoldsIsSaidAtOnceAndNothingIsWritten) {
  const auto started = std::chrono::steady_clock::now();
  {
    const testsupport::WriteLockHolder holder(demo.Path());
    EXPECT_EQ(SignIn("002", "demo002\n"),
              "1||storeadjust: 打不开数据库文件 " + demo.Path() + "：数据库正被其他程序使用，请稍后再试。\n");
  }
  EXPECT_FALSE(std::filesystem::exists(demo.Path() + "-wal"));
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
}

#ifdef STOREADJUST_LAUNCHER_WITH_DESKTOP
// The launcher started on Qt's offscreen platform, with what it said on `stream` (standard output or
// error) read until it has said `until`; `output` stays open on the stream until Stop.
struct OffscreenLauncher {
  pid_t pid = -1;
  int output = -1;
  std::string said;
};

OffscreenLauncher StartOffscreen(const std::vector<std::string>& args, int stream, const std::string& until) {
  const std::string launcher = STOREADJUST_LAUNCHER;
  std::vector<char*> argv{const_cast<char*>(launcher.c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  int output[2];
  if (pipe(output) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    dup2(output[1], stream);
    close(output[0]);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    execv(launcher.c_str(), argv.data());
    _exit(127);
  }
  close(output[1]);
  OffscreenLauncher started{child, output[0], {}};
  char buffer[256];
  for (ssize_t n; started.said.find(until) == std::string::npos && (n = read(output[0], buffer, sizeof buffer)) > 0;)
    started.said.append(buffer, static_cast<std::size_t>(n));
  return started;
}

void Stop(const OffscreenLauncher& launcher) {
  kill(launcher.pid, SIGKILL);
  waitpid(launcher.pid, nullptr, 0);
  close(launcher.output);
}

// A password given on the command line is gone from the process list, which every user of the
// machine reads, while the session runs; the connection string is still shown without it.
TEST_F(LauncherSignIn, APasswordOnTheCommandLineIsNotLeftInTheProcessList) {
  const std::string connStr = demo.ConnStr() + ";PWD=hush-hush";
  const OffscreenLauncher launcher =
      StartOffscreen({"--conn", connStr, "--operator", "002", "--password", "demo002"}, STDOUT_FILENO, "\n");
  ASSERT_GT(launcher.pid, 0);
  const std::string arguments = BytesOf("/proc/" + std::to_string(launcher.pid) + "/cmdline");  // the browser is open
  Stop(launcher);
  EXPECT_EQ(launcher.said, "操作员 002（张三）已登录。\n");
  EXPECT_EQ(arguments.find("demo002"), std::string::npos);
  EXPECT_EQ(arguments.find("hush"), std::string::npos);
  EXPECT_NE(arguments.find("--conn" + std::string(1, '\0') + demo.ConnStr() + '\0'), std::string::npos);
}

// Started from the desktop's menu no one reads the console: a database that cannot serve is said in
// a message box as well, which waits for the clerk, so the launcher is still up after it said why.
TEST(LauncherStartup, OnTheDesktopARefusalWaitsInAMessageBox) {
  const TempDatabase home;
  const std::string missing = (home.Folder() / "nowhere.db").string();
  const std::string refusal = "storeadjust: 数据库文件 " + missing + " 不存在。\n";
  const OffscreenLauncher launcher = StartOffscreen({"--db", missing}, STDERR_FILENO, refusal);
  ASSERT_GT(launcher.pid, 0);
  usleep(500000);
  const bool waiting = waitpid(launcher.pid, nullptr, WNOHANG) == 0;
  if (waiting) Stop(launcher);
  else close(launcher.output);
  EXPECT_NE(launcher.said.find(refusal), std::string::npos) << launcher.said;
  EXPECT_TRUE(waiting);
}
#endif

// A password held in memory never reaches a core file: Ctrl+\ at the db tool's prompt, or SIGQUIT
// to a launcher waiting in the box that refuses the password it was given, ends it without one.
TEST(Passwords, AProgramHoldingOneLeavesNoCoreDump) {
  rlimit before{};
  getrlimit(RLIMIT_CORE, &before);
  if (BytesOf("/proc/sys/fs/suid_dumpable") != "0\n" || before.rlim_max == 0) GTEST_SKIP() << "no core dumps here anyway";
  const TempDatabase demo(storeadjust::db::CreateDemoDatabase);
  rlimit dumps = before;
  dumps.rlim_cur = before.rlim_max;
  setrlimit(RLIMIT_CORE, &dumps);  // inherited by the programs started
  std::vector<int> statuses(1);
  TypedAtTerminal({"password", demo.Path(), "002"}, {"new-secret", "\x1c"}, nullptr, &statuses[0]);
#ifdef STOREADJUST_LAUNCHER_WITH_DESKTOP
  const OffscreenLauncher launcher =
      StartOffscreen({"--db", demo.Path(), "--operator", "002", "--password", "wrong"}, STDERR_FILENO, "没有登录");
  kill(launcher.pid, SIGQUIT);
  waitpid(launcher.pid, &statuses.emplace_back(), 0);
  close(launcher.output);
#endif
  setrlimit(RLIMIT_CORE, &before);
  std::filesystem::remove("core");
  for (const int status : statuses) {
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGQUIT) << status;
    EXPECT_FALSE(WCOREDUMP(status)) << status;
  }
}

// Two launchers of one clerk started at the same moment on a first run: one makes the demo
// database, the other finds it made, and both sign in to it.
TEST_F(LauncherSignIn, TwoLaunchersStartedTogetherOnAFirstRunBothSignInToOneDemoDatabase) {
  for (int round = 0; round < 3; ++round) {
    const TempDatabase first, second;  // each launcher's own folder, one data folder
    std::filesystem::create_directory(first.Folder() / "data");
    std::filesystem::create_directory_symlink(first.Folder() / "data", second.Folder() / "data");
    const auto exits = testsupport::AtOnce(2, [&](int i) {
      const Ran ran = RunProgram(STOREADJUST_LAUNCHER, {"--operator", "001"}, (i ? second : first).Folder(), "demo001\n");
      return ran.Said() == SignedInWithoutScreen("操作员 001（系统管理员）") ? 0 : 1;
    });
    EXPECT_EQ(exits, (std::vector<int>{0, 0})) << "round " << round;
  }
}

// storeadjust-db password sets a password read from standard input, for operators of Operators
// only; a module database made before the password table (or an index) existed gets it on the way.
TEST(DatabaseToolPassword, SetsKnownOperatorsPasswordsAndAddsTheTableToOlderFiles) {
  const TempDatabase home;
  const TempDatabase demo(storeadjust::db::CreateDemoDatabase);
  demo.Run({"drop table StoreAdjustPassword", "drop index ix_billgoodsplace_bill"});
  const auto tool = [&](const std::vector<std::string>& args, const std::optional<std::string>& input) {
    return RunProgram(STOREADJUST_DB_TOOL, args, home.Folder(), input);
  };
  const auto launch = [&](const std::string& code, const std::string& input) {
    return RunProgram(STOREADJUST_LAUNCHER, {"--db", demo.Path(), "--operator", code}, home.Folder(), input);
  };
  // An older file is still the module's database.
  EXPECT_EQ(launch("004", "x\n").Said(),
            "1||storeadjust: 操作员 004（王五）还没有密码，没有登录。请先用 storeadjust-db password 为其设置密码。\n");
  EXPECT_EQ(demo.Count("select count(*) from sqlite_master where name = 'ix_billgoodsplace_bill'"), 1);
  EXPECT_EQ(tool({"password", demo.Path(), "999"}, "secret\n").Said(),
            "1||storeadjust-db: 操作员编号 999 不在 Operators 表中，没有设置密码。\n");
  EXPECT_EQ(tool({"password", demo.Path(), "004"}, "\n").Said(), "1||storeadjust-db: 密码不能为空，没有设置密码。\n");
  EXPECT_EQ(demo.Count("select count(*) from StoreAdjustPassword"), 0);

  // A password the sign-in dialog could not take (input methods are off in its password box) is
  // refused before it is asked for again.
  EXPECT_EQ(tool({"password", demo.Path(), "004"}, "王五的密码\n").Said(),
            "1||storeadjust-db: 密码中有键盘不能直接打出的字符（例如汉字、全角字符）：登录对话框的密码框用不了输入法，"
            "这样的密码登录时输不进去。请只用字母、数字、空格和英文符号，没有设置密码。\n");
  const std::string password = "Wang's \"pass\" word";
  // A last line without its line end is the password all the same.
  EXPECT_EQ(tool({"password", demo.Path(), "004"}, password).Said(), "0|操作员 004 的密码已设置。\n|");
  EXPECT_EQ(demo.Value("select PasswordHash from StoreAdjustPassword where OperatorCode='004'").rfind("$argon2id$", 0), 0u);
  EXPECT_EQ(launch("004", password + "\n").Said(), SignedInWithoutScreen("操作员 004（王五）"));
  // Removed, the password signs no one in.
  EXPECT_EQ(tool({"remove-password", demo.Path(), "004"}, std::nullopt).Said(),
            "0|操作员 004 的密码已删除，他要重新设置密码后才能登录 storeadjust。\n|");
  EXPECT_EQ(launch("004", password + "\n").Said(),
            "1||storeadjust: 操作员 004（王五）还没有密码，没有登录。请先用 storeadjust-db password 为其设置密码。\n");
  // Typed without echo on a terminal, the password is typed twice: a slip in either sets nothing.
  EXPECT_EQ(TypedAtTerminal({"password", demo.Path(), "999"}, {}),
            "storeadjust-db: 操作员编号 999 不在 Operators 表中，没有设置密码。\r\n");  // not asked for first
  const std::vector<std::string> setting{"password", demo.Path(), "002"};
  EXPECT_EQ(TypedAtTerminal(setting, {"new-secret", "new-sercet"}),
            "新密码: \r\n再输一次新密码: \r\nstoreadjust-db: 两次输入的密码不一样，没有设置密码。\r\n");
  EXPECT_EQ(demo.Count("select count(*) from StoreAdjustPassword where OperatorCode='002'"), 0);
  // Ctrl+C at the prompt ends the tool with the terminal echoing again: a shell that does not put
  // the terminal back itself would otherwise take the next commands typed blind.
  bool echoing = false;
  EXPECT_EQ(TypedAtTerminal(setting, {"\x03"}, &echoing), "新密码: ");
  EXPECT_TRUE(echoing);
  EXPECT_EQ(TypedAtTerminal(setting, {"new-secret", "new-secret"}),
            "新密码: \r\n再输一次新密码: \r\n操作员 002 的密码已设置。\r\n");
  EXPECT_EQ(launch("002", "new-secret\n").Said(), SignedInWithoutScreen("操作员 002（张三）"));
  // Another program's write lock is said in moments, in the words the launcher says it with.
  {
    const testsupport::WriteLockHolder holder(demo.Path());
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(tool({"password", demo.Path(), "002"}, "other\n").Said(),
              "1||storeadjust-db: 操作员 002 的密码没有设置：数据库正被其他程序使用，请稍后再试。\n");
    EXPECT_EQ(tool({"remove-password", demo.Path(), "002"}, std::nullopt).Said(),
              "1||storeadjust-db: 操作员 002 的密码没有删除：数据库正被其他程序使用，请稍后再试。\n");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
  }
  // A file that cannot be written is said before the password is typed (the superuser, who may
  // write anything, runs the tool as another user).
  std::filesystem::permissions(demo.Path(), std::filesystem::perms(0444));
  std::filesystem::permissions(demo.Folder(), std::filesystem::perms(0555));
  const std::string readOnly = TypedAtTerminal(setting, {"other", "other"}, nullptr, nullptr, 65534);
  std::filesystem::permissions(demo.Folder(), std::filesystem::perms(0700));
  // What was typed blind may be echoed by the terminal, before the refusal or after it.
  EXPECT_EQ(readOnly.find("新密码"), std::string::npos) << readOnly;
  EXPECT_NE(readOnly.find("storeadjust-db: 操作员 002 的密码没有设置：数据库文件是只读的，请给出一个可以写的文件，或者改一下文件的权限。\r\n"),
            std::string::npos)
      << readOnly;
}

// A server's database gets its password table, or the columns an older one lacks, from the db
// tool given its ODBC connection string; here the SQLite ODBC driver stands in for the server.
TEST(DatabaseToolPassword, MakesAndBringsUpToDateTheTableOfADatabaseReachedThroughOdbc) {
  if (!std::filesystem::exists(kOdbcDriver)) GTEST_SKIP() << "no SQLite ODBC driver";
  const TempDatabase home;
  const TempDatabase demo(storeadjust::db::CreateDemoDatabase);
  const std::string odbc = "Driver=" + kOdbcDriver + ";Database=" + demo.Path() + ";Dialect=SQLite";
  const auto tool = [&](const std::string& command, const std::string& code, const std::optional<std::string>& input) {
    return RunProgram(STOREADJUST_DB_TOOL, {command, odbc, code}, home.Folder(), input).Said();
  };
  const auto launch = [&](const std::string& code, const std::string& input) {
    return RunProgram(STOREADJUST_LAUNCHER, {"--conn", odbc, "--operator", code}, home.Folder(), input).Said();
  };
  demo.Run({"drop table StoreAdjustPassword"});
  EXPECT_EQ(tool("password", "004", "wang5\n"), "0|操作员 004 的密码已设置。\n|");
  EXPECT_EQ(launch("004", "wang5\n"), SignedInWithoutScreen("操作员 004（王五）"));
  demo.Run({"drop table StoreAdjustPassword",
            "create table StoreAdjustPassword (OperatorCode varchar(20) not null primary key, PasswordHash varchar(200) not null)"});
  EXPECT_EQ(tool("remove-password", "004", std::nullopt), "1||storeadjust-db: 操作员编号 004 没有密码，没有删除什么。\n");
  EXPECT_EQ(demo.Count("select count(*) from StoreAdjustPassword where coalesce(OperatorGuid, FailedTries, LastFailedAt) is null"), 0);
  EXPECT_EQ(tool("password", "002", "zhang3\n"), "0|操作员 002 的密码已设置。\n|");
  // The wait after wrong passwords is kept in the columns added.
  for (int i = 0; i < 3; ++i) launch("002", "wrong\n");
  EXPECT_EQ(demo.Count("select FailedTries from StoreAdjustPassword where OperatorCode = '002'"), 3);
  // Another program's lock is said after the sign-in's short wait, not the driver's own.
  {
    const testsupport::WriteLockHolder holder(demo.Path());
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(RunProgram(STOREADJUST_DB_TOOL, {"password", odbc + ";Timeout=60000", "002"}, home.Folder(), "x\n").Said(),
              "1||storeadjust-db: 操作员 002 的密码没有设置：数据库正被其他程序使用，请稍后再试。\n");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
  }
  // A file is never made under the name of a connection string.
  EXPECT_EQ(RunProgram(STOREADJUST_DB_TOOL, {"empty", odbc}, home.Folder()).status, 2);
}

// ./setup.sh run puts the built launcher in the user's desktop menu, without root: a valid entry
// that starts it by its path, whatever the path holds, and
// none where an installed package already gives the menu its entry.
TEST(DesktopMenu, SetupGivesTheUserOneEntryForTheBuiltLauncher) {
  const TempDatabase home;
  const auto build = home.Folder() / "build $HOME \"1\"";
  std::filesystem::create_directories(build);
  std::ofstream(build / "storeadjust") << "";
  const auto entry = home.Folder() / ".local/share/applications/storeadjust-built.desktop";
  const auto setUp = [&](const std::string& systemData) {
    const std::string script = std::string(STOREADJUST_TEST_DATA) + "/../app/desktop/menu-entry.sh";
    return std::system(("env -u XDG_DATA_HOME HOME=" + ShellQuoted(home.Folder().string()) + " XDG_DATA_DIRS=" +
                        ShellQuoted(systemData) + " " + ShellQuoted(script) + " " + ShellQuoted((build / "storeadjust").string()) +
                        " >/dev/null").c_str());
  };
  ASSERT_EQ(setUp("/nowhere"), 0);
  EXPECT_NE(BytesOf(entry.string()).find("\nExec=\"" + home.Folder().string() + "/build \\\\$HOME \\\\\"1\\\\\"/storeadjust\"\n"),
            std::string::npos) << BytesOf(entry.string());
  if (std::system("command -v desktop-file-validate >/dev/null") == 0) {
    EXPECT_EQ(std::system(("desktop-file-validate " + ShellQuoted(entry.string())).c_str()), 0);
  }
  std::filesystem::create_directories(home.Folder() / "usr/applications");
  std::ofstream(home.Folder() / "usr/applications/storeadjust.desktop") << "";
  ASSERT_EQ(setUp("/nowhere:" + (home.Folder() / "usr").string()), 0);
  EXPECT_FALSE(std::filesystem::exists(entry));
}

// Run with no HOME (su -, a service, env -i) or a relative one, setup puts the menu entry in the
// user's home from the password database, as the launcher keeps its data there, never under the
// folder it ran in; a user the password database does not know is told why no entry was made.
// The password database is a stand-in getent, so the real home is never written.
TEST(DesktopMenu, WithoutHomeSetupsEntryGoesToTheUsersHomeNotTheFolderItRanIn) {
  const TempDatabase home;
  const auto started = home.Folder() / "started here", bin = home.Folder() / "bin";
  std::filesystem::create_directories(started);
  std::filesystem::create_directories(bin);
  std::ofstream(home.Folder() / "storeadjust") << "";
  const auto known = home.Folder() / "known";
  const auto setUp = [&](const std::string& passwd, const std::string& environment) {
    std::ofstream(bin / "getent") << "#!/bin/sh\n" << passwd << "\n";
    std::filesystem::permissions(bin / "getent", std::filesystem::perms(0755));
    const std::string script = std::string(STOREADJUST_TEST_DATA) + "/../app/desktop/menu-entry.sh";
    return RunProgram("/bin/sh", {"-c", "cd " + ShellQuoted(started.string()) + " && exec env -i PATH=" +
                                            ShellQuoted(bin.string() + ":/usr/bin:/bin") + " XDG_DATA_DIRS=/nowhere " +
                                            environment + " " + ShellQuoted(script) + " ../storeadjust"},
                      home.Folder());
  };
  const std::string user = "[ \"$1 $2\" = \"passwd $(id -u)\" ] && echo " + ShellQuoted("clerk:x:1000:1000::" + known.string() + ":/bin/sh");
  const auto entry = known / ".local/share/applications/storeadjust-built.desktop";
  for (const std::string environment : {"", "HOME=home XDG_DATA_HOME=data"}) {
    const Ran ran = setUp(user, environment);
    EXPECT_EQ(ran.status, 0) << environment << "\n" << ran.err;
    EXPECT_NE(BytesOf(entry.string()).find("\nExec=\"" + home.Folder().string() + "/storeadjust\"\n"), std::string::npos)
        << environment << "\n" << BytesOf(entry.string());
    std::filesystem::remove(entry);
  }
  EXPECT_EQ(setUp("exit 2", "").Said(),
            "1||menu-entry.sh: no data folder for the menu entry: HOME is not set and the password database gives no home "
            "for uid " + std::to_string(getuid()) + "; set XDG_DATA_HOME.\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(started), {}), 0);
}

// Installed after ./setup.sh run, the package's entry stands beside setup's own in the menu: the
// first launcher started, the installed one or the built one, removes setup's entry, and only
// where an installed entry (the package's, or one in the user's own data folder) stands.
TEST(DesktopMenu, TheLauncherRemovesSetupsEntryOnceAnInstalledEntryStandsBesideIt) {
  const TempDatabase home;
  const auto applications = home.Folder() / "data/applications", system = home.Folder() / "usr";
  std::filesystem::create_directories(applications);
  std::filesystem::create_directories(system / "applications");
  const auto setups = applications / "storeadjust-built.desktop";
  std::ofstream(setups) << "[Desktop Entry]\n";
  const auto launch = [&]() {
    return RunProgram(STOREADJUST_LAUNCHER, {"--db", (home.Folder() / "none.db").string()}, home.Folder(), std::nullopt, {},
                      "XDG_DATA_DIRS=" + ShellQuoted("/nowhere:" + system.string())).status;
  };
  EXPECT_EQ(launch(), 1);
  EXPECT_TRUE(std::filesystem::exists(setups));
  std::ofstream(system / "applications/storeadjust.desktop") << "[Desktop Entry]\n";
  EXPECT_EQ(launch(), 1);
  EXPECT_FALSE(std::filesystem::exists(setups));
  EXPECT_TRUE(std::filesystem::exists(system / "applications/storeadjust.desktop"));
  // The user's own installation (cmake --install build --prefix ~/.local) counts as well, and stays.
  std::filesystem::remove(system / "applications/storeadjust.desktop");
  std::ofstream(setups) << "[Desktop Entry]\n";
  std::ofstream(applications / "storeadjust.desktop") << "[Desktop Entry]\n";
  EXPECT_EQ(launch(), 1);
  EXPECT_FALSE(std::filesystem::exists(setups));
  EXPECT_TRUE(std::filesystem::exists(applications / "storeadjust.desktop"));
}

// A copy of setup.sh in `tree`, and stand-ins in `bin` for the programs it calls: each a shell
// script of the body given.
using StandIns = std::vector<std::pair<std::string, std::string>>;
void SetUpTree(const std::filesystem::path& tree, const std::filesystem::path& bin, const StandIns& standIns) {
  std::filesystem::create_directories(tree);
  std::filesystem::create_directories(bin);
  std::filesystem::copy_file(std::string(STOREADJUST_TEST_DATA) + "/../setup.sh", tree / "setup.sh");
  for (const auto& [name, body] : standIns) {
    std::ofstream(bin / name) << "#!/bin/sh\n" << body << "\n";
    std::filesystem::permissions(bin / name, std::filesystem::perms(0755));
  }
}

// setup.sh on a fresh machine, root and apt played by stand-ins on PATH. Run with sudo it builds
// nothing, so no file in the user's tree belongs to root. Packages no source offers (a Debian
// installed from DVD, without a network mirror) are named before apt is asked to install any.
TEST(SetupScript, RefusesToBuildAsRootAndNamesThePackagesNoSourceOffers) {
  const TempDatabase home;
  const auto tree = home.Folder() / "tree", bin = home.Folder() / "bin";
  const std::string apt = (home.Folder() / "apt.log").string();
  // The version table after a package's candidate runs on (longer here than a pipe holds): read
  // only up to the candidate, apt-cache would die of SIGPIPE and the package be taken for one no
  // source offers.
  SetUpTree(tree, bin,
            {{"id", "[ \"$1\" = -u ] && echo 0 || exec /usr/bin/id \"$@\""},
             {"sudo", "exit 99"},
             {"dpkg-query", "exit 1"},
             {"apt-get", "echo \"$*\" >>" + ShellQuoted(apt)},
             {"apt-cache", "case $2 in qt6-wayland|libsodium-dev) printf '%s:\\n  Candidate: (none)\\n' $2;; tdsodbc) ;;"
                           " *) printf '%s:\\n  Candidate: 1.0\\n' $2; seq 100000;; esac"}});
  const auto setUp = [&](const std::string& how) {
    return RunProgram("/usr/bin/env", {"PATH=" + bin.string() + ":/usr/bin:/bin", "bash", (tree / "setup.sh").string(), how},
                      home.Folder(), std::nullopt, {}, "SUDO_USER=clerk");
  };
  EXPECT_EQ(setUp("run").Said(), "1||setup.sh: './setup.sh run' is not to be run as root (sudo): the build would belong to "
            "root, and the program would\n  not reach clerk's desktop. Run it as clerk, without sudo: ./setup.sh run\n  It asks "
            "for root itself, only to install missing packages (or install them first: sudo ./setup.sh deps).\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tree), {}), 1);
  EXPECT_FALSE(std::filesystem::exists(apt));
  const Ran deps = setUp("deps");
  EXPECT_EQ(deps.status, 1);
  EXPECT_NE(deps.err.find("no package source of this machine offers them: qt6-wayland tdsodbc libsodium-dev\n"),
            std::string::npos) << deps.err;
  EXPECT_EQ(BytesOf(apt), "update -qq\n");
}

// A package the administrator holds at its version is installed: setup neither asks for root nor
// hands it to apt, which would stop on the hold wherever a newer one is offered.
TEST(SetupScript, TakesAPackageHeldAtItsVersionAsInstalled) {
  const TempDatabase home;
  const auto tree = home.Folder() / "tree", bin = home.Folder() / "bin";
  const std::string apt = (home.Folder() / "apt.log").string();
  SetUpTree(tree, bin,
            {{"id", "[ \"$1\" = -u ] && echo 1000 || exec /usr/bin/id \"$@\""},
             {"sudo", "echo \"sudo $*\" >>" + ShellQuoted(apt) + "; exit 1"},
             {"dpkg-query", "case $3 in unzip|cmake) printf 'hold ok installed';; qt6-wayland) printf 'deinstall ok config-files';;"
                            " *) printf 'install ok installed';; esac"},
             {"apt-get", "echo \"apt-get $*\" >>" + ShellQuoted(apt)},
             {"apt-cache", "printf '%s:\\n  Candidate: 1.0\\n' $2"}});
  const Ran deps = RunProgram("/usr/bin/env", {"PATH=" + bin.string() + ":/usr/bin:/bin", "bash", (tree / "setup.sh").string(), "deps"},
                              home.Folder());
  EXPECT_EQ(deps.status, 1);
  // Only the package whose files are gone is asked for.
  EXPECT_NE(deps.out.find("Installing: qt6-wayland\n"), std::string::npos) << deps.out;
  EXPECT_EQ(BytesOf(apt), "sudo apt-get update -qq\n");
}

// A tree holding setup.sh and a small project standing in for the module's, which the real cmake
// and cpack build and package in a moment; the dpkg-query on `bin` finds every package installed.
void MakeSmallTree(const std::filesystem::path& tree, const std::filesystem::path& bin) {
  SetUpTree(tree, bin, {{"dpkg-query", "printf 'install ok installed'"}});
  std::ofstream(tree / "CMakeLists.txt") << "cmake_minimum_required(VERSION 3.25)\nproject(StoreAdjust VERSION 11.0 LANGUAGES NONE)\n"
                                            "install(FILES CMakeLists.txt DESTINATION share/storeadjust)\n"
                                            "set(CPACK_GENERATOR DEB)\nset(CPACK_PACKAGE_CONTACT \"x <x@localhost>\")\n"
                                            "set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)\ninclude(CPack)\n";
}

// ./setup.sh package in the tree, run through `as` (a program that runs it as another user) if given.
Ran PackageIn(const std::filesystem::path& tree, const std::filesystem::path& bin, const std::filesystem::path& home,
              const std::vector<std::string>& as = {}) {
  std::vector<std::string> args(as.empty() ? as.begin() : as.begin() + 1, as.end());
  if (!as.empty()) args.push_back("/usr/bin/env");
  args.insert(args.end(), {"PATH=" + bin.string() + ":/usr/bin:/bin", "bash", (tree / "setup.sh").string(), "package"});
  return RunProgram(as.empty() ? "/usr/bin/env" : as.front(), args, home);
}

// A tree built once and then moved (renamed, or copied with its build folder) builds again where it
// now is: cmake itself refuses a cache made in another folder. A build folder that a run as root
// left in the user's tree (sudo ./setup.sh package) is named, with what to do, where cmake would stop
// on a cache it "Cannot open ... for write". Run by root, the test hands the tree to nobody; run by a
// user, it takes the right to write from him.
TEST(SetupScript, BuildsATreeMovedSinceItsLastBuildAndNamesABuildFolderTheUserCannotWrite) {
  const TempDatabase home;
  const auto tree = home.Folder() / "tree", moved = home.Folder() / "moved tree", bin = home.Folder() / "bin";
  MakeSmallTree(tree, bin);
  const Ran first = PackageIn(tree, bin, home.Folder());
  ASSERT_EQ(first.status, 0) << first.err;
  std::filesystem::rename(tree, moved);
  const Ran again = PackageIn(moved, bin, home.Folder());
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_NE(again.err.find("setup.sh: build/ was made for " + tree.string() + " (moved or copied since): it is made again here.\n"),
            std::string::npos) << again.err;
  EXPECT_NE(again.out.find("build/storeadjust_11.0_"), std::string::npos) << again.out;

  std::vector<std::string> as;
  if (getuid() == 0) {
    constexpr uid_t kNobody = 65534;
    for (const auto& path : {home.Folder(), moved, moved / "setup.sh", moved / "CMakeLists.txt"}) {
      ASSERT_EQ(chown(path.c_str(), kNobody, kNobody), 0) << path;
    }
    as = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
  } else {
    std::filesystem::permissions(moved / "build/CMakeCache.txt", std::filesystem::perms(0444));
    std::filesystem::permissions(moved / "build", std::filesystem::perms(0555));
  }
  const Ran refused = PackageIn(moved, bin, home.Folder(), as);
  std::filesystem::permissions(moved / "build", std::filesystem::perms(0755));
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err.find("CMake Error"), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find("/moved tree/build, which belongs to "), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find("Remove it as root (sudo rm -rf '" + (moved / "build").string() + "'), then run this command again.\n"),
            std::string::npos) << refused.err;
}

// storeadjust-db empty|demo refuse a folder or a file with content, say so in Chinese and leave
// it exactly as it was. The connection string they print names the file by its absolute path, so
// it opens the same database from any folder.
TEST(DatabaseToolCreate, RefusesAFolderOrAFileWithContentAndPrintsTheAbsolutePathOfWhatItMade) {
  const TempDatabase home;
  const std::string folder = (home.Folder() / "bills").string(), notes = (home.Folder() / "notes.txt").string();
  std::filesystem::create_directory(folder);
  std::ofstream(notes) << "keep me\n";
  for (const std::string kind : {"empty", "demo"}) {
    const Ran ran = RunProgram(STOREADJUST_DB_TOOL, {kind, folder}, home.Folder());
    EXPECT_EQ(ran.Said(), "1||storeadjust-db: " + folder + " 是目录，不是数据库文件。请在目录后面加上要建的文件名，例如 " +
                              folder + "/调拨单.db。\n");
    EXPECT_TRUE(std::filesystem::is_directory(folder)) << kind;
    EXPECT_TRUE(std::filesystem::is_empty(folder)) << kind;
    EXPECT_EQ(RunProgram(STOREADJUST_DB_TOOL, {kind, notes}, home.Folder()).Said(),
              "1||storeadjust-db: 数据库文件 " + notes + " 已经存在且有内容，没有覆盖它。请换一个新的文件名。\n");
    EXPECT_EQ(BytesOf(notes), "keep me\n");
    const auto made = home.Folder() / (kind + ".db");
    // What a build killed half-way left is cleared; a build still running keeps its file.
    const pid_t gone = fork();
    if (gone == 0) _exit(0);
    waitpid(gone, nullptr, 0);
    const std::string aside = made.string() + ".building-", live = aside + std::to_string(getpid());
    for (const std::string& left : {aside + std::to_string(gone), aside + std::to_string(gone) + "-journal", live}) {
      std::ofstream(left) << "half";
    }
    const std::string relative = std::filesystem::relative(made).string();
    ASSERT_NE(relative, made.string());
    EXPECT_EQ(RunProgram(STOREADJUST_DB_TOOL, {kind, relative}, home.Folder()).Said(),
              "0|" + storeadjust::db::EmbeddedConnectionString(made.string()) + "\n|");
    EXPECT_FALSE(std::filesystem::exists(aside + std::to_string(gone) + "-journal")) << kind;
    EXPECT_FALSE(std::filesystem::exists(aside + std::to_string(gone))) << kind;
    EXPECT_TRUE(std::filesystem::remove(live)) << kind;
  }
  // The empty one has no operators yet: the launcher and the password command say so, and where a
  // database with operators comes from, instead of asking for another code.
  const std::string empty = (home.Folder() / "empty.db").string();
  const std::string how = "请用 storeadjust-db demo 建一个带操作员的数据库，或者先在 Operators 表中加入操作员。\n";
  EXPECT_EQ(RunProgram(STOREADJUST_LAUNCHER, {"--db", empty}, home.Folder(), "x\n").Said(),
            "1||storeadjust: 数据库文件 " + empty + " 中还没有操作员（Operators 表是空的），没有登录。" + how);
  EXPECT_EQ(RunProgram(STOREADJUST_DB_TOOL, {"password", empty, "001"}, home.Folder(), "secret\n").Said(),
            "1||storeadjust-db: 数据库中还没有操作员（Operators 表是空的），没有设置密码。" + how);
}

// storeadjust-db check-templates, run as a site runs it before moving to the embedded database.
// The good template is a column list with the coefficient placeholder, which only runs inside the
// select the module puts around it, and quotes of its own; the refused one joins names with FOR
// XML. Profile values that are statements are checked too, named by their key.
TEST(DatabaseToolCheckTemplates, ListsEachRefusedTemplateWithItsReasonAndFailsUntilTheyAreGone) {
  const TempDatabase home;
  const TempDatabase db(storeadjust::db::CreateDemoDatabase);
  db.Run({"insert into GLSelect (FDH, FSQL) values ('仓库调拨单', 'a.hh as 货号, a.sl * [系数] as 数量, isnull(a.bz, ''无'') as 备注')",
          "insert into GLSelect (FDH, FSQL) values ('仓库调拨浏览1', 'select stuff((select '','' + name from gl_stock for xml "
          "path('''')), 1, 1, '''') as 仓库 where 1=1 [选择条件]')",
          "insert into t_SystemProfile (FCategory, FKey, FValue) values ('GL', 'StockReport', "
          "'  Select hh, sl From phk Where sl > @min')"});
  EXPECT_EQ(RunProgram(STOREADJUST_DB_TOOL, {"check-templates", db.Path()}, home.Folder()).Said(),
            "1|GLSelect 仓库调拨浏览1: T-SQL translator: FOR XML is not supported\n"
            "t_SystemProfile GL/StockReport: T-SQL translator: the variable @min outside a batch that declares it "
            "is not supported\n检查了 3 条已存语句，2 条不被接受。\n|");
  db.Run({"delete from GLSelect where FDH = '仓库调拨浏览1'", "delete from t_SystemProfile where FKey = 'StockReport'"});
  EXPECT_EQ(RunProgram(STOREADJUST_DB_TOOL, {"check-templates", db.Path()}, home.Folder()).Said(),
            "0|检查了 1 条已存语句，0 条不被接受。\n|");
}

// What ctest relies on: a player run without a scenario is a wrong command line, and a scenario
// with a failed check ends with status 1, its transcript with the summary.
TEST(PlayerCommandLine, AFailedCheckEndsWithStatusOneAndTheTranscriptWithASummary) {
  const TempDatabase home;
  Ran ran = RunProgram(STOREADJUST_PLAYER, {}, home.Folder());
  EXPECT_EQ(ran.status, 2) << ran.err;

  const std::string scenario = (home.Folder() / "count.scn").string();
  std::ofstream(scenario) << "database empty\nexpect sql \"select 1\" 1\nexpect sql \"select 2\" 3\n"
                             "expect sqlerror \"select 1\"\nexpect nomessage\n";
  ran = RunProgram(STOREADJUST_PLAYER, {scenario}, home.Folder());
  EXPECT_EQ(ran.status, 1);
  EXPECT_NE(ran.out.find("FAIL expect sql \"select 2\" 3 : got \"2\"\n"), std::string::npos) << ran.out;
  EXPECT_EQ(ran.out.substr(ran.out.rfind("> expect nomessage")), "> expect nomessage\nsummary: 2 checks held, 2 failed\n");
}

// The sign-in dialog's wait after failed tries: the first slips cost nothing; then each failure
// waits at least as long as the one before, never more than five minutes. The dialog's 2 seconds
// after the third: tests/qt/SignInDialogTest.cpp:RefusalsClearThePasswordAndTheFourthTryMustWait.
TEST(OperatorPassword, TheWaitAfterFailedTriesGrowsAndIsBounded) {
  int previous = 0;
  for (int failures = 0; failures < 40; ++failures) {
    const int delay = storeadjust::SignInDelaySeconds(failures);
    EXPECT_EQ(delay == 0, failures < 3) << failures;
    EXPECT_GE(delay, previous) << failures;
    EXPECT_LE(delay, 300) << failures;
    previous = delay;
  }
  EXPECT_EQ(storeadjust::SignInDelaySeconds(1000), 300);
  // Kept across launches, the wait counts from the last failure and never outgrows itself, nor
  // holds for a count a day old (a clock set back: TheWaitAfterWrongPasswordsHoldsAcrossLaunches).
  const std::int64_t now = 1'700'000'000;
  EXPECT_EQ(storeadjust::SignInWaitLeft(40, now, now), 300);
  EXPECT_EQ(storeadjust::SignInWaitLeft(40, now - 100, now), 200);
  EXPECT_EQ(storeadjust::SignInWaitLeft(40, now - 24 * 3600, now), 0);
}

}  // namespace
