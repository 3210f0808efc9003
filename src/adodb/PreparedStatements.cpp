#include "adodb/PreparedStatements.h"

#include <sqlite3.h>

namespace adodb {

PreparedStatements::Kept* PreparedStatements::Find(std::string_view text) {
  const auto found = byText_.find(text);
  if (found == byText_.end()) return nullptr;
  if (found->second != entries_.begin()) entries_.splice(entries_.begin(), entries_, found->second);
  return &found->second->kept;
}

PreparedStatements::Kept* PreparedStatements::Add(std::string_view text, sqlite3_stmt* statement) {
  if (const auto known = byText_.find(text); known != byText_.end()) {
    sqlite3_finalize(known->second->kept.statement);
    known->second->kept = Kept{statement, {}, -1, {}};
    return &known->second->kept;
  }
  if (entries_.size() >= capacity_) {
    byText_.erase(entries_.back().text);
    sqlite3_finalize(entries_.back().kept.statement);
    entries_.pop_back();
  }
  entries_.push_front(Entry{std::string(text), Kept{statement, {}, -1, {}}});
  byText_.emplace(entries_.front().text, entries_.begin());
  return &entries_.front().kept;
}

void PreparedStatements::ForgetColumns() {
  for (Entry& entry : entries_) entry.kept.columnsPreparation = -1;
}

void PreparedStatements::Clear() {
  byText_.clear();
  for (Entry& entry : entries_) sqlite3_finalize(entry.kept.statement);
  entries_.clear();
}

}  // namespace adodb
