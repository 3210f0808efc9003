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

struct sqlite3_stmt;

namespace adodb {

class PreparedStatements {
 public:
  explicit PreparedStatements(std::size_t capacity) : capacity_(capacity < 1 ? 1 : capacity) {}
  ~PreparedStatements() { Clear(); }
  PreparedStatements(const PreparedStatements&) = delete;
  PreparedStatements& operator=(const PreparedStatements&) = delete;

  // The statement prepared for `text`, now the most recently used; null when there is none.
  sqlite3_stmt* Find(std::string_view text);
  // Keeps `statement` (which it finalizes in time) for `text`; the least recently used goes when
  // the cache is full. Nothing else may be running when a statement is added.
  void Add(std::string_view text, sqlite3_stmt* statement);
  void Clear();
  std::size_t Size() const { return entries_.size(); }

 private:
  struct Entry {
    std::string text;
    sqlite3_stmt* statement;
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
