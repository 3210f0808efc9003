// storeadjust-db: makes an embedded database for the transfer-bill module, checks one, or sets an
// operator's sign-in password in one or in a server's database. The usage text (UsageText) says
// what each command does.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "adodb/Backend.h"
#include "adodb/Connection.h"
#include "adodb/ConnectionString.h"
#include "adodb/Error.h"
#include "adodb/TextCompare.h"
#include "db/DatabaseFactory.h"
#include "db/OpenFailureText.h"
#include "db/PasswordTable.h"
#include "db/Schema.h"
#include "db/SchemaCheck.h"
#include "host/HiddenTerminalInput.h"
#include "host/OperatorPassword.h"
#include "host/TemplateCheck.h"

namespace {

const char* UsageText() {
  return "用法: storeadjust-db 命令 文件 [操作员编号]\n"
         "仓库调拨单模块的嵌入式 (SQLite) 数据库工具。\n"
         "\n"
         "命令:\n"
         "  empty 文件               建一个空数据库：所有的表，没有数据\n"
         "  demo 文件                建演示数据库：仓库、商品、库存、操作员、单据和演示密码\n"
         "  check-templates 文件     列出翻译器不接受的已存语句；全部接受时状态为 0，否则为 1\n"
         "  password 文件 操作员编号  设置该操作员登录 storeadjust 的密码，密码从标准输入读第一行；\n"
         "                           在终端上输入时不回显，要输两次。操作员编号必须在 Operators 表中；\n"
         "                           密码只能用键盘直接打出的字母、数字、空格和符号（登录对话框的密码框用不了输入法）\n"
         "  remove-password 文件 操作员编号\n"
         "                           删除该操作员的密码，他要重新设置密码后才能登录 storeadjust\n"
         "  --help                   显示这段说明\n"
         "\n"
         "password 和 remove-password 的文件也可以是 ODBC 连接字符串（例如 SQL Server 的 \"DSN=ERP;UID=...;PWD=...\"）：\n"
         "这时密码设在该数据库中；它还没有密码表 StoreAdjustPassword 或缺少其中的列时，先建表或加列。\n"
         "\n"
         "已有内容的文件不会被 empty 或 demo 覆盖。成功时 empty 和 demo 打印连接字符串（storeadjust --conn 用它；\n"
         "这里的命令也接受它，当作它所指的文件）。\n"
         "例:\n"
         "  storeadjust-db demo ~/调拨单.db\n"
         "  storeadjust-db password ~/调拨单.db 002          （在终端上输入密码，不回显）\n"
         "  storeadjust-db password ~/调拨单.db 002 < 文件   （脚本：密码是文件的第一行；写在命令行上的\n"
         "                                                  echo 密码 | … 会留在 shell 的历史记录中）\n"
         "  storeadjust-db password \"DSN=ERP;UID=sa\" 002\n";
}

bool IsCommand(const std::string& word) {
  return word == "empty" || word == "demo" || word == "check-templates" || word == "password" ||
         word == "remove-password";
}

bool IsHelpOption(const std::string& word) { return word == "--help" || word == "-h"; }

// A server's database is reached through ODBC, named as the launcher's --conn names it.
bool IsOdbcConnection(const std::string& target) {
  const adodb::ConnectionString parsed(target);
  return parsed.Has("Driver") || parsed.Has("DSN");
}

bool IsPasswordCommand(const std::string& word) { return word == "password" || word == "remove-password"; }

// The tool prints what it made as the embedded connection string the launcher's --conn takes, and
// an administrator passes it back as it was printed: it names its file, never a file to be named
// after the string.
std::string TargetFile(const std::string& target) { return adodb::EmbeddedDatabaseFile(target).value_or(target); }

std::string WithoutPassword(const std::string& connection) {
  return adodb::ConnectionString(adodb::ConnectionString(connection).Without("PWD")).Without("Password");
}

// What is wrong with the command line, in one line for the user; empty when it can run. A word
// after the command that begins with "-" is an option mistyped, not a file to make or open.
std::string CommandLineError(const std::vector<std::string>& args) {
  if (args.empty()) return "缺少命令";
  if (!IsCommand(args[0])) return "不认识的命令 " + args[0];
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[0] == "password" && i > 2) break;  // after the code: said below, without its words
    if (!args[i].empty() && args[i][0] == '-') {
      return "不认识的选项 " + args[i] + "（以 - 开头的文件名请写成 ./" + args[i] + "）";
    }
  }
  if (args.size() < 2 || TargetFile(args[1]).empty()) return "缺少文件";
  // A file named after a connection string is not what the administrator meant to make.
  if (!IsPasswordCommand(args[0]) && IsOdbcConnection(args[1])) return args[0] + " 只用于嵌入式数据库文件，不接受 ODBC 连接字符串";
  const std::size_t wanted = IsPasswordCommand(args[0]) ? 3 : 2;
  // A blank code ('' from a script's empty variable) names no operator: it was not given.
  if (args.size() < wanted || (wanted == 3 && adodb::Trimmed(args[2]).empty())) return "缺少操作员编号";
  // A word after the operator code is most likely his password: it is not repeated on the console.
  if (args.size() > wanted && args[0] == "password") {
    return "多余的参数（它可能是密码，所以不显示）：password 只要文件和一个操作员编号，密码在提示时输入，或从标准输入给出";
  }
  if (args.size() > wanted) return "多余的参数 " + args[wanted];
  return {};
}

