#include "adodb/tsql/QueryHints.h"

#include <algorithm>
#include <array>
#include <string>

#include "adodb/TextCompare.h"
#include "adodb/tsql/Refusal.h"

namespace adodb::tsql {

namespace {

constexpr std::array<std::string_view, 21> kTableHints = {
    "FASTFIRSTROW", "FORCESCAN",     "FORCESEEK", "HOLDLOCK",       "INDEX",     "NOEXPAND",   "NOLOCK",
    "NOWAIT",       "PAGLOCK",       "READCOMMITTED", "READCOMMITTEDLOCK", "READPAST", "READUNCOMMITTED",
    "REPEATABLEREAD", "ROWLOCK",     "SERIALIZABLE", "SNAPSHOT",    "TABLOCK",   "TABLOCKX",   "UPDLOCK",
    "XLOCK",
};

constexpr std::array<std::string_view, 4> kJoinHints = {"HASH", "LOOP", "MERGE", "REMOTE"};

template <std::size_t N>
bool Holds(const std::array<std::string_view, N>& words, std::string_view word) {
  return std::any_of(words.begin(), words.end(), [&](std::string_view w) { return SameName(w, word); });
}

bool MayStandInHint(const Token& t) {
  switch (t.kind) {
    case TokenKind::Word:
    case TokenKind::BracketName:
    case TokenKind::QuotedName:
    case TokenKind::Number:
    case TokenKind::String:
    case TokenKind::NString:
      return true;
    case TokenKind::Operator:
      return t.text() == "," || t.text() == "=" || t.text() == "(" || t.text() == ")";
    default:
      return false;
  }
}

}  // namespace

std::size_t SkipHintList(const std::vector<Token>& tokens, std::size_t open, std::size_t end) {
  int depth = 0;
  for (std::size_t i = open; i < end; ++i) {
    const Token& t = tokens[i];
    if (!MayStandInHint(t)) Refuse("the hint near '" + std::string(t.text()) + "'");
    if (t.kind != TokenKind::Operator) continue;
    if (t.text() == "(") ++depth;
    if (t.text() == ")" && --depth == 0) return i + 1;
  }
  Refuse("an incomplete hint");
}

bool IsTableHint(std::string_view word) { return Holds(kTableHints, word); }

bool IsJoinHint(std::string_view word) { return Holds(kJoinHints, word); }

}  // namespace adodb::tsql
