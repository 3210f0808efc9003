#include "StartupCheck.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <system_error>

#include "LaunchOptions.h"
#include "adodb/Backend.h"
#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "db/DatabaseFactory.h"
#include "db/OpenFailureText.h"
#include "db/PasswordTable.h"
#include "db/SchemaCheck.h"
#include "host/OperatorPassword.h"

namespace storeadjust::launcher {

namespace {

StartupError CannotOpen(const std::string& connStr, const adodb::Error& error) {
  const std::string text = error.Description();
  const auto file = adodb::EmbeddedDatabaseFile(connStr);
  auto words = file ? std::nullopt : db::OdbcOpenFailureText(text, connStr);
  if (!words) words = db::OpenFailureText(text, file.value_or(""));
  return StartupError("打不开" + DatabaseName(connStr) + "：" + words.value_or(text));
}

std::shared_ptr<adodb::Connection> OpenDatabase(const std::string& connStr) {
  const auto file = adodb::EmbeddedDatabaseFile(connStr);
  if (file && file->empty()) {
    throw StartupError("连接字符串 \"" + WithoutPassword(connStr) + "\" 没有给出数据库文件，请在其中写上 Data Source=文件。");
  }
  // SQLite would only say "unable to open database file" for a mistyped path. A path that cannot
  // be looked at (a link that loops, a name too long) is not said to be missing: opening it
  // refuses it in words below.
  if (const auto missingFile = file ? db::MissingFileText(*file) : std::nullopt) throw StartupError(*missingFile + "。");
  if (const auto missingThroughOdbc = db::MissingOdbcFileText(connStr)) {
    throw StartupError("打不开" + DatabaseName(connStr) + "：" + *missingThroughOdbc);
  }
  // Opening a session would switch the file's journal to WAL: a file that is not the module's
  // is refused first, from a read-only look, with its bytes as they were.
  std::string missing;
  try {
    if (file) missing = db::MissingSchemaTableInFile(*file);
  } catch (const adodb::Error& e) {
    throw CannotOpen(connStr, e);
  }
  if (!missing.empty()) throw StartupError(db::SchemaRefusal(*file, missing));
  auto conn = std::make_shared<adodb::Connection>();
  try {
    // This session only signs in, so it waits for another program's lock as briefly as the
    // sign-in's own statements do; the module's session keeps the site's wait.
    conn->Open(adodb::WithLockWaitAtConnect(connStr, kPasswordLockWaitMs));
  } catch (const adodb::Error& e) {
    throw CannotOpen(connStr, e);
  }
  try {
    if (file) db::EnsurePasswordTable(*conn);
    // Without these a file made by an older version would store dates and decimals as no
    // reader of the module expects them.
    // A value an older version stored beyond its column's range keeps the clerk out of nothing,
    // but the administrator is to correct it: said on the console, where he starts the launcher.
    if (file) {
      for (const std::string& value : db::EnsureStoredFormTriggers(*conn)) std::cerr << "storeadjust: 注意：" << value << "\n";
    }
  } catch (const adodb::Error& e) {
    throw CannotOpen(connStr, e);
  }
  // An index only makes reads faster: a file that cannot take it now (read-only, say) opens
  // without it, and gets it at a later start.
  try {
    if (file) db::EnsureSchemaIndexes(*conn);
  } catch (const adodb::Error&) {
  }
  return conn;
}

// The clerk's other launcher, started at the same moment, may have made it first: that one is used.
void CreateDemoDatabaseUnlessMadeMeanwhile(const std::string& path) {
  try {
    db::CreateDemoDatabase(path);
  } catch (const adodb::Error&) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size == 0) throw;
  }
}

// The folders made on the way are the user's alone (0700), as the base directory rules make a
// user's data folders: the demo database holds bills and the operators' password hashes, which
// anyone else on the machine could otherwise copy and guess at. A folder already there is left.
void MakeOwnFolders(const std::filesystem::path& folder) {
  if (std::filesystem::exists(folder)) return;
  MakeOwnFolders(folder.parent_path());
  if (std::filesystem::create_directory(folder)) std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
}

