#pragma once
// The embedded backend: one SQLite database file, opened read-write (a missing file is an error,
// never silently created; a file the user may only read opens read-only), in WAL mode so
// readers on other connections see committed data only while a transaction is open, with a
// 30-second busy wait so concurrent writers queue instead of failing. Statements are translated
// from T-SQL and their prepared form is cached by text; statements that differ only in their
// literal values share one prepared statement of their shape, with the literals bound to it.
// Values given for a statement's ? marks are bound straight to its prepared form; a decimal is
// rounded to its scale first.
// Transactions start with BEGIN IMMEDIATE: two sessions that change stock at once wait for each
// other rather than deadlocking on a read-to-write upgrade. Not thread-safe: one per connection.
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "adodb/Backend.h"
#include "adodb/tsql/Translator.h"

struct sqlite3;
struct sqlite3_stmt;

namespace adodb {

class SqliteBackend final : public Backend {
 public:
  // Throws adodb::Error with SQLite's own description when the file cannot be opened.
  explicit SqliteBackend(const std::string& path);
  ~SqliteBackend() override;

  long Execute(std::string_view sql) override;
  ResultSet Query(std::string_view sql) override;
  long Execute(std::string_view sql, const std::vector<Parameter>& values) override;
  ResultSet Query(std::string_view sql, const std::vector<Parameter>& values) override;
  void BeginTransaction() override;
  void CommitTransaction() override;
  void RollbackTransaction() override;
  bool InTransaction() const override;
  void CallProcedure(const std::string& name, std::vector<std::shared_ptr<Parameter>>& parameters) override;

  sqlite3* Handle() const { return db_; }

 private:
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept { return std::hash<std::string_view>{}(text); }
  };
  using StatementCache = std::unordered_map<std::string, sqlite3_stmt*, TextHash, std::equal_to<>>;
  // Runs `run` on every statement of the text, in order (a cached single statement when it can).
  // `values` are bound to the statement's ? marks; without values, the literals of a statement of
  // a known shape are bound instead.
  template <typename Run>
  void ForEachStatement(std::string_view sql, const std::vector<Parameter>& values, Run&& run);
  sqlite3_stmt* CacheStatement(std::string_view sql, sqlite3_stmt* statement);
  // The prepared statement of a shape, or null when its parameterized text does not prepare as
  // one statement (the text is then run as it stands).
  sqlite3_stmt* ShapeStatement(const std::shared_ptr<const tsql::ShapeTemplate>& shape);
  void ClearStatementCache();
  void RunControlStatement(const char* sql);
  [[noreturn]] void ThrowStepError();
  [[noreturn]] void ThrowPrepareError();
  const std::vector<std::string>& KeyColumns(const std::string& table);
  void ReadColumns(sqlite3_stmt* statement, ResultSet& result);

  sqlite3* db_ = nullptr;
  StatementCache statements_;
  // Keyed by the template, which each entry holds so that its address stays its own.
  std::unordered_map<const tsql::ShapeTemplate*, std::pair<std::shared_ptr<const tsql::ShapeTemplate>, sqlite3_stmt*>>
      shapeStatements_;
  std::unordered_map<std::string, std::vector<std::string>> keyColumns_;  // lower-case table -> lower-case keys
};

}  // namespace adodb
