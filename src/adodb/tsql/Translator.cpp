#include "adodb/tsql/Translator.h"

#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "adodb/Error.h"
#include "adodb/tsql/Rewriter.h"
#include "adodb/tsql/StatementShape.h"
#include "adodb/tsql/Tokenizer.h"

namespace adodb::tsql {
namespace {

// Statements embed their values as literals, so the set of distinct texts grows without bound;
// a cache is emptied when it reaches this size rather than tracking recency.
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

// Translations by statement text: statements the shapes do not cover, and refusals.
Cache<Translation>& ByText() {
  static Cache<Translation> cache;
  return cache;
}

// Templates by statement shape: what the module sends for every line of a bill. Shared, so a hit
// copies no text.
Cache<std::shared_ptr<const ShapeTemplate>>& ByShape() {
  static Cache<std::shared_ptr<const ShapeTemplate>> cache;
  return cache;
}

Translation TranslateTokens(std::string_view tsql, const std::vector<Token>& tokens, const std::string& shape) {
  try {
    std::vector<std::size_t> plainLiterals;
    Translation translation{Rewrite(tokens, &plainLiterals), {}};
    if (auto made = ShapeTemplate::Derive(tokens, plainLiterals, translation.sql)) {
      ByShape().Store(shape, std::make_shared<const ShapeTemplate>(std::move(*made)));
    } else {
      ByText().Store(tsql, translation);
    }
    return translation;
  } catch (const Error& e) {
    if (e.Number() != errnum::kUnsupportedSql) throw;
    Translation refused{{}, e.Description()};
    ByText().Store(tsql, refused);
    return refused;
  }
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

// A statement with parameter marks is one text whatever its values: it is translated by its
// text, never by shape (its marks are no literals to slot).
std::string TranslateWithParameterMarks(std::string_view tsql) {
  const std::string numbered = NumberedParameterMarks(tsql);
  try {
    Translation translation{Rewrite(Tokenize(numbered)), {}};
    ByText().Store(tsql, translation);
    return translation.sql;
  } catch (const Error& e) {
    if (e.Number() != errnum::kUnsupportedSql) throw;
    ByText().Store(tsql, Translation{{}, e.Description()});
    throw;
  }
}

}  // namespace

std::string Translate(std::string_view tsql) { return TranslateShaped(tsql).Text(); }

ShapedTranslation TranslateShaped(std::string_view tsql) {
  Translation found;
  if (ByText().Find(tsql, found)) {
    if (!found.unsupported.empty()) throw Error::Unsupported(found.unsupported);
    return {std::move(found.sql), nullptr, {}};
  }
  if (HasParameterMarks(tsql)) return {TranslateWithParameterMarks(tsql), nullptr, {}};
  ShapedTranslation shaped;
  shaped.tokens = Tokenize(tsql);
  const std::string shape = ShapeKey(shaped.tokens);
  if (ByShape().Find(shape, shaped.shape)) return shaped;
  found = TranslateTokens(tsql, shaped.tokens, shape);
  if (!found.unsupported.empty()) throw Error::Unsupported(found.unsupported);
  shaped.sql = std::move(found.sql);
  if (!ByShape().Find(shape, shaped.shape)) shaped.tokens.clear();
  return shaped;
}

}  // namespace adodb::tsql
