#include "adodb/tsql/Tokenizer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "adodb/tsql/TokenCodes.h"

namespace adodb::tsql {
namespace {

enum CharClass : std::uint8_t {
  kSpace,     // blank, tab, CR, LF, VT, FF: separates tokens
  kDigit,     // 0-9: starts a number
  kIdent,     // letters, _, #, $ and bytes >= 0x80 (UTF-8 names such as 货号): start a word
  kN,         // N and n: start a word, or N'...' (so other words start without looking at the next byte)
  kQuote,     // ': starts a string literal
  kDQuote,    // ": starts a quoted name
  kBracket,   // [: starts a bracketed name
  kMinus,     // -: minus, or a -- comment
  kSlash,     // /: division, or a /* comment */
  kAt,        // @: starts a variable
  kDot,       // .: qualifier separator, or starts a number like .5
  kLess,      // <: <, <=, <>
  kGreater,   // >: >, >=
  kBang,      // !: only in !=, !<, !>
  kSingle,    // ( ) , ; + * % = & | ^ ~: one-character operators
  kQuestion,  // ?: a parameter mark, optionally numbered (?2)
  kIllegal,   // everything else (control characters, ` { } \ ...)
};

constexpr std::array<CharClass, 256> BuildClassTable() {
  std::array<CharClass, 256> table{};
  for (auto& c : table) c = kIllegal;
  for (int c = 0x80; c < 256; ++c) table[c] = kIdent;
  for (int c = 'a'; c <= 'z'; ++c) table[c] = kIdent;
  for (int c = 'A'; c <= 'Z'; ++c) table[c] = kIdent;
  for (int c = '0'; c <= '9'; ++c) table[c] = kDigit;
  table['_'] = table['#'] = table['$'] = kIdent;
  table['N'] = table['n'] = kN;
  table[' '] = table['\t'] = table['\r'] = table['\n'] = table['\v'] = table['\f'] = kSpace;
  table['\''] = kQuote;
  table['"'] = kDQuote;
  table['['] = kBracket;
  table['-'] = kMinus;
  table['/'] = kSlash;
  table['@'] = kAt;
  table['.'] = kDot;
  table['<'] = kLess;
  table['>'] = kGreater;
  table['!'] = kBang;
  table['?'] = kQuestion;
  for (char c : {'(', ')', ',', ';', '+', '*', '%', '=', '&', '|', '^', '~'}) table[static_cast<unsigned char>(c)] = kSingle;
  return table;
}

constexpr std::array<CharClass, 256> kClass = BuildClassTable();

CharClass ClassAt(std::string_view s, std::size_t i) {
  return i < s.size() ? kClass[static_cast<unsigned char>(s[i])] : kIllegal;
}

// The bytes a word may hold after its first (T-SQL's rule for regular identifiers lets in @), and
// which of them SQLite would read as the start of a parameter (#, $, @): a name holding one must
// be written quoted. 0 for a byte that ends a word.
constexpr std::uint8_t kPlainWordByte = 1, kMarkWordByte = 2;
constexpr std::array<std::uint8_t, 256> kWordByte = [] {
  std::array<std::uint8_t, 256> table{};
  for (int c = 0; c < 256; ++c) {
    if (kClass[c] == kIdent || kClass[c] == kN || kClass[c] == kDigit || kClass[c] == kAt) table[c] = kPlainWordByte;
  }
  table['#'] = table['$'] = table['@'] = kMarkWordByte;
  return table;
}();

// Length of a literal closed by `close`, where a doubled `close` stands for one; 0 if unclosed.
std::size_t DelimitedLength(std::string_view s, std::size_t pos, char close) {
  for (std::size_t i = pos + 1; i < s.size(); ++i) {
    if (s[i] != close) continue;
    if (i + 1 < s.size() && s[i + 1] == close) {
      ++i;
      continue;
    }
    return i + 1 - pos;
  }
  return 0;
}

TokenExtent Delimited(std::string_view s, std::size_t pos, char close, TokenKind kind) {
  const std::size_t n = DelimitedLength(s, pos, close);
  return n ? TokenExtent{kind, n} : TokenExtent{TokenKind::Unterminated, s.size() - pos};
}

// Digits, an optional fraction, and an exponent only when a digit follows the e (so "1else" is 1, else).
TokenExtent Number(std::string_view s, std::size_t pos) {
  std::size_t i = pos;
  while (ClassAt(s, i) == kDigit) ++i;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (ClassAt(s, i) == kDigit) ++i;
  }
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    if (ClassAt(s, j) == kDigit) {
      i = j;
      while (ClassAt(s, i) == kDigit) ++i;
    }
  }
  return {TokenKind::Number, i - pos};
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// 0x followed by any number of hexadecimal digits (none is T-SQL's empty binary value).
TokenExtent Binary(std::string_view s, std::size_t pos) {
  std::size_t i = pos + 2;
  while (i < s.size() && IsHexDigit(s[i])) ++i;
  return {TokenKind::Binary, i - pos};
}

// /* ... */ with every nested /* closed by its own */.
TokenExtent BlockComment(std::string_view s, std::size_t pos) {
  int depth = 0;
  for (std::size_t i = pos; i + 1 < s.size(); ++i) {
    if (s[i] == '/' && s[i + 1] == '*') {
      ++depth;
      ++i;
    } else if (s[i] == '*' && s[i + 1] == '/') {
      ++i;
      if (--depth == 0) return {TokenKind::Comment, i + 1 - pos};
    }
  }
  return {TokenKind::Unterminated, s.size() - pos};
}

// Words and blanks make up most of a statement: both are scanned by table, one byte a step.
// `seen` gathers the kinds of the word's bytes.
std::size_t WordEnd(std::string_view s, std::size_t i, std::uint8_t& seen) {
  for (; i < s.size(); ++i) {
    const std::uint8_t kind = kWordByte[static_cast<unsigned char>(s[i])];
    if (kind == 0) break;
    seen |= kind;
  }
  return i;
}

std::size_t WordEnd(std::string_view s, std::size_t i) {
  std::uint8_t seen = 0;
  return WordEnd(s, i, seen);
}

// The end of a word that is known to end before the statement does (see WordBound): no bounds
// check per byte, the byte that ends the word stops the scan. `seen` gathers its bytes' kinds.
std::size_t WordEndWithin(std::string_view s, std::size_t i, std::uint8_t& seen) {
  while (const std::uint8_t kind = kWordByte[static_cast<unsigned char>(s[i])]) {
    seen |= kind;
    ++i;
  }
  return i;
}

// One past the statement's last byte that is no part of a word (0 if there is none): a word
// starting before that byte ends at it or earlier.
std::size_t WordBound(std::string_view s) {
  std::size_t bound = s.size();
  while (bound > 0 && kWordByte[static_cast<unsigned char>(s[bound - 1])] != 0) --bound;
  return bound;
}

std::size_t SpaceEnd(std::string_view s, std::size_t i) {
  while (i < s.size() && kClass[static_cast<unsigned char>(s[i])] == kSpace) ++i;
  return i;
}

// The eight bytes from sql[pos] as one number, the first in the lowest byte; zero past the
// statement's end.
std::uint64_t EightBytesAt(std::string_view s, std::size_t pos) {
  static_assert(std::endian::native == std::endian::little, "keyword numbers hold a word's first byte lowest");
  std::uint64_t bytes = 0;
  if (s.size() - pos >= sizeof bytes) {
    std::memcpy(&bytes, s.data() + pos, sizeof bytes);
  } else {
    std::memcpy(&bytes, s.data() + pos, s.size() - pos);
  }
  return bytes;
}

// N'...' (or n'...'): a Unicode string literal, not a word N.
bool StartsNString(std::string_view s, std::size_t pos) {
  return (s[pos] == 'N' || s[pos] == 'n') && pos + 1 < s.size() && s[pos + 1] == '\'';
}

TokenExtent Scan(std::string_view s, std::size_t pos) noexcept {
  const char c = s[pos];
  const char next = pos + 1 < s.size() ? s[pos + 1] : '\0';
  switch (ClassAt(s, pos)) {
    case kSpace:
      return {TokenKind::Space, SpaceEnd(s, pos) - pos};
    case kDigit:
      if (c == '0' && (next == 'x' || next == 'X')) return Binary(s, pos);
      return Number(s, pos);
    case kIdent:
    case kN:
      if (StartsNString(s, pos)) {
        const TokenExtent str = Delimited(s, pos + 1, '\'', TokenKind::NString);
        return {str.kind, str.length + 1};
      }
      return {TokenKind::Word, WordEnd(s, pos) - pos};
    case kQuote:
      return Delimited(s, pos, '\'', TokenKind::String);
    case kDQuote:
      return Delimited(s, pos, '"', TokenKind::QuotedName);
    case kBracket:
      return Delimited(s, pos, ']', TokenKind::BracketName);
    case kMinus:
      if (next == '-') {
        const std::size_t eol = s.find('\n', pos);
        return {TokenKind::Comment, (eol == std::string_view::npos ? s.size() : eol) - pos};
      }
      return {TokenKind::Operator, 1};
    case kSlash:
      if (next == '*') return BlockComment(s, pos);
      return {TokenKind::Operator, 1};
    case kAt: {
      std::size_t i = pos + 1;
      if (i < s.size() && s[i] == '@') ++i;
      return {TokenKind::Variable, WordEnd(s, i) - pos};
    }
    case kDot:
      if (ClassAt(s, pos + 1) == kDigit) return Number(s, pos);
      return {TokenKind::Operator, 1};
    case kLess:
      return {TokenKind::Operator, (next == '=' || next == '>') ? 2u : 1u};
    case kGreater:
      return {TokenKind::Operator, next == '=' ? 2u : 1u};
    case kBang:
      if (next == '=' || next == '<' || next == '>') return {TokenKind::Operator, 2};
      return {TokenKind::Illegal, 1};
    case kSingle:
      return {TokenKind::Operator, 1};
    case kQuestion: {
      std::size_t i = pos + 1;
      while (ClassAt(s, i) == kDigit) ++i;
      return {TokenKind::Parameter, i - pos};
    }
    case kIllegal:
      break;
  }
  return {TokenKind::Illegal, 1};
}

// Of the tokens the general scanner reads, operators carry their code and those refused theirs.
std::uint8_t ScannedCode(const TokenExtent& t, std::string_view text) {
  if (t.kind == TokenKind::Operator) return OperatorCode(text);
  return t.kind == TokenKind::Unterminated || t.kind == TokenKind::Illegal ? kRefused.value : 0;
}

}  // namespace

