#include "LaunchOptions.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <unistd.h>

#include "adodb/ConnectionString.h"
#include "adodb/TextCompare.h"
#include "db/DatabaseFactory.h"
#include "host/UserFolders.h"

namespace storeadjust::launcher {

namespace {

bool TakesValue(const std::string& option) {
  return option == "--conn" || option == "--db" || option == "--operator" || option == "--operator-name" || option == "--date" ||
         option == "--category" || option == "--password";
}

// A date in the right form whose year the module cannot keep is told apart from a mistyped one.
std::string DateRefusal(const std::string& value) {
  const bool yearFirst = value.size() > 4 && std::all_of(value.begin(), value.begin() + 4, [](char c) {
    return c >= '0' && c <= '9';
  }) && (value[4] == '-' || value[4] == '/');
  if (yearFirst && std::stoi(value.substr(0, 4)) < 100) {
    return "--date " + value + " 超出了范围，业务日期要在 0100-01-01 到 9999-12-31 之间。";
  }
  // In the right form but not in the calendar (2024-02-30): the form is not what was wrong. Month
  // and day are read as digits alone: %d takes a sign or blank, and 2024-+3-05 was a day March lacks.
  int year = 0, month = 0, day = 0, read = 0;
  char monthDigits[3] = "", dayDigits[3] = "";
  if (yearFirst && std::sscanf(value.c_str(), "%4d-%2[0-9]-%2[0-9]%n", &year, monthDigits, dayDigits, &read) == 3 &&
      read == static_cast<int>(value.size())) {
    month = std::atoi(monthDigits);
    day = std::atoi(dayDigits);
    const std::string missing = month < 1 || month > 12 ? "一年中没有" + std::to_string(month) + "月"
                                                        : std::to_string(year) + "年" + std::to_string(month) + "月没有" + std::to_string(day) + "日";
    return "--date " + value + "：" + missing + "，请给出日历上有的日期。";
  }
  return "--date 要的是 YYYY-MM-DD 形式的日期，不是 " + value;
}

// --conn and --db each name the database; given both, which one was meant is anyone's guess.
bool NamesTheDatabase(const std::string& option) { return option == "--conn" || option == "--db"; }

// What an option that may not be empty names, for its refusal; nothing for the others.
const char* WhatMustBeGiven(const std::string& option) {
  if (option == "--db") return "数据库文件";
  if (option == "--conn") return "连接字符串";
  if (option == "--operator") return "操作员编号";
  return nullptr;
}

// --operator-name is still accepted so that older command lines keep working, and ignored: the
// name stamped on bills is always the signed-in operator's own, from Operators.
// The code is taken without the blanks around it, as the sign-in dialog takes it: a leading one
// would find no operator, and the refusal would show it only as a wider gap.
bool Apply(LaunchOptions& options, const std::string& option, const std::string& given, std::string& error) {
  const std::string value = option == "--operator" ? std::string(adodb::Trimmed(given)) : given;
  if (const char* what = WhatMustBeGiven(option); what && value.empty()) {
    error = option + " 的值是空的，请给出" + what + "。";
    return false;
  }
  if (option == "--conn") {
    options.connStr = value;
  } else if (option == "--db") {
    options.connStr = db::EmbeddedConnectionString(value);
  } else if (option == "--operator") {
    options.optCode = value;
  } else if (option == "--password") {
    options.password = value;
  } else if (option == "--category") {
    options.category = value;
  } else if (option == "--date") {
    auto date = adodb::Date::Parse(value);
    if (!date) {
      error = DateRefusal(value);
      return false;
    }
    options.sysDate = *date;
  }
  return true;
}

}  // namespace

std::optional<LaunchOptions> ParseLaunchOptions(const std::vector<std::string>& args, std::string& error) {
  LaunchOptions options;
  std::string databaseOption;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options.showHelp = true;
    } else if (arg == "--no-batch") {
      options.isNotPh = true;
    } else if (TakesValue(arg)) {
      if (i + 1 >= args.size()) {
        error = arg + " 后面缺少它的值";
        return std::nullopt;
      }
      if (NamesTheDatabase(arg) && !databaseOption.empty() && databaseOption != arg) {
        error = "--db 和 --conn 不能同时使用，请只给出其中一个。";
        return std::nullopt;
      }
      if (NamesTheDatabase(arg)) databaseOption = arg;
      if (!Apply(options, arg, args[++i], error)) return std::nullopt;
    } else if (const std::size_t equals = arg.find('='); equals != std::string::npos && TakesValue(arg.substr(0, equals))) {
      // What follows the = may be a password: it is not repeated on the console, nor in a log of it.
      const std::string option = arg.substr(0, equals);
      error = "不认识的选项 " + option + "=…，选项和它的值之间要用空格隔开，例如 " + option + " 值";
      return std::nullopt;
    } else {
      error = "不认识的选项 " + arg;
      return std::nullopt;
    }
  }
  return options;
}

