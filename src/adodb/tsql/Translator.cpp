#include "adodb/tsql/Translator.h"

#include <mutex>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "adodb/Error.h"
#include "adodb/tsql/Rewriter.h"
#include "adodb/tsql/Tokenizer.h"

namespace adodb::tsql {
namespace {

// Statements embed their values as literals, so the set of distinct texts grows without bound;
// the cache is emptied when it reaches this size rather than tracking recency.
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

class TranslationCache {
 public:
  // Copies the translation of `key` into `found`; false when the statement is not cached.
  bool Find(std::string_view key, Translation& found) const {
    std::shared_lock lock(mutex_);
    const auto it = entries_.find(key);
    if (it == entries_.end()) return false;
    found = it->second;
    return true;
  }
  void Store(std::string_view key, const Translation& value) {
    std::unique_lock lock(mutex_);
    if (entries_.size() >= kCacheCapacity) entries_.clear();
    entries_.try_emplace(std::string(key), value);
  }

 private:
  mutable std::shared_mutex mutex_;
  std::unordered_map<std::string, Translation, TextHash, std::equal_to<>> entries_;
};

TranslationCache& Cache() {
  static TranslationCache cache;
  return cache;
}

Translation TranslateUncached(std::string_view tsql) {
  try {
    return {Rewrite(Tokenize(tsql)), {}};
  } catch (const Error& e) {
    if (e.Number() != errnum::kUnsupportedSql) throw;
    return {{}, e.Description()};
  }
}

}  // namespace

std::string Translate(std::string_view tsql) {
  Translation found;
  if (!Cache().Find(tsql, found)) {
    found = TranslateUncached(tsql);
    Cache().Store(tsql, found);
  }
  if (!found.unsupported.empty()) throw Error::Unsupported(found.unsupported);
  return std::move(found.sql);
}

}  // namespace adodb::tsql