// The system's own words for a folder it could not make or look at are English; the user is told
// in Chinese which folder, why, and where else the demo database can go.
std::string FolderRefusal(const std::filesystem::filesystem_error& error) {
  const std::error_code code = error.code();
  std::string why = "请检查它和上级目录的权限";
  if (code == std::errc::permission_denied || code == std::errc::operation_not_permitted) why = "没有权限";
  if (code == std::errc::read_only_file_system) why = "所在的磁盘是只读的";
  if (code == std::errc::not_a_directory || code == std::errc::file_exists) why = "路径中有同名的文件，不是目录";
  if (code == std::errc::no_space_on_device) why = "磁盘已满";
  return "建不了目录 " + error.path1().string() + "（" + why +
         "）。请用 XDG_DATA_HOME 指定另一个数据目录，或用 --db 给出数据库文件。";
}

}  // namespace

// A password does not belong on a console that others may read over the user's shoulder.
std::string DatabaseName(const std::string& connStr) {
  if (const auto file = adodb::EmbeddedDatabaseFile(connStr)) return "数据库文件 " + *file;
  return "连接 \"" + WithoutPassword(connStr) + "\"";
}

SignInRefused::SignInRefused(const std::string& refusal, int waitSeconds, bool codeToCorrect)
    : StartupError(waitSeconds > 0 ? refusal + "请等 " + std::to_string(waitSeconds) + " 秒再试。" : refusal),
      refusal(refusal),
      waitSeconds(waitSeconds),
      codeToCorrect(codeToCorrect) {}

std::string DemoConnectionString() {
  const auto demo = DemoDatabasePath();
  if (!demo) throw StartupError(NoDataHomeText());
  const std::string& path = *demo;
  try {
    if (!std::filesystem::exists(path)) {
      MakeOwnFolders(std::filesystem::path(path).parent_path());
      CreateDemoDatabaseUnlessMadeMeanwhile(path);
    }
  } catch (const std::filesystem::filesystem_error& e) {
    throw StartupError("建不成演示数据库 " + path + "：" + FolderRefusal(e));
  } catch (const adodb::Error& e) {
    const std::string text = e.Description();
    throw StartupError("建不成演示数据库 " + path + "：" + db::OpenFailureText(text, path).value_or(text));
  }
  return db::EmbeddedConnectionString(path);
}

std::shared_ptr<adodb::Connection> OpenModuleDatabase(const std::string& connStr) { return OpenDatabase(connStr); }

SignedInOperator SignIn(adodb::Connection& conn, const std::string& connStr, const std::string& optCode,
                   const std::string& password, CodeGiven given) {
  SignInResult result;
  std::string unknown;
  try {
    result = CheckOperatorPassword(conn, optCode, password);
    if (result.outcome == SignInOutcome::kUnknownOperator) unknown = UnknownOperatorRefusal(conn, DatabaseName(connStr), optCode, given);
  } catch (const adodb::Error& e) {
    const std::string text = e.Description();
    // A server's database gets the password table from the db tool, never from the launcher: a
    // first sign-in before the administrator set a password finds none, in the server's words.
    if (text.find("StoreAdjustPassword") != std::string::npos &&
        (text.find("no such table") != std::string::npos || text.find("Invalid object name") != std::string::npos ||
         text.find("对象名") != std::string::npos)) {
      throw StartupError(DatabaseName(connStr) + " 中还没有密码表 StoreAdjustPassword，没有登录。请管理员先用 "
                         "storeadjust-db password 连接字符串 操作员编号 为操作员设置密码，同时建这个表。");
    }
    throw StartupError("读不出" + DatabaseName(connStr) + " 的操作员和密码：" +
                       db::OpenFailureText(text, adodb::EmbeddedDatabaseFile(connStr).value_or("")).value_or(text));
  }
  if (!unknown.empty()) throw SignInRefused(unknown, 0, true);
  if (result.outcome != SignInOutcome::kSignedIn) {
    // Spaces may belong to a password, so they are kept; but the box shows only dots, and a space
    // slipped in before or after is what a clerk sure of his password cannot see.
    const bool spaced = !password.empty() && (password.front() == ' ' || password.back() == ' ');
    const std::string hint = result.outcome == SignInOutcome::kWrongPassword && spaced ? "（注意：输入的密码首尾有空格。）" : "";
    // Named as Operators spells the code, not as typed (full-width, with a trailing blank).
    const std::string& code = result.operatorCode.empty() ? optCode : result.operatorCode;
    throw SignInRefused(SignInRefusal(result, code) + hint, result.waitSeconds, result.outcome == SignInOutcome::kNoPassword);
  }
  return {result.operatorCode, result.operatorName};
}

}  // namespace storeadjust::launcher
