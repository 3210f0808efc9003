#include "adodb/tsql/Translator.h"

#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "adodb/Error.h"
#include "adodb/tsql/GroupingSets.h"
#include "adodb/tsql/Rewriter.h"
#include "adodb/tsql/Tokenizer.h"

namespace adodb::tsql {
namespace {

// Statements carry their values as ? marks, so the distinct texts are few; the literal
// statements of tests, site templates and checks are bounded by emptying the cache when it
// reaches this size rather than tracking recency (the backend's prepared statements do that).
constexpr std::size_t kCacheCapacity = 4096;

struct Translation {
  std::string sql;          // the SQLite statement, when supported
  std::string unsupported;  // otherwise the description of the construct refused
};

// Keys are looked up by the caller's view of the statement, so a hit copies nothing but the
// translation it returns.
struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const noexcept { return std::hash<std::string_view>{}(text); }
};

template <typename Value>
class Cache {
 public:
  // Copies the value of `key` into `found`; false when there is none.
  bool Find(std::string_view key, Value& found) const {
    std::shared_lock lock(mutex_);
    const auto it = entries_.find(key);
    if (it == entries_.end()) return false;
    found = it->second;
    return true;
  }
  void Store(std::string_view key, const Value& value) {
    std::unique_lock lock(mutex_);
    if (entries_.size() >= kCacheCapacity) entries_.clear();
    entries_.try_emplace(std::string(key), value);
  }

 private:
  mutable std::shared_mutex mutex_;
  std::unordered_map<std::string, Value, TextHash, std::equal_to<>> entries_;
};

Cache<Translation>& ByText() {
  static Cache<Translation> cache;
  return cache;
}

bool HasParameterMarks(std::string_view tsql) {
  if (tsql.find('?') == std::string_view::npos) return false;
  for (const Token& t : Tokenize(tsql)) {
    if (t.kind == TokenKind::Parameter) return true;
  }
  return false;
}

// Every bare ? numbered in the order it stands (?1, ?2, ...): a rewrite that moves an expression
// (TOP's count to the end as LIMIT) then still binds each value to its own mark. Marks that are
// numbered already keep their number.
std::string NumberedParameterMarks(std::string_view tsql) {
  std::string numbered;
  numbered.reserve(tsql.size() + 16);
  int ordinal = 0;
  for (std::size_t pos = 0; pos < tsql.size();) {
    const TokenExtent t = NextToken(tsql, pos);
    if (t.kind == TokenKind::Parameter) ++ordinal;
    if (t.kind == TokenKind::Parameter && t.length == 1) {
      numbered += "?" + std::to_string(ordinal);
    } else {
      numbered += tsql.substr(pos, t.length);
    }
    pos += t.length;
  }
  return numbered;
}

}  // namespace

std::string TranslateAfresh(std::string_view tsql) {
  // Each bare ? numbered first: a statement without marks is rewritten as it stands.
  const bool marked = HasParameterMarks(tsql);
  const std::string numbered = marked ? NumberedParameterMarks(tsql) : std::string();
  const std::string_view text = marked ? std::string_view(numbered) : tsql;
  try {
    return Rewrite(Tokenize(text));
  } catch (const Error& e) {
    if (e.Number() != errnum::kUnsupportedSql) throw;
    // A refused batch may group by grouping sets, which the rewriter reads once they are written
    // as a UNION ALL of plain groupings (see GroupingSets.h). They are looked for only after a
    // refusal, so the statements that use none of them pay nothing.
    const std::optional<std::string> expanded = ExpandedGroupingSets(Tokenize(text));
    if (!expanded) throw;
    return Rewrite(Tokenize(*expanded));
  }
}

std::string Translate(std::string_view tsql) {
  Translation found;
  if (!ByText().Find(tsql, found)) {
    try {
      found.sql = TranslateAfresh(tsql);
    } catch (const Error& e) {
      if (e.Number() != errnum::kUnsupportedSql) throw;
      found.unsupported = e.Description();
    }
    ByText().Store(tsql, found);
  }
  if (!found.unsupported.empty()) throw Error::Unsupported(found.unsupported);
  return std::move(found.sql);
}

}  // namespace adodb::tsql
