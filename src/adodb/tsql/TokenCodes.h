#pragma once
// The keywords and operators the rewriter asks for, each known by a small number. The tokenizer
// gives each token its code as it reads it; asking whether the cursor stands at SELECT is then
// one comparison of a byte rather than of a word in capitals, and the parser asks that many times
// a token.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

namespace adodb::tsql {

// Keywords in capitals, sorted, then the operators. Code 0 is neither.
inline constexpr std::string_view kCodedTokens[] = {
    "",
    // keywords
    "ALL", "ALTER", "AND", "ANSI_NULLS", "ANY", "APPLY", "AS", "ASC", "BEGIN", "BETWEEN", "BY", "CASE", "COLLATE",
    "COMMITTED", "CREATE", "CROSS", "CURRENT_DATE", "CURRENT_TIME", "CURRENT_TIMESTAMP", "CURSOR", "DECLARE", "DEFAULT", "DELETE", "DESC", "DISTINCT", "DROP", "ELSE", "END",
    "ESCAPE", "EXCEPT", "EXEC", "EXECUTE", "EXISTS", "FALSE", "FETCH", "FIRST", "FOR", "FROM", "FULL", "GROUP", "HAVING", "IF",
    "IN", "INNER", "INSERT", "INTERSECT", "INTO", "IS", "ISOLATION", "JOIN", "LEFT", "LEVEL", "LIKE", "MERGE", "NEXT",
    "NOCOUNT", "NOT", "NULL", "OFF", "OFFSET", "ON", "ONLY", "OPTION", "OR", "ORDER", "OUTER", "OUTPUT", "OVER",
    "PARTITION", "PERCENT", "PIVOT", "PRAGMA", "PRINT", "QUOTED_IDENTIFIER", "RANGE", "READ", "REPEATABLE", "RETURN",
    "RIGHT", "ROW", "ROWS", "SELECT", "SERIALIZABLE", "SET", "SNAPSHOT", "SOME", "TABLE", "TABLESAMPLE", "THEN", "TIES",
    "TOP", "TRANSACTION", "TRUE", "TRUNCATE", "UNCOMMITTED", "UNION", "UNPIVOT", "UPDATE", "VALUES", "WHEN", "WHERE", "WHILE",
    "WITH", "WITHIN",
    // operators
    "%", "(", ")", "*", "+", ",", "-", ".", "/", ";", "=", "~", "<", ">", "&", "|", "^",
    "<=", ">=", "<>", "!=", "!<", "!>",
    // no token's text: the code of a token the rewriter refuses wherever it stands (see kRefused)
    "(refused)",
};

// A keyword or operator named in the rewriter's code; a name missing from the table does not compile.
struct TokenCode {
  template <std::size_t N>
  consteval TokenCode(const char (&name)[N]) : value(IndexOf(std::string_view(name, N - 1))) {}
  std::string_view Name() const { return kCodedTokens[value]; }
  std::uint8_t value;

 private:
  static consteval std::uint8_t IndexOf(std::string_view name) {
    for (std::size_t i = 1; i < std::size(kCodedTokens); ++i)
      if (kCodedTokens[i] == name) return static_cast<std::uint8_t>(i);
    throw "not a coded keyword or operator";
  }
};

// An unterminated literal or comment, a character the dialect has no use for, or a word
// starting with $ (T-SQL's money literal or pseudo-column, SQLite's parameter). Known by its code,
// the rewriter checks a whole statement for them with one comparison a token.
inline constexpr TokenCode kRefused("(refused)");

// The tables WordCode looks keywords up in.
namespace tokencodes {

constexpr std::size_t kFirstOperator = TokenCode("%").value;

constexpr std::size_t kLongestKeyword = [] {
  std::size_t longest = 0;
  for (std::size_t code = 1; code < kFirstOperator; ++code) longest = std::max(longest, kCodedTokens[code].size());
  return longest;
}();

// The keywords' codes ordered by first letter and length, and for each first letter and length
// where its keywords lie in that order: a word longer than eight bytes (see kShortKeyword) is
// compared with the one or two keywords of its shape.
constexpr std::array<std::uint8_t, kFirstOperator - 1> kKeywordsByShape = [] {
  std::array<std::uint8_t, kFirstOperator - 1> codes{};
  std::size_t next = 0;
  for (char letter = 'A'; letter <= 'Z'; ++letter)
    for (std::size_t length = 1; length <= kLongestKeyword; ++length)
      for (std::size_t code = 1; code < kFirstOperator; ++code)
        if (kCodedTokens[code][0] == letter && kCodedTokens[code].size() == length) codes[next++] = static_cast<std::uint8_t>(code);
  return codes;
}();

struct ShapeRange {
  std::uint8_t from = 0, to = 0;
};

constexpr std::array<std::array<ShapeRange, kLongestKeyword + 1>, 26> kShapeRanges = [] {
  std::array<std::array<ShapeRange, kLongestKeyword + 1>, 26> ranges{};
  for (std::size_t i = kKeywordsByShape.size(); i-- > 0;) {
    const std::string_view keyword = kCodedTokens[kKeywordsByShape[i]];
    ShapeRange& range = ranges[keyword[0] - 'A'][keyword.size()];
    if (range.to == 0) range.to = static_cast<std::uint8_t>(i + 1);
    range.from = static_cast<std::uint8_t>(i);
  }
  return ranges;
}();

// The word, past its first byte, is the keyword in capitals. Clearing bit 5 of a byte words are
// made of turns a-z into A-Z and leaves _ as it is, while digits, #, $, @ and the bytes of
// non-ASCII letters turn into nothing a keyword holds.
inline bool SameInCapitals(std::string_view word, std::string_view keyword) {
  for (std::size_t i = 1; i < word.size(); ++i)
    if ((static_cast<unsigned char>(word[i]) & 0xDF) != static_cast<unsigned char>(keyword[i])) return false;
  return true;
}

}  // namespace tokencodes

// Keywords of up to eight letters, the most of them, are found by one look-up in a table: the
// word's bytes read as one number, its letters in capitals, pick the table's slot.
namespace tokencodes {

constexpr std::size_t kShortKeyword = 8;

// A word's first eight bytes as one number, the first in the lowest byte, bytes past the word
// zero. Clearing bit 5 of every byte puts its letters in capitals (see SameInCapitals).
inline std::uint64_t CapitalsOf(std::uint64_t leadingBytes, std::size_t length) {
  const std::uint64_t inWord = length >= kShortKeyword ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * length)) - 1;
  return leadingBytes & inWord & 0xDFDFDFDFDFDFDFDFull;
}

