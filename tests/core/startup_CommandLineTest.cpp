// The launcher and the db tool as a new user meets them: run as programs, judged by what they
// print and the status they end with. The launcher runs without a display, so a sign-in that
// succeeds ends by saying the browser cannot be shown.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>
#include <string>
#include <tuple>
#include <vector>

#include "db/DatabaseFactory.h"
#include "db/OpenFailureText.h"
#include "host/OperatorPassword.h"
#include "support/AtOnce.h"
#include "support/DatabaseFiles.h"
#include "support/TempDatabase.h"

namespace {

using testsupport::TempDatabase;

// The SQLite ODBC driver reaches the module's file as the launcher and the tool reach a server.
const std::string kSqliteOdbcDriver = "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so";

// A server nobody listens for, in the words the launcher and the tool refuse it with.
const std::string kNoServer = "连不上数据库服务器：服务器名或端口不对，服务器没有运行，或者网络不通。请检查 Server= 和 Port=，或请管理员看一下服务器。";

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

// Runs the program without a display, with XDG_DATA_HOME (where the demo database is made) in the
// given folder and the given text on standard input (none: /dev/null).
Ran RunProgram(const std::string& program, const std::vector<std::string>& args, const std::filesystem::path& home,
               const std::optional<std::string>& input = std::nullopt) {
  const std::string in = (home / "stdin.txt").string(), out = (home / "stdout.txt").string(), err = (home / "stderr.txt").string();
  if (input) std::ofstream(in) << *input;
  std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_DATA_HOME=" + ShellQuoted((home / "data").string()) + " " + ShellQuoted(program);
  for (const auto& arg : args) command += " " + ShellQuoted(arg);
  const int status = std::system((command + " <" + (input ? ShellQuoted(in) : "/dev/null") + " >" + ShellQuoted(out) +
                                  " 2>" + ShellQuoted(err)).c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, BytesOf(out), BytesOf(err)};
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
  // `ls` shows a link whose file is gone as if it were there: the link and where it leads are named.
  const std::string link = (home.Folder() / "link.db").string();
  std::filesystem::create_symlink("nowhere.db", link);
  const std::string dangling = "数据库文件 " + link + " 是符号链接，它指向的 " + missing + " 不存在";
  EXPECT_EQ(launch({"--db", link}).Said(), "1||storeadjust: " + dangling + "。\n");
  EXPECT_EQ(RunProgram(STOREADJUST_DB_TOOL, {"check-templates", link}, home.Folder()).Said(),
            "1||storeadjust-db: " + dangling + "，请检查路径；要新建一个请用 storeadjust-db empty 或 demo。\n");
  // Through a second link (there, as `ls` shows it), the file that is gone is the one named.
  const std::string outer = (home.Folder() / "outer.db").string();
  std::filesystem::create_symlink("link.db", outer);
  EXPECT_EQ(storeadjust::db::MissingFileText(outer), "数据库文件 " + outer + " 是符号链接，它指向的 " + missing + " 不存在");
  for (const auto& [date, words] : {std::pair<std::string, std::string>{"2024-02-30", "2024年2月没有30日"}, {"2024-13-01", "一年中没有13月"}}) {
    const std::string said = "storeadjust: --date " + date + "：" + words + "，请给出日历上有的日期。\n";
    EXPECT_EQ(launch({"--date", date}).err.substr(0, said.size()), said);
  }
  for (const std::string typo : {"2024--1-05", "2024-+3-05"}) {  // mistyped, not a day the calendar lacks
    const std::string said = "storeadjust: --date 要的是 YYYY-MM-DD 形式的日期，不是 " + typo + "\n";
    EXPECT_EQ(launch({"--date", typo}).err.substr(0, said.size()), said);
  }
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
  // The ODBC driver manager's refusals, said as what was tried: a source never set up, a driver
  // neither registered nor a file, a file that is not a driver.
  const std::string driverFile = kSqliteOdbcDriver + "-not-here";
  const std::string odbcIni = (home.Folder() / "odbc.ini").string();  // a user's data sources, as ~/.odbc.ini
  std::ofstream(odbcIni) << "[缺文件]\nDriver=SQLite3\nDatabase=" << missing << "\n[无文件]\nDriver=SQLite3\n";
  setenv("ODBCINI", odbcIni.c_str(), 1);
  for (const auto& [conn, words] : {std::pair<std::string, std::string>{"DSN=无此数据源", "没有设置名为 无此数据源 的 ODBC 数据源（odbcinst -q -s 列出已设置的），请检查 DSN=。"},
                                    {"Driver=NoSuchDriver", "没有登记名为 NoSuchDriver 的 ODBC 驱动程序（odbcinst -q -d 列出已登记的），请检查 Driver=。"},
                                    {"Driver=" + driverFile, "ODBC 驱动程序文件 " + driverFile + " 不存在，请检查 Driver=。"},
                                    {"Driver=" + text, text + " 不是 ODBC 驱动程序，请检查 Driver=。"},
                                    {"Provier=SQLite;Data Source=" + missing, "它既不是嵌入式数据库的 Provider=SQLite;Data Source=文件，也没有给出 ODBC 的 DSN= 或 Driver=，请检查连接字符串。"},
                                    {"Driver=" + kSqliteOdbcDriver + ";Database=" + home.Folder().string() + ";Dialect=SQLite",
                                     "SQLite ODBC 驱动程序打不开 Database= 给出的文件：它是目录或没有权限，或者文件名写在了花括号里（这个驱动程序不认花括号，文件名中有空格也不必加），请检查 Database=。"},
                                    {"Driver=" + kSqliteOdbcDriver + ";Database=" + missing + ";Dialect=SQLite",
                                     "数据库文件 " + missing + " 不存在，请检查 Database=；要新建一个请用 storeadjust-db empty 或 demo。"},
                                    {"DSN=缺文件;Dialect=SQLite", "数据库文件 " + missing + " 不存在，请检查 odbc.ini 中数据源 缺文件 的 Database=；要新建一个请用 storeadjust-db empty 或 demo。"},
                                    {"DSN=无文件;Dialect=SQLite", "连接字符串和 odbc.ini 中的数据源 无文件 都没有给出数据库文件（Database=），请写上要打开的数据库文件。"},
                                    {"Driver=FreeTDS;Server=127.0.0.1;Port=1;Database=ERP;UID=sa", kNoServer}}) {
    EXPECT_EQ(launch({"--conn", conn + ";PWD=x"}).Said(), "1||storeadjust: 打不开连接 \"" + conn + "\"：" + words + "\n");
    EXPECT_EQ(RunProgram(STOREADJUST_DB_TOOL, {"password", conn, "001"}, home.Folder(), "x\n").status, 1);
  }
  EXPECT_FALSE(std::filesystem::exists(missing));  // the SQLite ODBC driver would have made it empty
  unsetenv("ODBCINI");
  // The dialect's functions named where they are not, or by a file that is not them. The SQLite
  // ODBC driver keeps the message of an extension it could not load: under the sanitizers the
  // suppression naming the driver needs the launcher's full stacks to find it, and says nothing.
  const std::string withDialect = "Driver=" + kSqliteOdbcDriver + ";Database=" + text + ";Dialect=SQLite";
  std::vector<std::pair<const char*, std::string>> sanitizers;
  for (const auto& [name, more] : {std::pair{"ASAN_OPTIONS", ":fast_unwind_on_malloc=0"}, {"LSAN_OPTIONS", ":print_suppressions=0"}}) {
    if (const char* options = std::getenv(name)) {
      sanitizers.emplace_back(name, options);
      setenv(name, (sanitizers.back().second + more).c_str(), 1);
    }
  }
  for (const auto& [ext, words] : {std::pair<std::string, std::string>{missing, "环境变量 STOREADJUST_TSQL_EXT 给出的 SQLite 的 T-SQL 函数库 " + missing +
                                   " 不存在，请改正它，或者去掉它而用随程序安装的函数库。"}, {text, "SQLite ODBC 驱动程序没有载入 SQLite 的 T-SQL 函数库 " + text +
                                   "：它不是这个函数库，或者已损坏。请重新安装程序，或者改正环境变量 STOREADJUST_TSQL_EXT。"}}) {
    setenv("STOREADJUST_TSQL_EXT", ext.c_str(), 1);
    // Alone: the driver's own English line for an extension it could not load does not come first.
    EXPECT_EQ(launch({"--conn", withDialect}).err, "storeadjust: 打不开连接 \"" + withDialect + "\"：" + words + "\n");
  }
  unsetenv("STOREADJUST_TSQL_EXT");
  for (const auto& [name, options] : sanitizers) setenv(name, options.c_str(), 1);
  // A path the system cannot look at, such as a link to itself, is refused in words, not by a crash.
  const std::string loop = (home.Folder() / "loop.db").string();
  std::filesystem::create_symlink(loop, loop);
  const std::string cannot = "打不开数据库文件 " + loop + "：路径不存在、是目录或没有权限，请检查路径和文件的权限。\n";
  EXPECT_EQ(launch({"--db", loop}).Said(), "1||storeadjust: " + cannot);
  for (const auto& args : {std::vector<std::string>{"check-templates", loop}, {"password", loop, "001"}}) {
    EXPECT_EQ(RunProgram(STOREADJUST_DB_TOOL, args, home.Folder()).Said(), "1||storeadjust-db: " + cannot) << args[0];
  }
  // A file that may be written, in a folder that may not (a read-only mount, the file bound back
  // writable, in a mount namespace of its own): the folder is named, not the file's permissions.
  const TempDatabase writable(storeadjust::db::CreateDemoDatabase);
  const auto locked = home.Folder() / "locked";
  std::filesystem::create_directory(locked);
  std::ofstream(locked / "x.db") << "";
  const Ran folderRefused = RunProgram("unshare", {"-m", "sh", "-c", "mount --bind \"$0\" \"$0\" && mount -o remount,ro,bind \"$0\" && "
      "mount --bind \"$1\" \"$0/x.db\" && exec \"$2\" --db \"$0/x.db\"", locked.string(), writable.Path(), STOREADJUST_LAUNCHER}, home.Folder());
  if (folderRefused.err.find("mount") == std::string::npos) {
    EXPECT_EQ(folderRefused.Said(), "1||storeadjust: 打不开数据库文件 " + (locked / "x.db").string() + "：文件所在的目录 " + locked.string() +
              " 不能写：数据库要在文件旁边写它的日志文件。请给这个目录写权限，或者把文件放到可以写的目录中。\n");
  }
  // Another user's file, which this one may not read, is said so with its owner (run as nobody).
  const auto theirs = home.Folder() / "theirs.db";
  std::ofstream(theirs) << "root's alone\n";
  std::filesystem::permissions(theirs, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  std::filesystem::permissions(home.Folder(), std::filesystem::perms::others_exec, std::filesystem::perm_options::add);
  const Ran asNobody = RunProgram("setpriv", {"--reuid=nobody", "--regid=nogroup", "--clear-groups", STOREADJUST_LAUNCHER,
                                              "--db", theirs.string()}, home.Folder());
  if (geteuid() == 0 && asNobody.status == 1) {  // else nobody may not start the launcher where it was built
    EXPECT_EQ(asNobody.Said(), "1||storeadjust: 打不开数据库文件 " + theirs.string() +
                                   "：用户 nobody 没有读这个文件的权限（文件属于 root），请管理员给这个用户读写它的权限。\n");
  }
  // A data folder the demo database cannot be made in is named, in Chinese.
  std::ofstream(home.Folder() / "data") << "a file where the data folder goes\n";
  const std::string data = (home.Folder() / "data" / "storeadjust").string();
  EXPECT_EQ(launch({}).Said(), "1||storeadjust: 建不成演示数据库 " + data + "/demo.db：建不了目录 " + data +
                                   "（路径中有同名的文件，不是目录）。请用 XDG_DATA_HOME 指定另一个数据目录，或用 --db 给出数据库文件。\n");
  // Nor can it on a full disk: a 200 KB tmpfs over the data folder, in a mount namespace of its own.
  std::filesystem::remove(home.Folder() / "data");
  std::filesystem::create_directory(home.Folder() / "data");
  const Ran full = RunProgram("unshare", {"-m", "sh", "-c", "mount -t tmpfs -o size=200k tmpfs \"$0\" && exec \"$1\"",
                                          (home.Folder() / "data").string(), STOREADJUST_LAUNCHER}, home.Folder());
  if (full.err.find("mount") != std::string::npos) GTEST_SKIP() << "no private mount here: " << full.err;
  EXPECT_EQ(full.Said(), "1||storeadjust: 建不成演示数据库 " + data + "/demo.db：磁盘已满，写不进去，请腾出磁盘空间后再试。\n");
}

// A server's refusals of the login, as its ODBC drivers word them, said in Chinese.
TEST(LauncherStartup, AServersRefusalOfTheLoginIsSaidInChinese) {
  const std::string conn = "Driver=FreeTDS;Server=erp;Database=ERP;UID=sa";
  for (const auto& [text, words] : {std::pair<std::string, std::string>{"[FreeTDS][SQL Server]Login failed for user 'sa'.",
                                     "服务器拒绝了登录：用户名或密码不对，或者这个登录已停用。请检查 UID= 和 PWD=。"},
                                    {"[Microsoft][ODBC Driver 18 for SQL Server][SQL Server]Cannot open database \"ERP\" requested by the login. The login failed.",
                                     "服务器上没有 Database= 给出的数据库，或者这个登录没有打开它的权限。请检查 Database=。"},
                                    {"[Microsoft][ODBC Driver 18 for SQL Server]Login timeout expired", kNoServer}}) {
    EXPECT_EQ(storeadjust::db::OdbcOpenFailureText(text, conn).value_or(text), words);
  }
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
      {"002", "demo001\n", "操作员 002（张三）" + wrong},  // another operator's password
      {"002", " demo002 \n", "操作员 002（张三）" + wrong + "（注意：输入的密码首尾有空格。）"}};
  for (const auto& [code, input, words] : refusals) {
    EXPECT_EQ(SignIn(code, input), "1||storeadjust: " + words + "\n") << input.value_or("(no input)");
  }
  // The name is the table's, whatever an old command line still says.
  EXPECT_EQ(SignIn("005", "demo005\r\n", {"--operator-name", "系统管理员"}), SignedInWithoutScreen("操作员 005（赵六）"));
  EXPECT_EQ(SignIn("002", std::nullopt, {"--password", "demo002"}), SignedInWithoutScreen("操作员 002（张三）"));
  // A code found as the server compares text is taken as Operators spells it, as serials begin with it.
  EXPECT_EQ(SignIn("002 ", "demo002\n"), SignedInWithoutScreen("操作员 002（张三）"));
  EXPECT_EQ(SignIn(" 002", "demo002\n"), SignedInWithoutScreen("操作员 002（张三）"));  // blanks around it, as the dialog drops them
  // An input method left in full-width mode: the server takes ００２ for 002, and so does the sign-in.
  EXPECT_EQ(SignIn("\u3000００２", "demo002\n"), SignedInWithoutScreen("操作员 002（张三）"));
  EXPECT_EQ(SignIn("００２", "wrong\n"), "1||storeadjust: 操作员 002（张三）" + wrong + "\n");
  // A server's database has no password table until the tool sets a first password there.
  if (std::filesystem::exists(kSqliteOdbcDriver)) {
    demo.Run({"drop table StoreAdjustPassword"});
    const std::string odbc = "Driver=" + kSqliteOdbcDriver + ";Database=" + demo.Path() + ";Dialect=SQLite";
    EXPECT_EQ(RunProgram(STOREADJUST_LAUNCHER, {"--conn", odbc}, home.Folder(), "demo001\n").Said(),
              "1||storeadjust: 连接 \"" + odbc + "\" 中还没有密码表 StoreAdjustPassword，没有登录。请管理员先用 storeadjust-db "
              "password 连接字符串 操作员编号 为操作员设置密码，同时建这个表。\n");
  }
}

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
#endif

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
    // Made for the user alone: it holds the operators' password hashes.
    EXPECT_EQ(std::filesystem::status(first.Folder() / "data" / "storeadjust").permissions(), std::filesystem::perms::owner_all);
  }
}

