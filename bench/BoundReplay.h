#pragma once
// The hand-written floor a layer is measured against: the very statements the embedded backend
// sent to SQLite (recorded through its statement trace: the text SQLite prepared and the values
// bound to its marks), replayed as a program written by hand would send them: each distinct text
// prepared once per connection, its values bound with sqlite3_bind_*, every column of every row
// read.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "adodb/SqliteBackend.h"
#include "adodb/StatementTrace.h"

namespace benchsupport {

struct RecordedStatement {
  std::string sql;
  std::vector<adodb::SqliteValue> values;
};

// Records every statement the backend runs into `into` until StopRecording.
inline void RecordStatements(adodb::SqliteBackend& backend, std::vector<RecordedStatement>& into) {
  into.clear();
  backend.SetStatementTrace([&into](std::string_view sql, const std::vector<adodb::SqliteValue>& values) {
    into.push_back({std::string(sql), values});
  });
}
inline void StopRecording(adodb::SqliteBackend& backend) { backend.SetStatementTrace(nullptr); }

class PreparedReplay {
 public:
  explicit PreparedReplay(sqlite3* db) : db_(db) {}
  ~PreparedReplay() {
    for (auto& [text, statement] : prepared_) sqlite3_finalize(statement);
  }
  PreparedReplay(const PreparedReplay&) = delete;
  PreparedReplay& operator=(const PreparedReplay&) = delete;

  // Runs the statements in order; false when one fails (the rest still run, as the caller times them).
  bool Run(const std::vector<RecordedStatement>& statements) {
    bool allRan = true;
    for (const RecordedStatement& recorded : statements) {
      sqlite3_stmt* statement = Prepared(recorded.sql);
      if (!statement) return false;
      Bind(statement, recorded.values);
      const int columns = sqlite3_column_count(statement);
      int rc;
      while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        for (int col = 0; col < columns; ++col) {
          if (sqlite3_column_type(statement, col) == SQLITE_TEXT) {
            benchmark::DoNotOptimize(sqlite3_column_text(statement, col));
          } else {
            benchmark::DoNotOptimize(sqlite3_column_double(statement, col));
          }
        }
      }
      allRan = allRan && rc == SQLITE_DONE;
      sqlite3_reset(statement);
    }
    return allRan;
  }

 private:
  sqlite3_stmt* Prepared(const std::string& sql) {
    if (const auto found = prepared_.find(sql); found != prepared_.end()) return found->second;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &statement, nullptr) != SQLITE_OK) {
      return nullptr;
    }
    return prepared_.emplace(sql, statement).first->second;
  }

  static void Bind(sqlite3_stmt* statement, const std::vector<adodb::SqliteValue>& values) {
    int index = 0;
    for (const adodb::SqliteValue& value : values) {
      ++index;
      switch (value.kind) {
        case adodb::SqliteValue::Kind::Null: sqlite3_bind_null(statement, index); break;
        case adodb::SqliteValue::Kind::Integer: sqlite3_bind_int64(statement, index, value.integer); break;
        case adodb::SqliteValue::Kind::Real: sqlite3_bind_double(statement, index, value.real); break;
        case adodb::SqliteValue::Kind::Text:
          sqlite3_bind_text(statement, index, value.text.data(), static_cast<int>(value.text.size()), SQLITE_STATIC);
          break;
      }
    }
  }

  sqlite3* db_;
  std::unordered_map<std::string, sqlite3_stmt*> prepared_;
};

}  // namespace benchsupport
