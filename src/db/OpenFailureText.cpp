#include "db/OpenFailureText.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include <odbcinst.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "adodb/ConnectionString.h"

namespace storeadjust::db {

namespace {

struct Wording {
  const char* sqlite;  // or another data source's words
  const char* chinese;
};

constexpr const char* kNoServerWords =
    "连不上数据库服务器：服务器名或端口不对，服务器没有运行，或者网络不通。请检查 Server= 和 Port=，或请管理员看一下服务器。";

constexpr Wording kWordings[] = {
    {"file is not a database", "它不是数据库文件，请检查给出的文件名。"},
    {"unable to open database file", "路径不存在、是目录或没有权限，请检查路径和文件的权限。"},
    {"database is locked", "数据库正被其他程序使用，请稍后再试。"},
    // A file cut short (a copy or a disk that failed half-way) or written over by another program.
    {"database disk image is malformed", "文件已损坏（不完整，或被别的程序改写过），请从备份中恢复它。"},
    {"database or disk is full", "磁盘已满，写不进去，请腾出磁盘空间后再试。"},
    {"attempt to write a readonly database", "数据库文件是只读的，请给出一个可以写的文件，或者改一下文件的权限。"},
    // The module's file read through the SQLite ODBC driver without its T-SQL dialect: the text
    // collation of its columns is the dialect's.
    {"no such collation sequence: TSQL",
     "它是本模块的 SQLite 数据库文件，经 ODBC 连接时请在连接字符串中加上 Dialect=SQLite，或者用 --db 文件 打开它。"},
};

std::string UserName(uid_t user) {
  const passwd* entry = ::getpwuid(user);
  return entry != nullptr ? entry->pw_name : std::to_string(user);
}

bool IsDirectory(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_directory(path, error);
}

// A SQL Server's refusals at the login, as FreeTDS and Microsoft's driver word them in English
// (a server set up in Chinese answers its clerks in Chinese already).
constexpr Wording kServerLoginWordings[] = {
    {"Login failed for user", "服务器拒绝了登录：用户名或密码不对，或者这个登录已停用。请检查 UID= 和 PWD=。"},
    {"Cannot open database", "服务器上没有 Database= 给出的数据库，或者这个登录没有打开它的权限。请检查 Database=。"},
    {"Adaptive Server is unavailable or does not exist", kNoServerWords},
    {"Unable to connect to data source", kNoServerWords},
    {"Login timeout expired", kNoServerWords},
};

std::optional<std::string> ServerLoginFailureText(const std::string& text) {
  for (const Wording& wording : kServerLoginWordings) {
    if (text.find(wording.sqlite) != std::string::npos) return std::string(wording.chinese);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> OpenFailureText(const std::string& text, const std::string& path) {
  // A folder opened as a database reads as a failing disk.
  if (text.find("disk I/O error") != std::string::npos && IsDirectory(path)) {
    return "它是目录，不是数据库文件，请给出数据库文件的路径。";
  }
  // A file that may be written in a folder that may not: the database keeps its log beside the
  // file, so it is the folder that stops it, not the file's permissions. SQLite says either,
  // by whether the log was there already.
  std::string folder = std::filesystem::path(path).parent_path().string();
  if (folder.empty()) folder = ".";
  const bool refused = text.find("attempt to write a readonly database") != std::string::npos ||
                       text.find("unable to open database file") != std::string::npos;
  if (refused && !path.empty() &&
      ::access(path.c_str(), W_OK) == 0 && ::access(folder.c_str(), W_OK) != 0) {
    return "文件所在的目录 " + folder + " 不能写：数据库要在文件旁边写它的日志文件。请给这个目录写权限，或者把文件放到可以写的目录中。";
  }
  // Another user's file (mode 600, say): whose it is, instead of three guesses.
  struct stat file {};
  if (refused && ::stat(path.c_str(), &file) == 0 && S_ISREG(file.st_mode) && ::access(path.c_str(), R_OK) != 0) {
    return "用户 " + UserName(::geteuid()) + " 没有读这个文件的权限（文件属于 " + UserName(file.st_uid) +
           "），请管理员给这个用户读写它的权限。";
  }
  for (const Wording& wording : kWordings) {
    if (text.find(wording.sqlite) != std::string::npos) return std::string(wording.chinese);
  }
  return std::nullopt;
}

std::optional<std::string> MissingFileText(const std::string& path) {
  std::error_code unseen;
  if (std::filesystem::exists(path, unseen) || unseen) return std::nullopt;
  if (!std::filesystem::is_symlink(path, unseen)) return "数据库文件 " + path + " 不存在";
  // Through a chain of links to the one whose file is gone: the links before it are there.
  std::filesystem::path target(path);
  for (int hop = 0; hop < 40 && std::filesystem::is_symlink(target, unseen); ++hop) {
    target = (target.parent_path() / std::filesystem::read_symlink(target, unseen)).lexically_normal();
  }
  return "数据库文件 " + path + " 是符号链接，它指向的 " + target.string() + " 不存在";
}

// The driver manager names a driver it could not load as "Can't open lib 'NAME' : why"; a file
// that loads but answers nothing a driver must fails its first call.
std::optional<std::string> OdbcOpenFailureText(const std::string& text, const std::string& connStr) {
  // A string that names neither the embedded file nor ODBC: a key mistyped, as often as not.
  if (text.find("Provider cannot be found") != std::string::npos) {
    return "它既不是嵌入式数据库的 Provider=SQLite;Data Source=文件，也没有给出 ODBC 的 DSN= 或 Driver=，请检查连接字符串。";
  }
  // The SQLite ODBC driver says only this for a folder, a file it may not open, or a name it was
  // handed between braces, which it takes as part of the name.
  if (text.find("[SQLite]connect failed") != std::string::npos) {
    return "SQLite ODBC 驱动程序打不开 Database= 给出的文件：它是目录或没有权限，或者文件名写在了花括号里"
           "（这个驱动程序不认花括号，文件名中有空格也不必加），请检查 Database=。";
  }
  if (const auto server = ServerLoginFailureText(text)) return server;
  if (text.find("[Driver Manager]") == std::string::npos) return std::nullopt;
  const adodb::ConnectionString parts(connStr);
  if (text.find("Data source name not found") != std::string::npos) {
    const std::string dsn = parts.Get("DSN").value_or("");
    if (dsn.empty()) return "连接字符串中没有给出 ODBC 数据源（DSN=）或驱动程序（Driver=）。";
    return "没有设置名为 " + dsn + " 的 ODBC 数据源（odbcinst -q -s 列出已设置的），请检查 DSN=。";
  }
  std::string driver = parts.Get("Driver").value_or("");
  const std::string lib = "Can't open lib '";
  if (const auto at = text.find(lib); at != std::string::npos) {
    driver = text.substr(at + lib.size(), text.find('\'', at + lib.size()) - at - lib.size());
  } else if (text.find("SQLAllocHandle on SQL_HANDLE_HENV failed") == std::string::npos || driver.empty()) {
    return std::nullopt;
  }
  std::error_code error;
  if (std::filesystem::exists(driver, error)) return driver + " 不是 ODBC 驱动程序，请检查 Driver=。";
  if (driver.find('/') != std::string::npos) return "ODBC 驱动程序文件 " + driver + " 不存在，请检查 Driver=。";
  return "没有登记名为 " + driver + " 的 ODBC 驱动程序（odbcinst -q -d 列出已登记的），请检查 Driver=。";
}

namespace {

// An entry of a data source (odbc.ini) or of a registered driver (odbcinst.ini), read as the
// driver manager and the SQLite ODBC driver read it: the user's file before the system's.
std::string OdbcProfileValue(const std::string& section, const char* key, const char* file) {
  if (section.empty()) return "";
  char value[4096] = "";
  const int length = SQLGetPrivateProfileString(section.c_str(), key, "", value, sizeof value, file);
  return length > 0 ? std::string(value, std::min<std::size_t>(length, sizeof value - 1)) : "";
}

}  // namespace

// The SQLite ODBC driver makes the file Database= names when there is none, and the session is
// then refused for a table the empty file lacks, with that empty file left behind. The driver and
// the file may come from the string or from the data source it names, the string's own first.
std::optional<std::string> MissingOdbcFileText(const std::string& connStr) {
  const adodb::ConnectionString parts(connStr);
  const std::string dsn = parts.Get("DSN").value_or("");
  std::string driver = parts.Get("Driver").value_or("");
  if (driver.empty()) driver = OdbcProfileValue(dsn, "Driver", "odbc.ini");
  std::string file = parts.Get("Database").value_or("");
  if (file.empty()) file = OdbcProfileValue(dsn, "Database", "odbc.ini");
  const std::string library = OdbcProfileValue(driver, "Driver", "odbcinst.ini");
  std::string named = driver + " " + library + " " + parts.Get("Dialect").value_or("");
  std::transform(named.begin(), named.end(), named.begin(), [](unsigned char c) { return std::tolower(c); });
  if ((!parts.Has("Driver") && dsn.empty()) || named.find("sqlite") == std::string::npos) return std::nullopt;
  // Without a file the driver opens an empty database of its own, refused for a table it lacks.
  // A driver not there at all is refused by the driver manager, in words of its own.
  std::error_code unseen;
  if (file.empty() && (!library.empty() || std::filesystem::exists(driver, unseen))) {
    return (dsn.empty() ? std::string("连接字符串中没有") : "连接字符串和 odbc.ini 中的数据源 " + dsn + " 都没有") +
           "给出数据库文件（Database=），请写上要打开的数据库文件。";
  }
  if (file.empty() || file == ":memory:" || file.rfind("file:", 0) == 0) return std::nullopt;
  if (std::filesystem::exists(file, unseen) || unseen) return std::nullopt;
  const std::string where = parts.Has("Database") ? "Database=" : "odbc.ini 中数据源 " + dsn + " 的 Database=";
  return "数据库文件 " + file + " 不存在，请检查 " + where + "；要新建一个请用 storeadjust-db empty 或 demo。";
}

}  // namespace storeadjust::db