#ifdef STOREADJUST_LAUNCHER_WITH_DESKTOP
// An X server that answers but refuses the user (su to another user on someone's desktop) is told
// apart from a display that is gone: here one that refuses every connection's authorisation.
TEST_F(LauncherSignIn, AnXServerThatRefusesTheUserIsNotSaidToBeGone) {
  const std::string display = ":" + std::to_string(600 + getpid() % 300), socketName = "/tmp/.X11-unix/X" + display.substr(1);
  sockaddr_un address{};  // where X clients on Linux look first: the abstract name, no file
  address.sun_family = AF_UNIX;
  socketName.copy(address.sun_path + 1, socketName.size());
  const int server = socket(AF_UNIX, SOCK_STREAM, 0);
  const socklen_t size = static_cast<socklen_t>(sizeof address.sun_family + 1 + socketName.size());
  ASSERT_EQ(bind(server, reinterpret_cast<sockaddr*>(&address), size), 0) << display << " in use";
  listen(server, 4);
  std::thread refuser([server] {
    for (int client; (client = accept(server, nullptr, nullptr)) >= 0; close(client)) {
      char request[512], failed[16] = {0, 8, 11, 0, 0, 0, 2, 0, 'r', 'e', 'f', 'u', 's', 'e', 'd', '.'};
      if (recv(client, request, sizeof request, 0) > 0) send(client, failed, sizeof failed, MSG_NOSIGNAL);
    }
  });
  const Ran ran = RunProgram("/usr/bin/env", {"DISPLAY=" + display, STOREADJUST_LAUNCHER, "--db", demo.Path()},
                             home.Folder(), "demo001\n");
  shutdown(server, SHUT_RDWR);
  refuser.join();
  close(server);
  EXPECT_EQ(ran.err.substr(ran.err.find("storeadjust: ")), "storeadjust: X 显示 " + display + " 的 X 服务器拒绝了连接：这个用户没有该显示的授权（例如用 su 或 sudo "
                     "换成了别的用户），打不开单据浏览窗口。请以桌面登录的用户运行 storeadjust。\n") << ran.Said();
}
#endif

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
  EXPECT_EQ(tool({"password", demo.Path(), " "}, "secret\n").err.substr(0, 44), "storeadjust-db: 缺少操作员编号\n用法");
  EXPECT_EQ(demo.Count("select count(*) from StoreAdjustPassword"), 0);

  // A password the sign-in dialog could not take (input methods are off in its password box) is
  // refused before it is asked for again.
  EXPECT_EQ(tool({"password", demo.Path(), "004"}, "王五的密码\n").Said(),
            "1||storeadjust-db: 密码中有键盘不能直接打出的字符（例如汉字、全角字符）：登录对话框的密码框用不了输入法，"
            "这样的密码登录时输不进去。请只用字母、数字、空格和英文符号，没有设置密码。\n");
  const std::string password = "Wang's \"pass\" word";
  // A last line without its line end is the password all the same; the file's triggers are
  // brought up to date on the way, as the launcher brings them.
  const std::string trigger = "select count(*) from sqlite_master where name = 'ckdbdzkmx_sl_declared_scale_on_update'";
  demo.Run({"drop trigger ckdbdzkmx_sl_declared_scale_on_update"});
  EXPECT_EQ(tool({"password", demo.Path(), "004"}, password).Said(), "0|操作员 004 的密码已设置。\n|");
  EXPECT_EQ(demo.Count(trigger), 1);
  EXPECT_EQ(demo.Value("select PasswordHash from StoreAdjustPassword where OperatorCode='004'").rfind("$argon2id$", 0), 0u);
  EXPECT_EQ(launch("004", password + "\n").Said(), SignedInWithoutScreen("操作员 004（王五）"));
  // Removed, the password signs no one in.
  EXPECT_EQ(tool({"remove-password", demo.Path(), "004"}, std::nullopt).Said(),
            "0|操作员 004 的密码已删除，他要重新设置密码后才能登录 storeadjust。\n|");
  EXPECT_EQ(launch("004", password + "\n").Said(),
            "1||storeadjust: 操作员 004（王五）还没有密码，没有登录。请先用 storeadjust-db password 为其设置密码。\n");
  // The module's file through the SQLite ODBC driver is read with the dialect: without it, that is said.
  if (std::filesystem::exists(kSqliteOdbcDriver)) {
    const std::string odbc = "Driver=" + kSqliteOdbcDriver + ";Database=" + demo.Path();
    EXPECT_EQ(tool({"remove-password", odbc + ";PWD=it's", "004"}, std::nullopt).Said(), "1||storeadjust-db: 连接 \"" + odbc +
              "\" 是本模块的 SQLite 数据库文件，经 ODBC 连接时请在连接字符串中加上 Dialect=SQLite，或者直接给出文件名。\n");
  }
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
}

