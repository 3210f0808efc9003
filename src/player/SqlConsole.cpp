#include "player/SqlConsole.h"

#include <cctype>
#include <string_view>

#include "adodb/TextCompare.h"

namespace storeadjust::player {

bool IsQuery(const std::string& statement) {
  std::size_t pos = 0;
  while (pos < statement.size() && (std::isspace(static_cast<unsigned char>(statement[pos])) || statement[pos] == '('))
    ++pos;
  std::size_t end = pos;
  while (end < statement.size() && std::isalpha(static_cast<unsigned char>(statement[end]))) ++end;
  const std::string_view keyword = std::string_view(statement).substr(pos, end - pos);
  return adodb::SameName(keyword, "select") || adodb::SameName(keyword, "with");
}

adodb::Connection& SqlConsole::Connect(const std::string& connectionString) {
  if (connection_ && connection_->ConnectionString() != connectionString) Close();
  if (!connection_) {
    auto connection = std::make_unique<adodb::Connection>();
    connection->Open(connectionString);
    connection_ = std::move(connection);
  }
  return *connection_;
}

adodb::ResultSet SqlConsole::Run(const std::string& connectionString, const std::string& statement) {
  adodb::Backend& backend = Connect(connectionString).GetBackend();
  if (IsQuery(statement)) return backend.Query(statement);
  backend.Execute(statement);
  return {};
}

void SqlConsole::Close() {
  if (!connection_) return;
  try {
    if (connection_->State() == adodb::adStateOpen) connection_->Close();
  } catch (...) {
  }
  connection_.reset();
}

}  // namespace storeadjust::player
