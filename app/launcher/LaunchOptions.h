#pragma once
// The launcher's command line: what the host would otherwise set through the class's
// properties. Unset options fall back to the demo database, its operator and today's date.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "adodb/Date.h"

namespace storeadjust::launcher {

struct LaunchOptions {
  std::string connStr;  // empty: the demo database
  std::string optCode = "001";
  std::optional<std::string> password;  // none: asked for, or read from standard input
  adodb::Date sysDate = adodb::Date::Today();
  bool isNotPh = false;
  std::string category;
  bool showHelp = false;
};

// Parses argv[1..]; on a bad option returns nothing and fills error.
std::optional<LaunchOptions> ParseLaunchOptions(const std::vector<std::string>& args, std::string& error);

std::string LaunchUsage();

// The connection string without its password, to be shown.
std::string WithoutPassword(const std::string& connStr);

// Blanks the value of --password, and the password inside --conn, in the program's own arguments,
// once parsed: the process list shows every user of the machine those arguments for as long as
// the session runs.
void HideSecretArguments(int argc, char** argv);

// The user's data folder: $XDG_DATA_HOME when that is an absolute path, or ~/.local/share, the home
// being $HOME or, without one, the user's home in the password database. None when neither names one.
std::optional<std::filesystem::path> DataHome();

// DataHome()/storeadjust/demo.db; none without a data folder.
std::optional<std::string> DemoDatabasePath();

// Why there is no demo database without a data folder, and what to give instead.
std::string NoDataHomeText();

}  // namespace storeadjust::launcher
