#include "browse/BillListQuery.h"

#include <array>
#include <string_view>
#include <vector>

#include "adodb/TextCompare.h"
#include "adodb/tsql/Tokenizer.h"
#include "host/SelectTemplates.h"

namespace storeadjust {

namespace {

using adodb::tsql::Token;
using adodb::tsql::TokenKind;

// A bill whose warehouse was removed from gl_stock is still listed (left joins), with the
// missing warehouse's name marked: hidden, no command of the browser could reach it, and its
// stock would still move when it is audited. So is a bill another program stored with its posted
// flag NULL, which every state test takes as not posted. The audit flags are shown as those tests
// take them too: a bill never audited (NULL) reads 0, as one audited and taken back does.
const std::string kFromClause =
    " From CKDBDZK  A left join gl_stock b on a.dcstockid = b.id left join gl_stock d on a.drstockid=d.id ";

// The name of the warehouse joined as `alias`, or the mark of one that is gone.
std::string WarehouseName(const char* alias) {
  return std::string("case when ") + alias + ".id is null then '[仓库已删除]' else " + alias + ".name end";
}

const std::string kTwoStepDefault =
    "Select A.LSH AS 流水号,A.KDRQ AS 开单日期,a.dcstockid as 拨出仓库编号," + WarehouseName("b") +
    " as 拨出仓库名称,a.drstockid as 拨入仓库编号," + WarehouseName("d") +
    " as 拨入仓库名称,A.BZ AS 备注,A.CZRY AS 操作人员,IsNull(A.PRESHBZ,0) AS 审核标志,A.PRESHRY AS 审核人员,"
    "IsNull(A.SHBZ,0) AS 确认标志,A.SHRY AS 确认人员 " +
    kFromClause + "Where IsNull(A.JZBZ,0) = 0 [选择条件] Order By A.LSH";

const std::string kOneStepDefault =
    "Select A.LSH AS 流水号,A.KDRQ AS 开单日期,a.dcstockid as 拨出仓库编号," + WarehouseName("b") +
    " as 拨出仓库名称,a.drstockid as 拨入仓库编号," + WarehouseName("d") +
    " as 拨入仓库名称,A.BZ AS 备注,A.CZRY AS 操作人员,IsNull(A.SHBZ,0) AS 审核标志,A.SHRY AS 审核人员 " + kFromClause +
    "Where IsNull(A.JZBZ,0)=0 [选择条件] Order By A.LSH";

bool IsWord(const Token& token, std::string_view word) {
  return token.kind == TokenKind::Word && adodb::SameName(token.text(), word);
}

bool IsOperator(const Token& token, std::string_view op) {
  return token.kind == TokenKind::Operator && token.text() == op;
}

// A name as the statement means it: without the brackets or quotes it may be written in.
std::string_view NameOf(const Token& token) {
  const bool marked = token.kind == TokenKind::BracketName || token.kind == TokenKind::QuotedName;
  return marked && token.text().size() >= 2 ? token.text().substr(1, token.text().size() - 2) : token.text();
}

// Words that may follow a table of a FROM clause, and so name no alias of it.
bool FollowsTableWithoutAlias(const Token& token) {
  constexpr std::array<std::string_view, 17> kWords = {"where", "inner", "left",  "right",  "full",      "cross",
                                                       "outer", "join",  "on",    "order",  "group",     "having",
                                                       "union", "with",  "except", "intersect", "option"};
  if (token.kind == TokenKind::BracketName || token.kind == TokenKind::QuotedName) return false;
  if (token.kind != TokenKind::Word) return true;
  for (std::string_view word : kWords) {
    if (adodb::SameName(token.text(), word)) return true;
  }
  return false;
}

// The name by which the query that holds "[选择条件]" knows the bill header table: its alias, or
// the table as written when it has none. Found among that query's own tables (from its SELECT to
// the placeholder, at the placeholder's depth of parentheses), so a ckdbdzk read inside a
// subquery, a derived table or a common table expression is not taken. Empty when the query
// reads no ckdbdzk of its own.
std::string HeaderTableName(const std::string& templateText) {
  const std::vector<Token> tokens = adodb::tsql::Tokenize(templateText);
  std::vector<int> depth(tokens.size(), 0);
  std::size_t placeholder = tokens.size();
  for (std::size_t i = 0, level = 0; i < tokens.size(); ++i) {
    if (IsOperator(tokens[i], ")") && level > 0) --level;
    depth[i] = static_cast<int>(level);
    if (IsOperator(tokens[i], "(")) ++level;
    if (placeholder == tokens.size() && tokens[i].kind == TokenKind::BracketName && tokens[i].text() == "[选择条件]") {
      placeholder = i;
    }
  }
  if (placeholder == tokens.size()) return {};
  const int level = depth[placeholder];
  std::size_t select = placeholder;
  auto startsQuery = [&](std::size_t i) { return depth[i] == level && IsWord(tokens[i], "select"); };
  while (select > 0 && depth[select - 1] >= level && !startsQuery(select - 1)) --select;
  for (std::size_t i = select; i < placeholder; ++i) {
    if (depth[i] != level || !adodb::SameName(NameOf(tokens[i]), "ckdbdzk")) continue;
    if (i == 0 || i + 1 >= tokens.size() || IsOperator(tokens[i + 1], ".")) continue;  // a column's qualifier
    const Token& before = tokens[i - 1];
    if (!IsWord(before, "from") && !IsWord(before, "join") && !IsOperator(before, ",") && !IsOperator(before, ".")) {
      continue;
    }
    std::size_t alias = i + 1;
    if (IsWord(tokens[alias], "as") && alias + 1 < tokens.size()) ++alias;
    const bool named = alias < placeholder && depth[alias] == level && !FollowsTableWithoutAlias(tokens[alias]);
    return std::string(named ? tokens[alias].text() : tokens[i].text());
  }
  return {};
}

}  // namespace

const char* BrowserTemplateName(BrowserLayout layout) {
  return layout == BrowserLayout::TwoStep ? "仓库调拨浏览1" : "仓库调拨浏览2";
}

const std::string& DefaultBrowserTemplate(BrowserLayout layout) {
  return layout == BrowserLayout::TwoStep ? kTwoStepDefault : kOneStepDefault;
}

std::string CompleteBrowserTemplate(const std::string& stored, const std::string& optCode, BrowserLayout layout) {
  std::string completed = SubstituteTemplateValue(stored, "[操作人员编号]", optCode);
  return completed.empty() ? DefaultBrowserTemplate(layout) : completed;
}

// A template written without "[选择条件]" has nowhere to take a condition: it would list every
// operator's bills to a clerk whose scope is his own, and a find would change nothing. The
// built-in list, which takes it, is read instead.
BoundSql BuildBrowserListQuery(const std::string& completedTemplate, const BoundSql& filter, BrowserLayout layout,
                               const BillListFind& find) {
  const bool takesCondition = completedTemplate.find("[选择条件]") != std::string::npos;
  const std::string& chosen =
      takesCondition || (filter.text.empty() && find.IsEmpty()) ? completedTemplate : DefaultBrowserTemplate(layout);
  const BoundSql narrowing = filter + FindCondition(find, HeaderTableName(chosen));
  BoundSql condition;
  if (!narrowing.text.empty()) {
    condition = {(layout == BrowserLayout::TwoStep ? "   " : "  ") + narrowing.text + " ", narrowing.values};
  }
  return FillSelectCondition(chosen, condition);
}

}  // namespace storeadjust
