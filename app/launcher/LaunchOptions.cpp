#include "LaunchOptions.h"

#include <cstdlib>
#include <filesystem>

namespace storeadjust::launcher {

namespace {

bool TakesValue(const std::string& option) {
  return option == "--conn" || option == "--operator" || option == "--operator-name" || option == "--date" ||
         option == "--category";
}

bool Apply(LaunchOptions& options, const std::string& option, const std::string& value, std::string& error) {
  if (option == "--conn") {
    options.connStr = value;
  } else if (option == "--operator") {
    options.optCode = value;
  } else if (option == "--operator-name") {
    options.optName = value;
  } else if (option == "--category") {
    options.category = value;
  } else if (option == "--date") {
    auto date = adodb::Date::Parse(value);
    if (!date) {
      error = "--date wants YYYY-MM-DD, not " + value;
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
        error = arg + " needs a value";
        return std::nullopt;
      }
      if (!Apply(options, arg, args[++i], error)) return std::nullopt;
    } else {
      error = "unknown option " + arg;
      return std::nullopt;
    }
  }
  return options;
}

std::string LaunchUsage() {
  return "usage: storeadjust [options]\n"
         "  --conn STR             connection string (default: the demo database, created on first run)\n"
         "  --operator CODE        operator code (default 001)\n"
         "  --operator-name NAME   operator name\n"
         "  --date YYYY-MM-DD      business date (default today)\n"
         "  --no-batch             the site keeps no batch numbers\n"
         "  --category TEXT        host category (EP shows the approval command)\n"
         "  --help                 this text\n";
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
