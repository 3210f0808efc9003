#include "adodb/tsql/Translator.h"

#include <mutex>
#include <shared_mutex>
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

class TranslationCache {
 public:
  const Translation* Find(const std::string& key, Translation& copy) const {
    std::shared_lock lock(mutex_);
    const auto it = entries_.find(key);
    if (it == entries_.end()) return nullptr;
    copy = it->second;
    return &copy;
  }
  void Store(std::string key, Translation value) {
    std::unique_lock lock(mutex_);
    if (entries_.size() >= kCacheCapacity) entries_.clear();
    entries_.emplace(std::move(key), std::move(value));
  }

 private:
  mutable std::shared_mutex mutex_;
  std::unordered_map<std::string, Translation> entries_;
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
  std::string key(tsql);
  Translation found;
  if (!Cache().Find(key, found)) {
    found = TranslateUncached(tsql);
    Cache().Store(std::move(key), found);
  }
  if (!found.unsupported.empty()) throw Error::Unsupported(found.unsupported);
  return found.sql;
}

}  // namespace adodb::tsql