int Usage(const std::string& error) {
  std::cerr << "storeadjust-db: " << error << "\n" << UsageText();
  return 2;
}

// Opening a missing file would create an empty database and report nothing useful. A path that
// cannot be looked at (a link that loops, a name too long) is left for the open to refuse.
std::shared_ptr<adodb::Connection> OpenExisting(const std::string& path, bool readOnly = false) {
  if (const auto missing = storeadjust::db::MissingFileText(path)) {
    throw adodb::Error::Provider(*missing + "，请检查路径；要新建一个请用 storeadjust-db empty 或 demo。");
  }
  auto conn = std::make_shared<adodb::Connection>();
  conn->Open(storeadjust::db::EmbeddedConnectionString(path) + (readOnly ? ";Mode=Read" : ""));
  return conn;
}

int CheckTemplates(const std::string& path) {
  storeadjust::db::RequireModuleSchemaInFile(path);  // a check writes nothing, not even the journal mode
  auto conn = OpenExisting(path, true);
  const storeadjust::TemplateCheck check = storeadjust::CheckTemplates(storeadjust::ReadStoredTemplates(*conn));
  for (const storeadjust::TemplateRefusal& refusal : check.refused)
    std::cout << refusal.origin << ": " << refusal.reason << "\n";
  std::cout << "检查了 " << check.checked << " 条已存语句，" << check.refused.size() << " 条不被接受。\n";
  return check.refused.empty() ? 0 : 1;
}

// Typed without echo, a slip would go unseen and leave the operator a password no one knows: on
// a terminal it is typed twice, and two that differ set nothing.
std::string ReadPassword() {
  if (!storeadjust::StandardInputIsTerminal()) return storeadjust::PasswordFromInput(std::cin).value_or("");
  std::string password = storeadjust::ReadHiddenLine("新密码: ");
  // Refused as empty or untypeable without a second prompt.
  if (password.empty() || !storeadjust::UntypeablePasswordRefusal(password).empty()) return password;
  if (storeadjust::ReadHiddenLine("再输一次新密码: ") != password) {
    throw adodb::Error::Provider("两次输入的密码不一样，没有设置密码。");
  }
  return password;
}

// The module's database for the password commands, waiting only a moment for another program's
// write lock: the tool is told at once that the database is in use, not after half a minute.
std::shared_ptr<adodb::Connection> OpenForPasswords(const std::string& path) {
  std::shared_ptr<adodb::Connection> conn;
  if (IsOdbcConnection(path)) {
    if (const auto missing = storeadjust::db::MissingOdbcFileText(path)) {
      throw adodb::Error::Provider("打不开连接 \"" + WithoutPassword(path) + "\"：" + *missing);
    }
    conn = std::make_shared<adodb::Connection>();
    conn->Open(adodb::WithLockWaitAtConnect(path, storeadjust::kPasswordLockWaitMs));
  } else {
    storeadjust::db::RequireModuleSchemaInFile(path);  // before opening, which would switch the journal
    conn = OpenExisting(path);
  }
  conn->SetLockWaitLimit(storeadjust::kPasswordLockWaitMs);
  return conn;
}

// A server's database gets the password table, or the columns it lacks, here: the launcher leaves
// a server's tables as they are. A file an older version made is brought up to date as the
// launcher brings it, in a transaction of its own that ends before the password is typed: no
// transaction waits on a person at the terminal.
void PreparePasswordTable(adodb::Connection& conn, const std::string& path) {
  if (!IsOdbcConnection(path)) storeadjust::db::RequireModuleSchema(conn, path);
  storeadjust::db::EnsurePasswordTable(conn);
  if (IsOdbcConnection(path)) return;
  for (const std::string& value : storeadjust::db::EnsureStoredFormTriggers(conn)) std::cerr << "storeadjust-db: 注意：" << value << "\n";
}

