// Tokenize takes blanks, plain words and one-character operators by a fast path of its own and
// leaves the rest to the general scanner: on any text, what it returns must be exactly what
// walking the text with NextToken gives, so no statement is split differently by the shortcut;
// and each token's keyword or operator code and parameter mark must be what a plain search of
// the table in capitals finds.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "adodb/tsql/TokenCodes.h"
#include "adodb/tsql/Tokenizer.h"
#include "support/PropertyRuns.h"

namespace {

using adodb::tsql::Token;
using adodb::tsql::TokenKind;

std::uint8_t CodeBySearch(TokenKind kind, std::string_view text) {
  if (kind == TokenKind::Unterminated || kind == TokenKind::Illegal || (kind == TokenKind::Word && text[0] == '$'))
    return adodb::tsql::kRefused.value;
  if (kind != TokenKind::Word && kind != TokenKind::Operator) return 0;
  std::string capitals(text);
  for (char& c : capitals) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  for (std::size_t code = 1; code < std::size(adodb::tsql::kCodedTokens); ++code)
    if (adodb::tsql::kCodedTokens[code] == capitals) return static_cast<std::uint8_t>(code);
  return 0;
}

std::vector<Token> TokensByNextToken(std::string_view sql) {
  std::vector<Token> tokens;
  for (std::size_t pos = 0; pos < sql.size();) {
    const adodb::tsql::TokenExtent t = adodb::tsql::NextToken(sql, pos);
    const std::string_view text = sql.substr(pos, t.length);
    const bool marked = t.kind == TokenKind::Word && text.find_first_of("#$@") != std::string_view::npos;
    if (t.kind != TokenKind::Space && t.kind != TokenKind::Comment) tokens.push_back({t.kind, CodeBySearch(t.kind, text), marked, text});
    pos += t.length;
  }
  return tokens;
}

std::string Described(const std::vector<Token>& tokens) {
  std::string text;
  for (const Token& t : tokens)
    text += std::to_string(static_cast<int>(t.kind)) + "/" + std::to_string(t.code) + (t.marked ? "#" : "") + ":" + std::string(t.text()) + "|";
  return text;
}

// Pieces that meet at every kind of boundary: N'..' against a word ending in N, @ inside a word,
// comments, unterminated literals, numbers running into words, a Chinese name, and keywords
// short and long that pieces run together into (e+nd) or out of (ordere).
const std::vector<std::string> kPieces = {
    "N", "n", "'", "''", "a", "Nx", "_#", "$", "@", "@@", "货号", "0", "0x1F", "1.5", ".", "5e", "-", "--", "/", "*", "/*",
    "*/", "[", "]", "\"", " ", "\t", "\n", "(", ")", ",", ";", "+", "=", "<", ">", "!", "?", "?2", "`", "\x01", "\xff",
    "select", "SeLeCt", "in", "IS", "quoted_identifier", "e", "nd", "Order", "transaction", "<=", "!>", "<>", "%", "|"};

TEST(TokenizerTest, TokenizeSplitsAnyTextAsNextTokenDoes) {
  testsupport::RunSeeds({1, 2, 3}, [](unsigned seed) -> std::string {
    testsupport::RandomDraws draws(seed);
    for (int statement = 0; statement < 2000; ++statement) {
      std::string sql;
      for (std::size_t n = draws.Index(24); n > 0; --n) sql += draws.Pick(kPieces);
      const std::string fast = Described(adodb::tsql::Tokenize(sql)), walked = Described(TokensByNextToken(sql));
      if (fast != walked) return "text [" + sql + "]: Tokenize gave " + fast + " and NextToken " + walked;
    }
    return "";
  });
}

}  // namespace
