#pragma once
// The player's own connection for the `sql` and `expect sql` commands: opened from the
// scenario's current connection string when first needed, reopened when the string changes, so
// it never shares the module's session connection or its transaction. Statements are in the
// module's dialect and go through the same translation as the module's.
#include <memory>
#include <string>

#include "adodb/Connection.h"
#include "adodb/ResultSet.h"

namespace storeadjust::player {

class SqlConsole {
 public:
  SqlConsole() = default;
  SqlConsole(const SqlConsole&) = delete;
  SqlConsole& operator=(const SqlConsole&) = delete;
  ~SqlConsole() { Close(); }

  // Runs one statement: a query (select, with) gives its rows, any other statement runs and
  // gives an empty result. Throws adodb::Error with the database's message on failure.
  adodb::ResultSet Run(const std::string& connectionString, const std::string& statement);
  void Close();

 private:
  adodb::Connection& Connect(const std::string& connectionString);

  std::unique_ptr<adodb::Connection> connection_;
};

// True when the statement returns rows (it begins with select or with).
bool IsQuery(const std::string& statement);

}  // namespace storeadjust::player