// The database opened but could not be written (read-only, or held by another program): said as
// what was not done and why, not as a file that could not be opened.
template <typename Work>
int RefusedOnceOpen(const std::string& notDone, Work work) {
  try {
    return work();
  } catch (const adodb::Error& error) {
    const auto hindrance = error.GetHindrance();
    if (hindrance == adodb::Error::Hindrance::None) throw;
    // A server's words for its lock wait are its own; the embedded database's are SQLite's.
    const auto why = storeadjust::db::OpenFailureText(
        hindrance == adodb::Error::Hindrance::LockedByOthers ? "database is locked" : error.Description(), {});
    if (!why) throw;
    // One write: a terminal echoing what was typed blind meanwhile cannot split the line.
    std::cerr << ("storeadjust-db: " + notDone + "：" + *why + "\n");
    return 1;
  }
}

int SetPassword(const std::string& path, const std::string& code) {
  auto conn = OpenForPasswords(path);
  return RefusedOnceOpen("操作员 " + code + " 的密码没有设置", [&] {
    PreparePasswordTable(*conn, path);
    storeadjust::RequireOperator(*conn, code);  // before the password is typed, twice, for no one
    // Nor for a file it cannot be written to: a write that changes no row still asks for the write
    // lock, which a read-only file (or a server login that may only read) refuses.
    conn->Execute(std::string("Delete From ") + storeadjust::db::kPasswordTable + " Where 1 = 0");
    storeadjust::SetOperatorPassword(*conn, code, ReadPassword());
    std::cout << "操作员 " << code << " 的密码已设置。\n";
    return 0;
  });
}

// A code that has no password is said as such (status 1): most likely it was mistyped.
int RemovePassword(const std::string& path, const std::string& code) {
  auto conn = OpenForPasswords(path);
  return RefusedOnceOpen("操作员 " + code + " 的密码没有删除", [&] {
    PreparePasswordTable(*conn, path);
    if (!storeadjust::RemoveOperatorPassword(*conn, code)) {
      std::cerr << "storeadjust-db: 操作员编号 " << code << " 没有密码，没有删除什么。\n";
      return 1;
    }
    std::cout << "操作员 " << code << " 的密码已删除，他要重新设置密码后才能登录 storeadjust。\n";
    return 0;
  });
}

// SQLite's words for a file it could not open say in Chinese what to do; the tool's own refusals
// are already in Chinese.
int Refused(const adodb::Error& error, const std::string& path) {
  const std::string text = error.Description();
  if (IsOdbcConnection(path)) {
    // The module's own file through the SQLite ODBC driver without the dialect: its text columns
    // compare by the dialect's collation, whose name alone the driver reports.
    const bool withoutDialect = text.find("no such collation sequence: TSQL") != std::string::npos;
    if (const auto words = storeadjust::db::OdbcOpenFailureText(text, path)) {
      std::cerr << "storeadjust-db: 打不开连接 \"" + WithoutPassword(path) + "\"：" + *words + "\n";
      return 1;
    }
    std::cerr << "storeadjust-db: "
              << (withoutDialect ? "连接 \"" + WithoutPassword(path) +
                                       "\" 是本模块的 SQLite 数据库文件，经 ODBC 连接时请在连接字符串中加上 Dialect=SQLite，或者直接给出文件名。"
                                 : text)
              << "\n";
    return 1;
  }
  const auto words = storeadjust::db::OpenFailureText(text, path);
  std::cerr << "storeadjust-db: " << (words ? "打不开数据库文件 " + path + "：" + *words : text) << "\n";
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  storeadjust::KeepSecretsOutOfCoreDumps();  // the password of the password command
  const std::vector<std::string> args(argv + 1, argv + argc);
  // Help asked for anywhere, also after a command (storeadjust-db demo --help), is help: never a
  // database made under the name "--help".
  if (std::any_of(args.begin(), args.end(), [](const std::string& arg) { return IsHelpOption(arg); })) {
    std::cout << UsageText();
    return 0;
  }
  if (const std::string error = CommandLineError(args); !error.empty()) return Usage(error);
  // The server's password in a connection string is not left in the process list while the
  // password is typed.
  if (IsOdbcConnection(args[1])) {
    const std::string shown = WithoutPassword(args[1]);
    std::memset(argv[2], 0, args[1].size());
    std::memcpy(argv[2], shown.data(), std::min(args[1].size(), shown.size()));
  }
  const std::string& kind = args[0];
  const std::string path = TargetFile(args[1]);
  try {
    if (kind == "password") return SetPassword(path, args[2]);
    if (kind == "remove-password") return RemovePassword(path, args[2]);
    if (kind == "check-templates") return CheckTemplates(path);
    if (kind == "empty") {
      storeadjust::db::CreateEmptyDatabase(path);
    } else {
      storeadjust::db::CreateDemoDatabase(path);
    }
  } catch (const adodb::Error& error) {
    return Refused(error, path);
  }
  // The connection string is used from wherever the launcher runs, not from here.
  std::cout << storeadjust::db::EmbeddedConnectionString(std::filesystem::absolute(path).lexically_normal().string()) << "\n";
  return 0;
}