// A file made before the triggers that hold dates and decimals in their stored form, or with an
// older body of one, gets the schema's own at its first opening, and what it stored meanwhile is
// held as the triggers hold new values.
TEST(LauncherOlderFile, GetsTheStoredFormTriggersAndItsValuesAreHeldAsNewOnes) {
  const TempDatabase home, demo(storeadjust::db::CreateDemoDatabase);
  const auto raw = [&](const std::string& sql) {  // as an older program wrote and reads the file
    sqlite3* db = nullptr;
    sqlite3_stmt* statement = nullptr;
    sqlite3_open(demo.Path().c_str(), &db);
    sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
    std::string value = sqlite3_step(statement) == SQLITE_ROW ? reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)) : "";
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return value;
  };
  const std::string triggers = "select count(*) || ' ' || total(length(name || sql)) from sqlite_master where type = 'trigger'";
  const std::string made = raw(triggers);
  for (std::string name; !(name = raw("select name from sqlite_master where type = 'trigger'")).empty();) raw("drop trigger " + name);
  raw("create trigger ckdbdzkmx_sl_declared_scale_on_update after update of sl on ckdbdzkmx begin select 1; end");
  raw("update ckdbdzkmx set sl = 1.23456, je = 2.000049 where rowid = 1");
  raw("update ckdbdzk set kdrq = '20240305' where rowid = 1");
  raw("update ckdbdzkmx set srsl = 1e15 where rowid = 2");  // beyond decimal(18,4): kept and named, the file still opens
  raw("update ckdbdzkmx set srsl = 1.23456 where rowid = 1");  // held all the same
  // On a read-only mount (a namespace of its own) the file opens as it did, unwritten.
  const auto launch = [&](const std::string& mount) {
    return RunProgram("unshare", {"-m", "sh", "-c", mount + "exec \"$@\"", demo.Folder().string(), STOREADJUST_LAUNCHER, "--db",
                                  demo.Path(), "--operator", "004"}, home.Folder(), "x\n").Said();
  };
  const std::string bytes = BytesOf(demo.Path()), noPassword = "1||storeadjust: 操作员 004（王五）还没有密码，没有登录。请先用 storeadjust-db password 为其设置密码。\n";
  EXPECT_EQ(launch("mount --bind \"$0\" \"$0\" && mount -o remount,ro,bind \"$0\" && "), noPassword);
  EXPECT_EQ(BytesOf(demo.Path()), bytes);
  EXPECT_EQ(launch(""), "1||storeadjust: 注意：ckdbdzkmx 表 rowid 为 2 的行，srsl 的值 1000000000000000 超出了 decimal(18,4) 的范围，"
                       "没有改动，请改正它。\n" + noPassword.substr(3));
  EXPECT_EQ(raw(triggers), made);
  EXPECT_EQ(raw("select srsl from ckdbdzkmx where rowid = 1"), "1.2346");
  EXPECT_EQ(raw("select sl || ' ' || je from ckdbdzkmx where rowid = 1"), "1.2346 2");
  EXPECT_EQ(raw("select kdrq from ckdbdzk where rowid = 1"), "2024-03-05 00:00:00");
}

