#include "LaunchOptions.h"

#include <cstdlib>
#include <filesystem>

#include "db/DatabaseFactory.h"

namespace storeadjust::launcher {

namespace {

bool TakesValue(const std::string& option) {
  return option == "--conn" || option == "--db" || option == "--operator" || option == "--operator-name" || option == "--date" ||
         option == "--category";
}

bool Apply(LaunchOptions& options, const std::string& option, const std::string& value, std::string& error) {
  if (option == "--conn") {
    options.connStr = value;
  } else if (option == "--db") {
    options.connStr = db::EmbeddedConnectionString(value);
  } else if (option == "--operator") {
    options.optCode = value;
  } else if (option == "--operator-name") {
    options.optName = value;
  } else if (option == "--category") {
    options.category = value;
  } else if (option == "--date") {
    auto date = adodb::Date::Parse(value);
    if (!date) {
      error = "--date 要的是 YYYY-MM-DD 形式的日期，不是 " + value;
      return false;
    }
    options.sysDate = *date;
  }
  return true;
}

}  // namespace

std::optional<LaunchOptions> ParseLaunchOptions(const std::vector<std::string>& args, std::string& error) {
  LaunchOptions options;
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
      if (!Apply(options, arg, args[++i], error)) return std::nullopt;
    } else {
      error = "不认识的选项 " + arg;
      return std::nullopt;
    }
  }
  return options;
}

std::string LaunchUsage() {
  return "usage: storeadjust [options]\n"
         "  --db FILE              the embedded (SQLite) database file to work in\n"
         "  --conn STR             a connection string, for an ODBC data source or an embedded file\n"
         "                         (without --db or --conn: the demo database, created on first run)\n"
         "  --operator CODE        operator code (default 001)\n"
         "  --operator-name NAME   operator name\n"
         "  --date YYYY-MM-DD      business date (default today)\n"
         "  --no-batch             the site keeps no batch numbers\n"
         "  --category TEXT        host category (EP shows the approval command)\n"
         "  --help                 this text\n"
         "\n"
         "The database:\n"
         "  storeadjust --db /srv/erp/bills.db\n"
         "  storeadjust --conn \"Provider=SQLite;Data Source=/srv/erp/bills.db\"\n"
         "  storeadjust --conn \"DSN=ERP;UID=user;PWD=secret\"                 (a data source in odbc.ini)\n"
         "  storeadjust --conn \"Driver=FreeTDS;Server=HOST;Port=1433;Database=ERP;UID=user;PWD=secret;"
         "ClientCharset=UTF-8\"\n"
         "An embedded file must hold the module's tables (storeadjust-db empty|demo FILE makes one).\n"
         "Start-up errors are printed here and end with exit status 1; a bad option ends with 2.\n";
}

std::string DemoDatabasePath() {
  std::filesystem::path base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::filesystem::path(home) / ".local" / "share";
  } else {
    base = ".";
  }
  return (base / "storeadjust" / "demo.db").string();
}

}  // namespace storeadjust::launcher
