#include "adodb/tsql/LikeMatch.h"

#include <utility>
#include <vector>

#include "adodb/TextCompare.h"

namespace adodb::tsql {
namespace {

// One position of a pattern: a run of any characters, or a test of one character.
struct PatternItem {
  enum Kind { AnyRun, AnyOne, Literal, Set };
  PatternItem(Kind k, char32_t c = 0) : kind(k), literal(c) {}

  Kind kind;
  char32_t literal;
  std::vector<std::pair<char32_t, char32_t>> ranges;  // Set: inclusive, folded
  bool negated = false;

  bool Matches(char32_t c) const {
    if (kind == AnyOne) return true;
    if (kind == Literal) return c == literal;
    bool inSet = false;
    for (const auto& [low, high] : ranges) inSet = inSet || (c >= low && c <= high);
    return inSet != negated;
  }
};

std::vector<char32_t> FoldedCharacters(std::string_view text, bool caseSensitive) {
  std::vector<char32_t> characters;
  for (std::size_t pos = 0; pos < text.size();) {
    const char32_t c = NextCharacter(text, pos);
    characters.push_back(caseSensitive ? c : FoldCase(c));
  }
  return characters;
}

// The set after a '[' at pattern[i]; false (and i unchanged) when no ']' closes it.
bool ReadSet(const std::vector<char32_t>& pattern, std::size_t& i, PatternItem& item) {
  std::size_t j = i + 1;
  item = PatternItem(PatternItem::Set);
  if (j < pattern.size() && pattern[j] == U'^') {
    item.negated = true;
    ++j;
  }
  const std::size_t first = j;
  for (; j < pattern.size() && (pattern[j] != U']' || j == first); ++j) {
    if (j + 2 < pattern.size() && pattern[j + 1] == U'-' && pattern[j + 2] != U']') {
      item.ranges.emplace_back(pattern[j], pattern[j + 2]);
      j += 2;
    } else {
      item.ranges.emplace_back(pattern[j], pattern[j]);
    }
  }
  if (j >= pattern.size()) return false;
  i = j;
  return true;
}

std::vector<PatternItem> Compile(const std::vector<char32_t>& pattern, std::optional<char32_t> escape) {
  std::vector<PatternItem> items;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char32_t c = pattern[i];
    PatternItem item(PatternItem::Literal, c);
    if (escape && c == *escape && i + 1 < pattern.size()) item.literal = pattern[++i];
    else if (c == U'%') item.kind = PatternItem::AnyRun;
    else if (c == U'_') item.kind = PatternItem::AnyOne;
    else if (c == U'[' && !ReadSet(pattern, i, item)) item = PatternItem(PatternItem::Literal, c);
    if (item.kind == PatternItem::AnyRun && !items.empty() && items.back().kind == PatternItem::AnyRun) continue;
    items.push_back(std::move(item));
  }
  return items;
}

}  // namespace

bool MatchesLike(std::string_view value, std::string_view pattern, std::optional<char32_t> escape, bool caseSensitive) {
  while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
  const std::vector<char32_t> text = FoldedCharacters(value, caseSensitive);
  if (escape && !caseSensitive) escape = FoldCase(*escape);
  const std::vector<PatternItem> items = Compile(FoldedCharacters(pattern, caseSensitive), escape);
  // Greedy matching that returns to the last % when a later item fails: each % is resumed at
  // most once per text position, so the work is bounded by text x pattern.
  std::size_t t = 0, p = 0;
  std::size_t starP = std::string_view::npos, starT = 0;
  while (t < text.size()) {
    if (p < items.size() && items[p].kind == PatternItem::AnyRun) {
      starP = p++;
      starT = t;
    } else if (p < items.size() && items[p].Matches(text[t])) {
      ++p;
      ++t;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      t = ++starT;
    } else {
      return false;
    }
  }
  while (p < items.size() && items[p].kind == PatternItem::AnyRun) ++p;
  return p == items.size();
}

}  // namespace adodb::tsql