constexpr std::array<std::uint64_t, kFirstOperator> kKeywordNumbers = [] {
  std::array<std::uint64_t, kFirstOperator> numbers{};
  for (std::size_t code = 1; code < kFirstOperator; ++code)
    if (kCodedTokens[code].size() <= kShortKeyword)
      for (std::size_t i = 0; i < kCodedTokens[code].size(); ++i)
        numbers[code] |= std::uint64_t{static_cast<unsigned char>(kCodedTokens[code][i])} << (8 * i);
  return numbers;
}();

// Chosen so that no two short keywords share a slot (checked below); a keyword added to the
// table may need another odd multiplier.
constexpr std::uint64_t kSlotMultiplier = 0xd402e7ead9a3ab7full;
constexpr unsigned kSlotBits = 9;

constexpr std::size_t SlotOf(std::uint64_t capitals) { return static_cast<std::size_t>((capitals * kSlotMultiplier) >> (64 - kSlotBits)); }

struct ShortKeywordSlots {
  std::array<std::uint8_t, std::size_t{1} << kSlotBits> codes{};
  bool clash = false;
};

constexpr ShortKeywordSlots kShortKeywordSlots = [] {
  ShortKeywordSlots slots;
  for (std::size_t code = 1; code < kFirstOperator; ++code) {
    if (kKeywordNumbers[code] == 0) continue;
    std::uint8_t& slot = slots.codes[SlotOf(kKeywordNumbers[code])];
    slots.clash |= slot != 0;
    slot = static_cast<std::uint8_t>(code);
  }
  return slots;
}();
static_assert(!kShortKeywordSlots.clash, "two short keywords share a slot: choose another kSlotMultiplier");

}  // namespace tokencodes

// The code of a word: the keyword's it is (compared without regard to case), kRefused for a word
// starting with $, else 0. `leadingBytes` are the word's first eight bytes as CapitalsOf takes
// them. Inline: the tokenizer asks it of every word.
inline std::uint8_t WordCode(std::string_view word, std::uint64_t leadingBytes) {
  if (word.size() <= tokencodes::kShortKeyword) {
    const std::uint64_t capitals = tokencodes::CapitalsOf(leadingBytes, word.size());
    const std::uint8_t code = tokencodes::kShortKeywordSlots.codes[tokencodes::SlotOf(capitals)];
    if (tokencodes::kKeywordNumbers[code] == capitals) return code;
    return word[0] == '$' ? kRefused.value : 0;
  }
  const unsigned first = static_cast<unsigned char>(word[0]) & 0xDF;
  if (first < 'A' || first > 'Z') return word[0] == '$' ? kRefused.value : 0;
  if (word.size() > tokencodes::kLongestKeyword) return 0;
  const tokencodes::ShapeRange range = tokencodes::kShapeRanges[first - 'A'][word.size()];
  for (std::size_t i = range.from; i < range.to; ++i)
    if (tokencodes::SameInCapitals(word, kCodedTokens[tokencodes::kKeywordsByShape[i]])) return tokencodes::kKeywordsByShape[i];
  return 0;
}

// The code of a one-character operator, else 0.
std::uint8_t OperatorCode(char op);
// The code of an operator of any length, else 0.
std::uint8_t OperatorCode(std::string_view op);

}  // namespace adodb::tsql
