#pragma once
// The lexical layer of the T-SQL translator. NextToken() is a pure function: it looks at one
// position of a statement and returns the kind and byte length of the token that starts there,
// allocating nothing. Tokenize() walks a whole statement with it and keeps the tokens that carry
// meaning (spaces and comments are dropped). Never throws; text it cannot classify comes back as
// TokenKind::Illegal or TokenKind::Unterminated and the rewriter reports it.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace adodb::tsql {

enum class TokenKind : std::uint8_t {
  Space,         // blanks, tabs, line breaks
  Comment,       // -- to end of line, or /* ... */ (which nests, as in T-SQL)
  Word,          // identifier or keyword: letters, _, #, $ and every non-ASCII byte, then also digits and @
  Number,        // 12, 12.5, .5, 1E-05 (a number ends where a letter starts: "5where" is 5, where)
  Binary,        // 0x1F: hexadecimal digits after 0x
  String,        // '...' with '' as an embedded quote
  NString,       // N'...': the same text; SQLite strings are Unicode already
  BracketName,   // [name] with ]] as an embedded bracket
  QuotedName,    // "name" with "" as an embedded quote
  Variable,      // @name or @@name
  Operator,      // ( ) , . ; + - * / % = < > <= >= <> != !< !> & | ^ ~
  Parameter,     // ? or ?N: a value bound to the statement rather than written into it
  Unterminated,  // a string, name or comment without its closing mark
  Illegal,       // a character the dialect has no use for
};

// Sixteen bytes: the tokenizer writes one for every word and mark of a statement, and the
// rewriter reads each many times.
struct Token {
  // Leaves the token unwritten: Tokenize sizes its list before it writes the tokens into it.
  Token() {}
  Token(TokenKind kind, std::uint8_t code, bool marked, std::string_view text)
      : kind(kind), code(code), marked(marked), length(static_cast<std::uint32_t>(text.size())), data(text.data()) {}

  std::string_view text() const { return {data, length}; }

  TokenKind kind;
  std::uint8_t code;  // the keyword's or operator's TokenCode, or kRefused (see TokenCodes.h), else 0
  bool marked;        // a word holding #, $ or @, which SQLite reads as the start of a parameter

 private:
  std::uint32_t length;  // statements are far shorter than 4 GB (SQLite takes at most 1 GB)
  const char* data;
};
static_assert(sizeof(Token) == 16);

struct TokenExtent {
  TokenKind kind;
  std::size_t length;
};

// The token starting at sql[pos]; pos must be < sql.size().
TokenExtent NextToken(std::string_view sql, std::size_t pos) noexcept;

// Every token of the statement except spaces and comments, in order.
std::vector<Token> Tokenize(std::string_view sql);

}  // namespace adodb::tsql
