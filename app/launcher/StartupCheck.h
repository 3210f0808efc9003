#pragma once
// What the launcher makes sure of before it hands the session to the module: that the database
// opens, that an embedded file holds the module's tables, and that the operator is who they say
// (code and password). A host's login would never start the module otherwise; a new user who mistyped a path or a
// code gets one line naming what was tried, instead of a message box about some table.
#include <memory>
#include <stdexcept>
#include <string>

#include "host/OperatorPassword.h"

namespace adodb {
class Connection;
}

namespace storeadjust::launcher {

// A start-up that cannot go on; what() is the Chinese text for the console.
struct StartupError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The database a connection string names, for messages: the embedded file, or the ODBC
// connection string without its password.
std::string DatabaseName(const std::string& connStr);

// A refused sign-in: what() is the refusal for the console, with the wait before the next try;
// `refusal` the same without the wait, which the dialog shows as it counts down. `codeToCorrect`:
// no password can help (the code is unknown, or its operator has none), the code is to be changed.
struct SignInRefused : StartupError {
  SignInRefused(const std::string& refusal, int waitSeconds, bool codeToCorrect = false);
  std::string refusal;
  int waitSeconds;
  bool codeToCorrect;
};

// Makes the demo database on first run; gives its connection string. Throws StartupError.
std::string DemoConnectionString();

// Opens the database and checks it as above; an embedded file gets the password table when it
// lacks one. Throws StartupError.
std::shared_ptr<adodb::Connection> OpenModuleDatabase(const std::string& connStr);

// Who signed in: the code as Operators spells it, which the module is handed (its serials begin
// with it), and the name.
struct SignedInOperator {
  std::string code;
  std::string name;
};

// Signs the operator in with the password and gives the operator as Operators holds it. Throws
// SignInRefused with the Chinese line naming the operator when the code is unknown (saying where
// to give another, by where it came from), or when the operator has no password, or
// the password is empty, wrong or came before the wait for the last wrong ones was over.
SignedInOperator SignIn(adodb::Connection& conn, const std::string& connStr, const std::string& optCode,
                   const std::string& password, CodeGiven given);

}  // namespace storeadjust::launcher