// The desktop cannot start a program from a path holding % (GLib looks for it before it reads %%
// as %): no entry is made for one, and an older entry goes, rather than a menu item that does nothing.
TEST(MenuEntry, APathHoldingAPercentGetsNoEntryAndIsSaidSo) {
  const TempDatabase home;
  const auto launcher = home.Folder() / "100%" / "storeadjust", entry = home.Folder() / "data/applications/storeadjust-built.desktop";
  std::filesystem::create_directories(launcher.parent_path());
  std::filesystem::create_directories(entry.parent_path());
  std::ofstream(launcher) << "#!/bin/sh\n";
  std::ofstream(entry) << "[Desktop Entry]\n";
  const Ran ran = RunProgram("env", {"XDG_DATA_DIRS=/nowhere", STOREADJUST_TEST_DATA "/../app/desktop/menu-entry.sh", launcher.string()}, home.Folder());
  EXPECT_EQ(ran.Said(), "1||menu-entry.sh: " + launcher.string() + " holds a %, and the desktop cannot start a program from such a path: no menu "
            "entry was made. Put the folder under a name without % to have one.\n");
  EXPECT_FALSE(std::filesystem::exists(entry));
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
  const std::string gone = (home.Folder() / "gone").string();
  EXPECT_EQ(RunProgram(STOREADJUST_DB_TOOL, {"demo", gone + "/x.db"}, home.Folder()).Said(),
            "1||storeadjust-db: 目录 " + gone + " 不存在，没有建数据库文件 " + gone + "/x.db。请先建这个目录，或换一个路径。\n");
  // The connection string printed, passed back as it was, names the file it made, never a file named after it.
  const std::string printed = storeadjust::db::EmbeddedConnectionString((home.Folder() / "again.db").string());
  EXPECT_EQ(RunProgram(STOREADJUST_DB_TOOL, {"demo", printed}, home.Folder()).Said(), "0|" + printed + "\n|");
  EXPECT_EQ(RunProgram(STOREADJUST_DB_TOOL, {"password", printed, "004"}, home.Folder(), "pw\n").Said(), "0|操作员 004 的密码已设置。\n|");
  EXPECT_EQ(RunProgram(STOREADJUST_DB_TOOL, {"empty", "Provider=SQLite;Data Source="}, home.Folder()).status, 2);
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
  sqlite3* other = nullptr;  // a file another program keeps in rollback-journal mode: a check leaves its bytes
  sqlite3_open(db.Path().c_str(), &other);
  sqlite3_exec(other, "pragma journal_mode=delete", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  const std::string bytes = BytesOf(db.Path());
  EXPECT_EQ(RunProgram(STOREADJUST_DB_TOOL, {"check-templates", db.Path()}, home.Folder()).Said(),
            "1|GLSelect 仓库调拨浏览1: T-SQL translator: FOR XML is not supported\n"
            "t_SystemProfile GL/StockReport: T-SQL translator: the variable @min outside a batch that declares it "
            "is not supported\n检查了 3 条已存语句，2 条不被接受。\n|");
  EXPECT_EQ(BytesOf(db.Path()), bytes);
  db.Run({"delete from GLSelect where FDH = '仓库调拨浏览1'", "delete from t_SystemProfile where FKey = 'StockReport'"});
  EXPECT_EQ(RunProgram(STOREADJUST_DB_TOOL, {"check-templates", db.Path()}, home.Folder()).Said(),
            "0|检查了 1 条已存语句，0 条不被接受。\n|");
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
