#pragma once
// What the launcher makes sure of before it hands the session to the module: that the database
// opens, that an embedded file holds the module's tables, and that the operator's code is known.
// A host's login would never start the module otherwise; a new user who mistyped a path or a
// code gets one line naming what was tried, instead of a message box about some table.
#include <stdexcept>
#include <string>

namespace storeadjust::launcher {

// A start-up that cannot go on; what() is the Chinese text for the console.
struct StartupError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The database a connection string names, for messages: the embedded file, or the ODBC
// connection string without its password.
std::string DatabaseName(const std::string& connStr);

// Makes the demo database on first run; gives its connection string. Throws StartupError.
std::string DemoConnectionString();

// Opens the database, checks it as above and gives the operator's name. Throws StartupError.
std::string CheckStartup(const std::string& connStr, const std::string& optCode);

}  // namespace storeadjust::launcher