TokenExtent NextToken(std::string_view s, std::size_t pos) noexcept { return Scan(s, pos); }

// Room for the tokens of a statement of `bytes` bytes, as a first guess. Statements hold about a
// token for every three bytes: a usual one (up to some 170 bytes) gets room for that, which keeps
// its list small enough for the allocator's cache of small blocks, several times cheaper than a
// larger block. A longer one gets room for a token every two bytes, as short names make
// ("a.hh=b.hh"), so that a long statement's list is seldom copied to a larger one.
std::size_t FirstRoom(std::size_t bytes) {
  constexpr std::size_t kUsualBytes = 170;
  return bytes <= kUsualBytes ? bytes / 3 + 8 : bytes / 2 + 8;
}

// Blanks, plain words and one-character operators (a qualifying dot too) make up most of a
// statement: they are taken here without the general scanner, which handles everything else. A
// token's bytes are taken by position, without substr's bounds check: every position here lies
// inside the statement. The tokens are written through a pointer into slots the list holds
// unwritten (see Token()), its room checked against a pointer kept in a register, the list
// doubled in the rare statement that needs more, and cut to the tokens written at the end.
std::vector<Token> Tokenize(std::string_view sql) {
  const std::size_t size = sql.size();
  std::vector<Token> tokens(FirstRoom(size));
  Token* next = tokens.data();
  Token* limit = next + tokens.size();
  const auto write = [&](const Token& token) {
    if (next == limit) [[unlikely]] {
      const std::size_t written = tokens.size();
      tokens.resize(2 * written);
      next = tokens.data() + written;
      limit = tokens.data() + tokens.size();
    }
    *next++ = token;
  };
  const auto piece = [&sql](std::size_t from, std::size_t length) { return std::string_view(sql.data() + from, length); };
  const std::size_t wordBound = WordBound(sql);
  for (std::size_t pos = 0; pos < size;) {
    const CharClass type = kClass[static_cast<unsigned char>(sql[pos])];
    if (type == kSpace) {
      pos = SpaceEnd(sql, pos + 1);
    } else if (type == kIdent || (type == kN && !StartsNString(sql, pos))) {
      std::uint8_t seen = kWordByte[static_cast<unsigned char>(sql[pos])];
      const std::size_t end = pos + 1 < wordBound ? WordEndWithin(sql, pos + 1, seen) : WordEnd(sql, pos + 1, seen);
      const std::string_view word = piece(pos, end - pos);
      write(Token(TokenKind::Word, WordCode(word, EightBytesAt(sql, pos)), (seen & kMarkWordByte) != 0, word));
      pos = end;
    } else if (type == kSingle || (type == kDot && ClassAt(sql, pos + 1) != kDigit)) {
      write(Token(TokenKind::Operator, OperatorCode(sql[pos]), false, piece(pos, 1)));
      ++pos;
    } else {
      const TokenExtent t = Scan(sql, pos);
      if (t.kind != TokenKind::Space && t.kind != TokenKind::Comment) {
        const std::string_view text = piece(pos, t.length);
        write(Token(t.kind, ScannedCode(t, text), false, text));
      }
      pos += t.length;
    }
  }
  tokens.resize(static_cast<std::size_t>(next - tokens.data()));
  return tokens;
}

}  // namespace adodb::tsql
