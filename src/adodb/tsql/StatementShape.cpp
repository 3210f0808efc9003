#include "adodb/tsql/StatementShape.h"

#include <algorithm>
#include <charconv>
#include <deque>

#include "adodb/Error.h"
#include "adodb/tsql/Rewriter.h"

namespace adodb::tsql {
namespace {

bool IsLiteral(const Token& t) {
  return t.kind == TokenKind::Number || t.kind == TokenKind::String || t.kind == TokenKind::NString;
}

// Marks the place of a literal in the output; no token of a statement can hold these bytes
// outside a literal, and no literal holds them in the statements the template is checked on.
constexpr char kSlotOpen = '\x01';
constexpr char kSlotClose = '\x02';

std::string SlotMark(std::size_t literal) { return kSlotOpen + std::to_string(literal) + kSlotClose; }

// What the rewriter writes for a literal it passes through.
std::string_view LiteralOutput(const Token& t, std::string& scratch) {
  if (t.kind == TokenKind::NString) return t.text.substr(1);
  if (t.kind == TokenKind::Number && t.text.back() == '.') {
    scratch.assign(t.text);
    scratch += '0';
    return scratch;
  }
  return t.text;
}

std::vector<const Token*> Literals(const std::vector<Token>& tokens) {
  std::vector<const Token*> literals;
  for (const Token& t : tokens) {
    if (IsLiteral(t)) literals.push_back(&t);
  }
  return literals;
}

}  // namespace

std::string ShapeKey(const std::vector<Token>& tokens) {
  std::size_t size = 0;
  for (const Token& t : tokens) size += t.text.size() + 3;
  std::string key;
  key.reserve(size);
  for (const Token& t : tokens) {
    key += static_cast<char>('A' + static_cast<int>(t.kind));
    // A number's form matters to the rewriter's spacing and to its type: 5, 5.0 and 5. differ.
    if (t.kind == TokenKind::Number) {
      key += t.text.find('.') != std::string_view::npos ? (t.text.back() == '.' ? 'd' : 'f') : 'i';
      if (t.text.find_first_of("eE") != std::string_view::npos) key += 'e';
      if (t.text.front() == '.') key += 'p';
    } else if (!IsLiteral(t)) {
      key += t.text;
    }
    key += '\x1f';
  }
  return key;
}

std::optional<ShapeTemplate> ShapeTemplate::Derive(const std::vector<Token>& tokens,
                                                   const std::vector<std::size_t>& plainLiterals,
                                                   const std::string& translation) {
  // Every literal must have gone through as it stood, and no literal's value decided anything
  // (kValuesDecide is no position); a literal read twice (a part of the statement parsed again)
  // still counts once.
  std::vector<std::size_t> literalPositions;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (IsLiteral(tokens[i])) literalPositions.push_back(i);
  }
  std::vector<std::size_t> plain = plainLiterals;
  std::sort(plain.begin(), plain.end());
  plain.erase(std::unique(plain.begin(), plain.end()), plain.end());
  if (literalPositions.empty() || plain != literalPositions) return std::nullopt;
  const std::size_t literalCount = literalPositions.size();
  if (translation.find(kSlotOpen) != std::string::npos || translation.find(kSlotClose) != std::string::npos) {
    return std::nullopt;
  }

  // Translate once more with each literal replaced by its slot mark, then cut at the marks.
  std::deque<std::string> marks;
  std::vector<Token> marked = tokens;
  std::size_t literal = 0;
  for (Token& t : marked) {
    if (!IsLiteral(t)) continue;
    marks.push_back((t.kind == TokenKind::NString ? "N" : "") + SlotMark(literal++));
    t.text = marks.back();
  }
  std::string markedTranslation;
  try {
    markedTranslation = Rewrite(marked);
  } catch (const Error&) {
    return std::nullopt;
  }

  ShapeTemplate shape;
  std::size_t from = 0;
  while (true) {
    const std::size_t open = markedTranslation.find(kSlotOpen, from);
    if (open == std::string::npos) break;
    const std::size_t close = markedTranslation.find(kSlotClose, open);
    if (close == std::string::npos) return std::nullopt;
    shape.fragments_.push_back(markedTranslation.substr(from, open - from));
    shape.slots_.push_back(std::stoul(markedTranslation.substr(open + 1, close - open - 1)));
    if (shape.slots_.back() >= literalCount) return std::nullopt;
    from = close + 1;
  }
  shape.fragments_.push_back(markedTranslation.substr(from));
  if (shape.Fill(tokens) != translation) return std::nullopt;
  shape.parameterized_ = shape.fragments_.front();
  for (std::size_t i = 0; i < shape.slots_.size(); ++i) {
    shape.parameterized_ += "?" + std::to_string(shape.slots_[i] + 1) + shape.fragments_[i + 1];
  }
  return shape;
}

std::string ShapeTemplate::Fill(const std::vector<Token>& tokens) const {
  const std::vector<const Token*> literals = Literals(tokens);
  std::size_t size = 0;
  for (const std::string& fragment : fragments_) size += fragment.size();
  for (const Token* literal : literals) size += literal->text.size() + 1;
  std::string out;
  out.reserve(size);
  out += fragments_.front();
  std::string scratch;
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    out += LiteralOutput(*literals[slots_[i]], scratch);
    out += fragments_[i + 1];
  }
  return out;
}

namespace {

LiteralValue ValueOfLiteral(const Token& literal) {
  LiteralValue value;
  value.kind = LiteralValue::Kind::Text;
  if (literal.kind == TokenKind::Number) {
    const char* begin = literal.text.data();
    const char* end = begin + literal.text.size();
    // As SQLite reads a literal: digits alone are a whole number unless too large for 64 bits.
    if (literal.text.find_first_not_of("0123456789") == std::string_view::npos) {
      const auto read = std::from_chars(begin, end, value.integer);
      if (read.ec == std::errc() && read.ptr == end) {
        value.kind = LiteralValue::Kind::Integer;
        return value;
      }
    }
    value.kind = LiteralValue::Kind::Real;
    std::from_chars(begin, end, value.real);
    return value;
  }
  std::string_view quoted = literal.text;
  if (literal.kind == TokenKind::NString) quoted.remove_prefix(1);
  quoted = quoted.substr(1, quoted.size() - 2);
  value.text.reserve(quoted.size());
  for (std::size_t i = 0; i < quoted.size(); ++i) {
    value.text += quoted[i];
    if (quoted[i] == '\'' && i + 1 < quoted.size() && quoted[i + 1] == '\'') ++i;
  }
  return value;
}

}  // namespace

std::vector<LiteralValue> LiteralValues(const std::vector<Token>& tokens) {
  std::vector<LiteralValue> values;
  for (const Token& t : tokens) {
    if (IsLiteral(t)) values.push_back(ValueOfLiteral(t));
  }
  return values;
}

}  // namespace adodb::tsql
