#pragma once
// The keywords and operators the rewriter asks for, each known by a small number. The tokenizer
// gives each token its code as it reads it; asking whether the cursor stands at SELECT is then
// one comparison of a byte rather than of a word in capitals, and the parser asks that many times
// a token.
#include <iterator>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace adodb::tsql {

// Keywords in capitals, sorted, then the operators. Code 0 is neither.
inline constexpr std::string_view kCodedTokens[] = {
    "",
    // keywords
    "ALL", "ALTER", "AND", "ANSI_NULLS", "ANY", "APPLY", "AS", "ASC", "BEGIN", "BETWEEN", "BY", "CASE", "COLLATE",
    "COMMITTED", "CREATE", "CROSS", "CURSOR", "DECLARE", "DEFAULT", "DELETE", "DESC", "DISTINCT", "DROP", "ELSE", "END",
    "ESCAPE", "EXCEPT", "EXEC", "EXECUTE", "EXISTS", "FETCH", "FIRST", "FOR", "FROM", "FULL", "GROUP", "HAVING", "IF",
    "IN", "INNER", "INSERT", "INTERSECT", "INTO", "IS", "ISOLATION", "JOIN", "LEFT", "LEVEL", "LIKE", "MERGE", "NEXT",
    "NOCOUNT", "NOT", "NULL", "OFF", "OFFSET", "ON", "ONLY", "OPTION", "OR", "ORDER", "OUTER", "OUTPUT", "OVER",
    "PARTITION", "PERCENT", "PIVOT", "PRAGMA", "PRINT", "QUOTED_IDENTIFIER", "RANGE", "READ", "REPEATABLE", "RETURN",
    "RIGHT", "ROW", "ROWS", "SELECT", "SERIALIZABLE", "SET", "SNAPSHOT", "SOME", "TABLE", "TABLESAMPLE", "THEN", "TIES",
    "TOP", "TRANSACTION", "TRUNCATE", "UNCOMMITTED", "UNION", "UNPIVOT", "UPDATE", "VALUES", "WHEN", "WHERE", "WHILE",
    "WITH", "WITHIN",
    // operators
    "%", "(", ")", "*", "+", ",", "-", ".", "/", ";", "=", "~", "<", ">", "&", "|", "^",
    "<=", ">=", "<>", "!=", "!<", "!>",
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

// The code of a word that is a keyword (compared without regard to case), else 0.
std::uint8_t KeywordCode(std::string_view word);
// The code of a one-character operator, else 0.
std::uint8_t OperatorCode(char op);
// The code of an operator of any length, else 0.
std::uint8_t OperatorCode(std::string_view op);

}  // namespace adodb::tsql
