#include "adodb/tsql/TokenCodes.h"

#include <algorithm>
#include <array>

namespace adodb::tsql {
namespace {

constexpr std::size_t kFirstOperator = TokenCode("%").value;

constexpr std::size_t kLongestKeyword = [] {
  std::size_t longest = 0;
  for (std::size_t code = 1; code < kFirstOperator; ++code) longest = std::max(longest, kCodedTokens[code].size());
  return longest;
}();

// The keywords' codes ordered by first letter and length, and for each first letter and length
// where its keywords lie in that order: most words are names, which no keyword shares both with,
// and a keyword is compared with the one or two others of its shape.
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

constexpr std::array<std::uint8_t, 256> kOperatorCodes = [] {
  std::array<std::uint8_t, 256> codes{};
  for (std::size_t code = kFirstOperator; code < std::size(kCodedTokens); ++code)
    if (kCodedTokens[code].size() == 1) codes[static_cast<unsigned char>(kCodedTokens[code][0])] = static_cast<std::uint8_t>(code);
  return codes;
}();

// A word's byte in capitals, for the bytes words are made of: clearing bit 5 turns a-z into A-Z
// and leaves _ as it is, while digits, #, $, @ and the bytes of non-ASCII letters turn into
// nothing a keyword holds.
bool SameInCapitals(std::string_view word, std::string_view keyword) {
  for (std::size_t i = 1; i < word.size(); ++i)
    if ((static_cast<unsigned char>(word[i]) & 0xDF) != static_cast<unsigned char>(keyword[i])) return false;
  return true;
}

}  // namespace

std::uint8_t KeywordCode(std::string_view word) {
  const unsigned first = static_cast<unsigned char>(word[0]) & 0xDF;
  if (first < 'A' || first > 'Z' || word.size() > kLongestKeyword) return 0;
  const ShapeRange range = kShapeRanges[first - 'A'][word.size()];
  for (std::size_t i = range.from; i < range.to; ++i)
    if (SameInCapitals(word, kCodedTokens[kKeywordsByShape[i]])) return kKeywordsByShape[i];
  return 0;
}

std::uint8_t OperatorCode(char op) { return kOperatorCodes[static_cast<unsigned char>(op)]; }

std::uint8_t OperatorCode(std::string_view op) {
  if (op.size() == 1) return OperatorCode(op[0]);
  for (std::size_t code = kFirstOperator; code < std::size(kCodedTokens); ++code)
    if (kCodedTokens[code] == op) return static_cast<std::uint8_t>(code);
  return 0;
}

}  // namespace adodb::tsql