std::string LaunchUsage() {
  return "用法: storeadjust [选项]\n"
         "仓库调拨单：不经 ERP 主程序，直接打开调拨单模块（单据浏览窗口）。\n"
         "\n"
         "选项:\n"
         "  --db 文件              要使用的嵌入式 (SQLite) 数据库文件\n"
         "  --conn 连接字符串      ODBC 数据源或嵌入式文件的连接字符串\n"
         "                         （不给 --db 和 --conn 时使用演示数据库，第一次运行时建立）\n"
         "  --operator 编号        登录的操作员编号（默认 001）；姓名总是取自 Operators 表\n"
         "  --password 密码        登录密码（不给时：标准输入不是终端则读其第一行，\n"
         "                         否则在图形界面上弹出登录对话框）\n"
         "  --date YYYY-MM-DD      业务日期（默认今天）\n"
         "  --no-batch             本单位不使用批号\n"
         "  --category 文本        主程序类别（EP 时显示送审命令）\n"
         "  --help                 显示这段说明\n"
         "\n"
         "数据库:\n"
         "  storeadjust --db /srv/erp/bills.db\n"
         "  storeadjust --conn \"Provider=SQLite;Data Source=/srv/erp/bills.db\"\n"
         "  storeadjust --conn \"DSN=ERP;UID=user;PWD=secret\"                 （odbc.ini 中的数据源）\n"
         "  storeadjust --conn \"Driver=FreeTDS;Server=HOST;Port=1433;Database=ERP;UID=user;PWD=secret;"
         "ClientCharset=UTF-8\"\n"
         "嵌入式文件必须含本模块的表（storeadjust-db empty|demo 文件 可以建一个）。\n"
         "密码用 storeadjust-db password 文件 操作员编号 设置。演示数据库的密码是 demo 加操作员编号，\n"
         "例如 001 的密码是 demo001（004 王五没有密码）。" +
         (DemoDatabasePath() ? "演示数据库在 " + *DemoDatabasePath() + "。\n" : NoDataHomeText() + "\n") +
         "\n"
         "登录失败、数据库不能用或没有图形显示（打不开窗口）时在这里说明原因，退出状态为 1；\n"
         "选项错误时退出状态为 2。\n";
}

std::string WithoutPassword(const std::string& connStr) {
  return adodb::ConnectionString(adodb::ConnectionString(connStr).Without("PWD")).Without("Password");
}

void HideSecretArguments(int argc, char** argv) {
  const auto showOnly = [](char* argument, const std::string& shown) {
    const std::size_t room = std::strlen(argument);
    std::memset(argument, 0, room);
    std::memcpy(argument, shown.data(), std::min(room, shown.size()));
  };
  for (int i = 1; i + 1 < argc; ++i) {
    const std::string option = argv[i];
    if (!TakesValue(option)) continue;
    ++i;
    if (option == "--password") showOnly(argv[i], {});
    if (option == "--conn") showOnly(argv[i], WithoutPassword(argv[i]));
  }
}

std::optional<std::filesystem::path> DataHome() { return UserFolder("XDG_DATA_HOME", std::filesystem::path(".local") / "share"); }

std::optional<std::string> DemoDatabasePath() {
  const auto data = DataHome();
  if (!data) return std::nullopt;
  return (*data / "storeadjust" / "demo.db").string();
}

std::string NoDataHomeText() {
  return "找不到放演示数据库的目录：没有设置 HOME，系统的用户数据库中也没有这个用户（uid " + std::to_string(getuid()) +
         "）的主目录。请用 XDG_DATA_HOME 指定数据目录，或用 --db 给出数据库文件。";
}

}  // namespace storeadjust::launcher
