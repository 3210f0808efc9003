#pragma once
// The prepared statements of one SQLite connection, keyed by the exact text the caller sent, the
// least recently used finalized once there are more than the capacity: the module sends the same
// few texts again and again (values are bound), while literal statements of tests, site
// templates and checks pass through without crowding those out.
#include <cstddef>
#include <functional>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "adodb/ResultSet.h"

struct sqlite3_stmt;

namespace adodb {

class PreparedStatements {
 public:
  explicit PreparedStatements(std::size_t capacity) : capacity_(capacity < 1 ? 1 : capacity) {}
  ~PreparedStatements() { Clear(); }
  PreparedStatements(const PreparedStatements&) = delete;
  PreparedStatements& operator=(const PreparedStatements&) = delete;

  // A kept statement and what is known of its result's columns.
  struct Kept {
    sqlite3_stmt* statement = nullptr;
    // The columns once read, and SQLite's count of the statement's re-preparations then: a schema
    // change prepares it anew, possibly with other columns.
    std::vector<ColumnInfo> columns;
    int columnsPreparation = -1;
    // The number of the value each ? mark takes, in the marks' order (filled by the backend).
    std::vector<long> marks;
  };

  // The statement kept for `text`, now the most recently used; null when there is none. Valid
  // until the next Add or Clear.
  Kept* Find(std::string_view text);
  // Keeps `statement` (which it finalizes in time) for `text`; the least recently used goes when
  // the cache is full. Nothing else may be running when a statement is added.
  Kept* Add(std::string_view text, sqlite3_stmt* statement);
  // The columns are read again on each statement's next use (the keys of a table may have changed).
  void ForgetColumns();
  void Clear();
  std::size_t Size() const { return entries_.size(); }

 private:
  struct Entry {
    std::string text;
    Kept kept;
  };
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept { return std::hash<std::string_view>{}(text); }
  };

  std::size_t capacity_;
  std::list<Entry> entries_;  // most recently used first
  // Keys view the texts of the entries, whose nodes never move.
  std::unordered_map<std::string_view, std::list<Entry>::iterator, TextHash, std::equal_to<>> byText_;
};

}  // namespace adodb
