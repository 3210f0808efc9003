#include "adodb/tsql/CommonTableExpressions.h"

#include "adodb/TextCompare.h"

namespace adodb::tsql {

namespace {

std::string_view Unquoted(const Token& t) {
  if (t.kind == TokenKind::BracketName || t.kind == TokenKind::QuotedName) return t.text.substr(1, t.text.size() - 2);
  return t.text;
}

}  // namespace

bool RefersToName(const std::vector<Token>& tokens, std::size_t from, std::size_t to, std::string_view bare) {
  for (std::size_t i = from; i < to; ++i) {
    const Token& t = tokens[i];
    const bool name = t.kind == TokenKind::Word || t.kind == TokenKind::BracketName || t.kind == TokenKind::QuotedName;
    if (name && SameName(Unquoted(t), bare)) return true;
  }
  return false;
}

std::string WithClause(const std::vector<CommonTable>& tables) {
  bool recursive = false;
  for (const CommonTable& t : tables) recursive = recursive || t.recursive;
  std::string clause = recursive ? "WITH RECURSIVE " : "WITH ";
  for (std::size_t i = 0; i < tables.size(); ++i) {
    const CommonTable& t = tables[i];
    if (i > 0) clause += ", ";
    clause += t.name + t.columns + " AS (" + t.query + ")";
  }
  return clause;
}

}  // namespace adodb::tsql
