#include "adodb/tsql/Rewriter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>

#include "adodb/Error.h"
#include "adodb/TextCompare.h"
#include "adodb/tsql/AdditiveChain.h"
#include "adodb/tsql/DatePartRules.h"
#include "adodb/tsql/FunctionRules.h"
#include "adodb/tsql/WindowFunctions.h"

namespace adodb::tsql {
namespace {

// Words that end an expression, a select item or a table source, so they are never taken for an alias.
// Sorted, so that a word is looked up by binary search: the check runs for almost every name.
constexpr std::array<std::string_view, 38> kReserved = {
    "AND", "AS", "ASC", "BETWEEN", "COLLATE", "CROSS", "DESC", "ELSE", "END", "EXCEPT", "FOR", "FROM", "FULL",
    "GROUP", "HAVING", "IN", "INNER", "INTERSECT", "INTO", "IS", "JOIN", "LEFT", "LIKE", "NOT", "ON",
    "OPTION", "OR", "ORDER", "OUTER", "RIGHT", "SELECT", "SET", "THEN", "UNION", "VALUES", "WHEN", "WHERE",
    "WITH",
};
static_assert(std::is_sorted(kReserved.begin(), kReserved.end()));
constexpr std::size_t kLongestReserved =
    std::max_element(kReserved.begin(), kReserved.end(), [](auto a, auto b) { return a.size() < b.size(); })->size();

// For each first letter, the lengths of the reserved words that start with it (bit n for length
// n): one lookup rules out most names before any comparison.
constexpr std::array<std::uint16_t, 26> kReservedLengths = [] {
  std::array<std::uint16_t, 26> lengths{};
  for (std::string_view r : kReserved) lengths[r[0] - 'A'] |= static_cast<std::uint16_t>(1u << r.size());
  return lengths;
}();

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsReserved(std::string_view word) {
  if (word.empty() || word.size() > kLongestReserved) return false;
  const char first = UpperAscii(word[0]);
  if (first < 'A' || first > 'Z' || !((kReservedLengths[first - 'A'] >> word.size()) & 1u)) return false;
  std::array<char, kLongestReserved> upper{};
  std::transform(word.begin(), word.end(), upper.begin(), UpperAscii);
  return std::binary_search(kReserved.begin(), kReserved.end(), std::string_view(upper.data(), word.size()));
}

// Comparison operators, with T-SQL's extra spellings mapped to SQLite's.
constexpr std::array<std::pair<std::string_view, std::string_view>, 9> kComparisons = {{
    {"=", "="}, {"<>", "<>"}, {"!=", "<>"}, {"<", "<"}, {">", ">"}, {"<=", "<="}, {">=", ">="}, {"!<", ">="}, {"!>", "<="},
}};

// A name as written in T-SQL, in the form SQLite reads: [x] becomes "x".
std::string QuoteName(std::string_view inner) {
  std::string out = "\"";
  for (char c : inner) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

std::string Unbracket(std::string_view bracketed) {
  std::string inner;
  for (std::size_t i = 1; i + 1 < bracketed.size(); ++i) {
    inner += bracketed[i];
    if (bracketed[i] == ']') ++i;
  }
  return inner;
}

bool IsName(const Token& t) {
  return t.kind == TokenKind::Word || t.kind == TokenKind::BracketName || t.kind == TokenKind::QuotedName;
}

// The name without its quoting, for comparing a target with the aliases of a FROM clause.
std::string BareName(const Token& t) {
  if (t.kind == TokenKind::BracketName) return Unbracket(t.text);
  if (t.kind == TokenKind::QuotedName) return std::string(t.text.substr(1, t.text.size() - 2));
  return std::string(t.text);
}

// Literals keep their text; N'..' loses the N; bracketed names become double-quoted names; a
// number ending in its point gets a zero, so a keyword run into it ("1.from") stays a keyword.
std::string Normalize(const Token& t) {
  if (t.kind == TokenKind::NString) return std::string(t.text.substr(1));
  if (t.kind == TokenKind::Number && t.text.back() == '.') return std::string(t.text) + "0";
  if (t.kind == TokenKind::BracketName) return QuoteName(Unbracket(t.text));
  return std::string(t.text);
}

// True for the tokens Normalize writes as they are, which can then be emitted without a copy.
bool KeepsItsText(const Token& t) {
  return t.kind != TokenKind::NString && t.kind != TokenKind::BracketName &&
         !(t.kind == TokenKind::Number && t.text.back() == '.');
}

// The translation is built with single blanks between pieces; none belongs at its ends. Trimmed
// in place, since the text is usually the whole statement.
std::string Trim(std::string s) {
  const std::size_t last = s.find_last_not_of(' ');
  s.erase(last == std::string::npos ? 0 : last + 1);
  s.erase(0, s.find_first_not_of(' '));
  return s;
}

struct NameRef {
  std::string emitted;  // as written into the output
  std::string bare;     // unquoted, for matching
};

// Each level of parentheses, call, subquery, NOT or sign costs a few stack frames of the rewriter:
// deeper text is refused long before it could exhaust the stack, also in a sanitizer build whose
// frames are several times larger (SQL Server stops at 32 levels, SQLite's parser near 100).
constexpr int kMaxNesting = 500;

// The server's text comparison, for comparisons SQLite would otherwise make byte by byte.
constexpr std::string_view kCollate = "COLLATE TSQL";

struct SourceRef {
  NameRef table;  // empty for a derived table
  NameRef alias;  // empty when the table is used under its own name
  const NameRef& Reference() const { return alias.bare.empty() ? table : alias; }
};

class Rewriter {
 public:
  Rewriter(const std::vector<Token>& tokens, std::vector<std::size_t>* plainLiterals)
      : tokens_(tokens), end_(tokens.size()), plainLiterals_(plainLiterals) {}

  std::string Statement() {
    ReserveOutput();
    RejectUnsupportedTokens();
    if (end_ == 0) Fail("an empty statement");
    if (AtWord("SELECT")) {
      Select();
    } else if (AtWord("INSERT")) {
      Insert();
    } else if (AtWord("UPDATE")) {
      Update();
    } else if (AtWord("DELETE")) {
      Delete();
    } else if (AtWord("TRUNCATE")) {
      Truncate();
    } else if (AtWord("CREATE") || AtWord("DROP") || AtWord("ALTER") || AtWord("PRAGMA")) {
      PassThrough();
    } else {
      Fail("the statement " + std::string(tokens_[0].text));
    }
    if (pos_ < end_) Unexpected();
    return Trim(std::move(out_));
  }

 private:
  // ---- cursor --------------------------------------------------------------------------------
  const Token* Peek(std::size_t ahead = 0) const { return pos_ + ahead < end_ ? &tokens_[pos_ + ahead] : nullptr; }
  bool AtWord(std::string_view keyword, std::size_t ahead = 0) const {
    const Token* t = Peek(ahead);
    return t && t->kind == TokenKind::Word && t->text.size() == keyword.size() && SameName(t->text, keyword);
  }
  bool AtOp(std::string_view op, std::size_t ahead = 0) const {
    const Token* t = Peek(ahead);
    return t && t->kind == TokenKind::Operator && t->text == op;
  }
  bool AtName(std::size_t ahead = 0) const {
    const Token* t = Peek(ahead);
    return t && IsName(*t) && !(t->kind == TokenKind::Word && IsReserved(t->text));
  }
  bool AcceptWord(std::string_view keyword) { return AtWord(keyword) ? (++pos_, true) : false; }
  bool AcceptOp(std::string_view op) { return AtOp(op) ? (++pos_, true) : false; }
  void ExpectWord(std::string_view keyword) {
    if (!AcceptWord(keyword)) Unexpected();
  }
  void ExpectOp(std::string_view op) {
    if (!AcceptOp(op)) Unexpected();
  }
  const Token& Take() {
    if (pos_ >= end_) Fail("an incomplete statement");
    return tokens_[pos_++];
  }
  [[noreturn]] static void Fail(const std::string& construct) {
    throw Error::Unsupported("T-SQL translator: " + construct + " is not supported");
  }
  // Counts one level of nesting for as long as it lives.
  class Nested {
   public:
    explicit Nested(Rewriter& r) : depth_(r.depth_) {
      if (++depth_ > kMaxNesting) Fail("a statement nested more than " + std::to_string(kMaxNesting) + " levels deep");
    }
    ~Nested() { --depth_; }
    Nested(const Nested&) = delete;
    Nested& operator=(const Nested&) = delete;

   private:
    int& depth_;
  };
  [[noreturn]] void Unexpected() const {
    if (pos_ >= end_) Fail("an incomplete statement");
    Fail("the text near '" + std::string(tokens_[pos_].text) + "'");
  }

  // A single statement: one trailing ';' is allowed; variables and broken literals are refused.
  void RejectUnsupportedTokens() {
    if (end_ > 0 && tokens_[end_ - 1].kind == TokenKind::Operator && tokens_[end_ - 1].text == ";") --end_;
    for (std::size_t i = 0; i < end_; ++i) {
      const Token& t = tokens_[i];
      if (t.kind == TokenKind::Variable) Fail("the variable " + std::string(t.text));
      if (t.kind == TokenKind::Unterminated) Fail("an unterminated literal or comment");
      if (t.kind == TokenKind::Illegal) Fail("the character '" + std::string(t.text) + "'");
      if (t.kind == TokenKind::Operator && t.text == ";") Fail("more than one statement in a command");
    }
  }

  // ---- output --------------------------------------------------------------------------------
  // The translation is about as long as the statement plus the COLLATE clauses and calls it adds:
  // reserving that once spares the buffer its regrowths.
  void ReserveOutput() {
    std::size_t size = 0;
    for (const Token& t : tokens_) size += t.text.size() + 1;
    out_.reserve(size + size / 2);
  }
  void Emit(std::string_view piece) {
    if (piece.empty()) return;
    if (!out_.empty()) {
      const char last = out_.back();
      const bool glue = last == '(' || last == '.' || last == ' ' || piece[0] == ')' || piece[0] == ',' || piece[0] == '.';
      if (!glue) out_ += ' ';
    }
    out_ += piece;
  }
  void EmitToken(const Token& t) {
    if (KeepsItsText(t)) return Emit(t.text);
    Emit(Normalize(t));
  }
  template <class F>
  std::string Capture(F&& produce) {
    std::string saved;
    std::swap(saved, out_);
    produce();
    std::swap(saved, out_);
    return Trim(std::move(saved));
  }

  // ---- statements ----------------------------------------------------------------------------

  // Schema statements carry no T-SQL semantics the module relies on: tokens are only normalised.
  void PassThrough() {
    while (pos_ < end_) EmitToken(Take());
  }

  // TRUNCATE TABLE t empties the table: DELETE FROM t.
  void Truncate() {
    ExpectWord("TRUNCATE");
    ExpectWord("TABLE");
    Emit("DELETE FROM " + TableName().emitted);
  }

  // SELECT: select cores joined by set operators, then ORDER BY, then the LIMIT that TOP asked for.
  // TOP in one member of a UNION limits that member only, which LIMIT cannot express: refused.
  void Select() {
    const Nested level(*this);
    std::optional<std::string> top;
    int cores = 0;
    do {
      if (cores > 0) SetOperator();
      if (auto coreTop = SelectCore()) top = coreTop;
      ++cores;
    } while (AtWord("UNION") || AtWord("EXCEPT") || AtWord("INTERSECT"));
    if (top && cores > 1) Fail("TOP in a UNION");
    if (AcceptWord("ORDER")) {
      ExpectWord("BY");
      Emit("ORDER BY");
      OrderItems();
    }
    if (top) Emit("LIMIT " + *top);
  }

  void SetOperator() {
    Emit(AcceptWord("UNION") ? "UNION" : AcceptWord("EXCEPT") ? "EXCEPT" : (ExpectWord("INTERSECT"), "INTERSECT"));
    if (AcceptWord("ALL")) Emit("ALL");
  }

  std::optional<std::string> SelectCore() {
    ExpectWord("SELECT");
    Emit("SELECT");
    std::optional<std::string> top;
    for (int i = 0; i < 2; ++i) {
      if (AcceptWord("DISTINCT")) Emit("DISTINCT");
      if (AcceptWord("ALL")) Emit("ALL");
      if (AcceptWord("TOP")) top = TopCount();
    }
    SelectList();
    if (AtWord("INTO")) Fail("SELECT ... INTO");
    if (AcceptWord("FROM")) {
      Emit("FROM");
      TableSources(nullptr);
    }
    if (AcceptWord("WHERE")) {
      Emit("WHERE");
      Expr();
    }
    if (AcceptWord("GROUP")) {
      ExpectWord("BY");
      Emit("GROUP BY");
      ExprList();
    }
    if (AcceptWord("HAVING")) {
      Emit("HAVING");
      Expr();
    }
    return top;
  }

  // TOP n or TOP (n), a whole number; PERCENT and WITH TIES have no LIMIT equivalent.
  std::string TopCount() {
    const bool parenthesized = AcceptOp("(");
    const Token& n = Take();
    if (n.kind != TokenKind::Number || n.text.find_first_not_of("0123456789") != std::string_view::npos)
      Fail("TOP with a count other than a whole number");
    if (parenthesized) ExpectOp(")");
    if (AtWord("PERCENT")) Fail("TOP ... PERCENT");
    if (AtWord("WITH") && AtWord("TIES", 1)) Fail("TOP ... WITH TIES");
    return std::string(n.text);
  }

  void SelectList() {
    do SelectItem();
    while (AcceptOp(",") && (Emit(","), true));
  }

  // A select item: *, t.*, or an expression with an optional alias. T-SQL's "alias = expression"
  // would read as a comparison in SQLite: refused.
  void SelectItem() {
    if (AcceptOp("*")) return Emit("*");
    if (AtName() && AtOp(".", 1) && AtOp("*", 2)) {
      EmitToken(Take());
      pos_ += 2;
      return Emit(".*");
    }
    if ((AtName() || (Peek() && Peek()->kind == TokenKind::String)) && AtOp("=", 1))
      Fail("the select-list form alias = expression");
    Expr();
    Alias();
  }

  void Alias() {
    if (AcceptWord("AS")) {
      const Token& t = Take();
      if (!IsName(t) && t.kind != TokenKind::String && t.kind != TokenKind::NString) Unexpected();
      Emit("AS");
      return EmitToken(t);
    }
    if (AtName() || (Peek() && (Peek()->kind == TokenKind::String || Peek()->kind == TokenKind::NString))) {
      Emit("AS");
      EmitToken(Take());
    }
  }

  void OrderItems() {
    do {
      Expr();
      if (AcceptWord("ASC")) Emit("ASC");
      else if (AcceptWord("DESC")) Emit("DESC");
    } while (AcceptOp(",") && (Emit(","), true));
  }

  // INSERT [INTO] t [(columns)] VALUES (...), ... | SELECT ... | DEFAULT VALUES.
  void Insert() {
    ExpectWord("INSERT");
    AcceptWord("INTO");
    Emit("INSERT INTO " + TableName().emitted);
    if (AtOp("(") && !AtWord("SELECT", 1)) {
      ++pos_;
      Emit("(");
      do {
        if (!AtName()) Unexpected();
        EmitToken(Take());
      } while (AcceptOp(",") && (Emit(","), true));
      ExpectOp(")");
      Emit(")");
    }
    if (AcceptWord("VALUES")) {
      Emit("VALUES");
      do {
        ExpectOp("(");
        Emit("(");
        ExprList();
        ExpectOp(")");
        Emit(")");
      } while (AcceptOp(",") && (Emit(","), true));
    } else if (AtWord("SELECT")) {
      Select();
    } else if (AcceptOp("(")) {
      Select();
      ExpectOp(")");
    } else if (AcceptWord("DEFAULT")) {
      ExpectWord("VALUES");
      Emit("DEFAULT VALUES");
    } else {
      Unexpected();
    }
  }

  struct Assignment {
    std::string column;
    std::string value;
  };

  // UPDATE target SET [target.]col = expr, ... [FROM sources] [WHERE condition].
  // Without FROM the statement keeps its shape. With FROM naming the target (by alias or name) the
  // joined rows are found by rowid and the new values read from the same join for that row:
  //   UPDATE t AS tsql_target SET (c, ...) = (SELECT v, ... FROM sources WHERE ref.rowid = tsql_target.rowid
  //   AND (condition)) WHERE tsql_target.rowid IN (SELECT ref.rowid FROM sources WHERE condition)
  // which keeps LEFT JOIN rows without a partner and, like SQL Server, uses one joined row per target row.
  // With FROM not naming the target, SQLite's own UPDATE ... FROM has SQL Server's meaning.
  void Update() {
    ExpectWord("UPDATE");
    if (AtWord("TOP")) Fail("UPDATE TOP");
    const NameRef target = TableName();
    SkipTableHints();
    ExpectWord("SET");
    std::vector<Assignment> assignments;
    do assignments.push_back(ParseAssignment(target));
    while (AcceptOp(","));
    std::vector<SourceRef> sources;
    std::string from, where;
    if (AcceptWord("FROM")) from = Capture([&] { TableSources(&sources); });
    if (AcceptWord("WHERE")) where = Capture([&] { Expr(); });

    const SourceRef* joined = FindTarget(sources, target);
    std::string setList;
    for (const Assignment& a : assignments) setList += (setList.empty() ? "" : ", ") + a.column + " = " + a.value;
    if (from.empty() || !joined) {
      Emit("UPDATE " + target.emitted + " SET " + setList);
      if (!from.empty()) Emit("FROM " + from);
      if (!where.empty()) Emit("WHERE " + where);
      return;
    }
    std::string columns, values;
    for (const Assignment& a : assignments) {
      columns += (columns.empty() ? "" : ", ") + a.column;
      values += (values.empty() ? "" : ", ") + a.value;
    }
    const std::string ref = joined->Reference().emitted;
    const std::string lhs = assignments.size() == 1 ? columns : "(" + columns + ")";
    Emit("UPDATE " + joined->table.emitted + " AS tsql_target SET " + lhs + " = (SELECT " + values + " FROM " + from +
         " WHERE " + ref + ".rowid = tsql_target.rowid" + (where.empty() ? "" : " AND (" + where + ")") +
         ") WHERE tsql_target.rowid IN (SELECT " + ref + ".rowid FROM " + from +
         (where.empty() ? "" : " WHERE " + where) + ")");
  }

  // SET target.col = value: the qualifier, if any, must name the target.
  Assignment ParseAssignment(const NameRef& target) {
    if (!AtName()) Unexpected();
    const Token* column = &Take();
    if (AcceptOp(".")) {
      if (!SameName(BareName(*column), target.bare)) Fail("SET of a column qualified by another table");
      if (!AtName()) Unexpected();
      column = &Take();
    }
    ExpectOp("=");
    return {Normalize(*column), Capture([&] { Expr(); })};
  }

  // DELETE [FROM] target [FROM sources] [WHERE condition]. With a second FROM the rows to delete
  // are those of the target that the join yields: DELETE FROM t WHERE rowid IN (SELECT ref.rowid ...).
  void Delete() {
    ExpectWord("DELETE");
    if (AtWord("TOP")) Fail("DELETE TOP");
    AcceptWord("FROM");
    const NameRef target = TableName();
    SkipTableHints();
    std::vector<SourceRef> sources;
    std::string from, where;
    if (AcceptWord("FROM")) from = Capture([&] { TableSources(&sources); });
    if (AcceptWord("WHERE")) where = Capture([&] { Expr(); });
    const std::string condition = where.empty() ? "" : " WHERE " + where;
    if (from.empty()) return Emit("DELETE FROM " + target.emitted + condition);
    if (const SourceRef* joined = FindTarget(sources, target))
      return Emit("DELETE FROM " + joined->table.emitted + " WHERE rowid IN (SELECT " + joined->Reference().emitted +
                  ".rowid FROM " + from + condition + ")");
    Emit("DELETE FROM " + target.emitted + " WHERE rowid IN (SELECT " + target.emitted + ".rowid FROM " +
         target.emitted + ", " + from + condition + ")");
  }

  // The FROM clause's instance of the target: the source it names by alias or by table name, or,
  // when the target is a table the FROM clause holds once under an alias, that aliased source (as
  // SQL Server reads UPDATE t ... FROM t AS a). Null when the FROM clause does not hold it.
  static const SourceRef* FindTarget(const std::vector<SourceRef>& sources, const NameRef& target) {
    if (const SourceRef* named = FindSource(sources, target, &SourceRef::Reference)) return named;
    return FindSource(sources, target, [](const SourceRef& s) -> const NameRef& { return s.table; });
  }

  template <class NameOf>
  static const SourceRef* FindSource(const std::vector<SourceRef>& sources, const NameRef& target, NameOf nameOf) {
    const SourceRef* found = nullptr;
    for (const SourceRef& s : sources) {
      if (!SameName(std::invoke(nameOf, s).bare, target.bare)) continue;
      if (found) Fail("an ambiguous UPDATE/DELETE target");
      if (s.table.bare.empty()) Fail("UPDATE/DELETE through a derived table");
      found = &s;
    }
    return found;
  }

  // ---- FROM clause ---------------------------------------------------------------------------

  void TableSources(std::vector<SourceRef>* sources) {
    TableSource(sources);
    for (;;) {
      if (AcceptOp(",")) {
        Emit(",");
        TableSource(sources);
      } else if (AtWord("JOIN") || AtWord("INNER") || AtWord("LEFT") || AtWord("RIGHT") || AtWord("FULL") ||
                 AtWord("CROSS") || AtWord("OUTER")) {
        Join(sources);
      } else {
        return;
      }
    }
  }

  // [INNER | LEFT [OUTER] | RIGHT [OUTER] | FULL [OUTER] | CROSS] JOIN source [ON condition];
  // SQLite 3.39+ has every one of them. APPLY has no equivalent.
  void Join(std::vector<SourceRef>* sources) {
    if ((AtWord("CROSS") || AtWord("OUTER")) && AtWord("APPLY", 1)) Fail("APPLY");
    bool cross = false;
    if (AcceptWord("INNER")) {
      Emit("INNER");
    } else if (AtWord("LEFT") || AtWord("RIGHT") || AtWord("FULL")) {
      Emit(UpperName(Take().text));
      if (AcceptWord("OUTER")) Emit("OUTER");
    } else if (AcceptWord("CROSS")) {
      Emit("CROSS");
      cross = true;
    }
    ExpectWord("JOIN");
    Emit("JOIN");
    TableSource(sources);
    if (cross) return;
    ExpectWord("ON");
    Emit("ON");
    Expr();
  }

  void TableSource(std::vector<SourceRef>* sources) {
    SourceRef source;
    if (AcceptOp("(")) {
      if (!AtWord("SELECT")) Fail("a parenthesized join");
      Emit("(");
      Select();
      ExpectOp(")");
      Emit(")");
    } else {
      source.table = TableName();
      Emit(source.table.emitted);
    }
    source.alias = TableAlias();
    if (!source.alias.bare.empty()) Emit("AS " + source.alias.emitted);
    SkipTableHints();
    if (sources) sources->push_back(std::move(source));
  }

  // A table name; the default schema prefix dbo. is dropped, other schemas and databases refused.
  NameRef TableName() {
    if (!AtName()) Unexpected();
    const Token* name = &Take();
    if (AcceptOp(".")) {
      if (!SameName(BareName(*name), "dbo")) Fail("a name qualified by a schema or database");
      if (!AtName()) Unexpected();
      name = &Take();
    }
    return {Normalize(*name), BareName(*name)};
  }

  NameRef TableAlias() {
    if (AcceptWord("AS") || AtName()) {
      if (!AtName()) Unexpected();
      const Token& t = Take();
      return {Normalize(t), BareName(t)};
    }
    return {};
  }

  // Locking hints, WITH (NOLOCK) or (NOLOCK), do not change results on one embedded connection.
  void SkipTableHints() {
    const bool with = AtWord("WITH") && AtOp("(", 1);
    if (!with && !(AtOp("(") && AtWord("NOLOCK", 1))) return;
    if (with) ++pos_;
    ExpectOp("(");
    while (!AtOp(")")) {
      const Token& hint = Take();
      if (hint.kind != TokenKind::Word && !(hint.kind == TokenKind::Operator && hint.text == ","))
        Fail("the table hint near '" + std::string(hint.text) + "'");
    }
    ++pos_;
  }

  // ---- expressions, by T-SQL precedence ------------------------------------------------------

  void ExprList() {
    do Expr();
    while (AcceptOp(",") && (Emit(","), true));
  }

  void Expr() {
    const Nested level(*this);
    AndExpr();
    while (AcceptWord("OR")) {
      Emit("OR");
      AndExpr();
    }
  }

  void AndExpr() {
    NotExpr();
    while (AcceptWord("AND")) {
      Emit("AND");
      NotExpr();
    }
  }

  void NotExpr() {
    if (AcceptWord("NOT")) {
      const Nested level(*this);
      Emit("NOT");
      return NotExpr();
    }
    Predicate();
  }

  // Comparisons, [NOT] IN / LIKE / BETWEEN, IS [NOT] NULL. Text compares as the server's
  // collation does: SQLite takes a column's collation (TSQL in the schema) when a column is
  // compared, so only comparisons without one get COLLATE TSQL; columns keep their indexes usable.
  // LIKE becomes tsql_like (see LikeMatch.h), whose [ ] classes SQLite does not have.
  void Predicate() {
    const std::size_t start = out_.size();
    const std::size_t leftFrom = pos_;
    Additive();
    const bool leftColumn = IsColumnRef(leftFrom, pos_);
    if (const std::string_view sqliteOp = AtComparison(); !sqliteOp.empty()) {
      ++pos_;
      if (AtWord("ALL") || AtWord("ANY") || AtWord("SOME")) Fail("comparison with ALL/ANY/SOME");
      Emit(sqliteOp);
      const std::size_t rightFrom = pos_;
      Additive();
      if (!leftColumn && !IsColumnRef(rightFrom, pos_)) Emit(kCollate);
      return;
    }
    const bool negated = AtWord("NOT") && (AtWord("IN", 1) || AtWord("LIKE", 1) || AtWord("BETWEEN", 1));
    if (negated) ++pos_;
    if (AtWord("LIKE")) return Like(Trim(out_.substr(start)), start, negated);
    if (!AtWord("IN") && !AtWord("BETWEEN")) {
      if (AcceptWord("IS")) {
        Emit("IS");
        if (AcceptWord("NOT")) Emit("NOT");
        ExpectWord("NULL");
        Emit("NULL");
      }
      return;
    }
    if (!leftColumn) Emit(kCollate);
    if (negated) Emit("NOT");
    if (AcceptWord("IN")) {
      Emit("IN");
      ExpectOp("(");
      Emit("(");
      if (AtWord("SELECT")) Select();
      else ExprList();
      ExpectOp(")");
      Emit(")");
    } else {
      ExpectWord("BETWEEN");
      Emit("BETWEEN");
      Additive();
      ExpectWord("AND");
      Emit("AND");
      Additive();
    }
  }

  // value [NOT] LIKE pattern [ESCAPE c], the value already emitted from `start` on.
  void Like(const std::string& value, std::size_t start, bool negated) {
    ExpectWord("LIKE");
    out_.resize(start);
    std::string call = std::string(negated ? "NOT " : "") + "tsql_like(" + value + ", " + Capture([&] { Additive(); });
    if (AcceptWord("ESCAPE")) call += ", " + Capture([&] { Additive(); });
    Emit(call + ")");
  }

  // True when tokens [from, to) are one column reference: name(.name)*.
  bool IsColumnRef(std::size_t from, std::size_t to) const {
    if (from >= to || (to - from) % 2 == 0) return false;
    for (std::size_t i = from; i < to; ++i) {
      const Token& t = tokens_[i];
      const bool ok = (i - from) % 2 == 0 ? IsName(t) && !(t.kind == TokenKind::Word && (IsReserved(t.text) ||
                                                                                         SameName(t.text, "NULL")))
                                          : t.kind == TokenKind::Operator && t.text == ".";
      if (!ok) return false;
    }
    return true;
  }

  // T-SQL's additive level, + - & ^ | left to right (see AdditiveChain). A lone term is emitted as it is.
  void Additive() {
    const std::size_t start = out_.size();
    Multiplicative();
    if (!AtAdditiveOperator()) return;
    AdditiveChain chain(Trim(out_.substr(start)));
    out_.resize(start);
    while (AtAdditiveOperator()) {
      const std::string_view op = Take().text;
      chain.Apply(op, Capture([&] { Multiplicative(); }));
    }
    Emit(chain.Text());
  }

  // The SQLite spelling of the comparison operator at the cursor; empty when there is none.
  std::string_view AtComparison() const {
    const Token* t = Peek();
    if (!t || t->kind != TokenKind::Operator) return {};
    for (const auto& [tsqlOp, sqliteOp] : kComparisons)
      if (t->text == tsqlOp) return sqliteOp;
    return {};
  }

  bool AtAdditiveOperator() const {
    const Token* t = Peek();
    return t && t->kind == TokenKind::Operator && AdditiveChain::IsOperator(t->text);
  }

  // * / % left to right. SQLite's '/' and '%' give NULL for a zero divisor where SQL Server
  // fails, so they become calls wrapping the left side; the calls' names are put in front of it
  // once at the end, which keeps a long chain linear.
  void Multiplicative() {
    const std::size_t start = out_.size();
    Unary();
    std::vector<std::string_view> calls;  // innermost first
    while (AtOp("*") || AtOp("/") || AtOp("%")) {
      const std::string_view op = Take().text;
      if (op == "*") {
        Emit("*");
        Unary();
        continue;
      }
      calls.push_back(op == "/" ? "tsql_divide(" : "tsql_modulo(");
      Emit(",");
      Unary();
      Emit(")");
    }
    if (calls.empty()) return;
    std::string prefix;
    for (auto it = calls.rbegin(); it != calls.rend(); ++it) prefix += *it;
    out_.insert(out_.find_first_not_of(' ', start), prefix);
  }

  void Unary() {
    if (AtOp("-") || AtOp("~") || AtOp("+")) {
      const Nested level(*this);
      if (!AcceptOp("+")) Emit(Take().text);
      return Unary();
    }
    Primary();
  }

  void Primary() {
    const Token* t = Peek();
    if (!t) Fail("an incomplete statement");
    switch (t->kind) {
      case TokenKind::Binary:
        return Emit(BinaryLiteral(Take()));
      case TokenKind::Number:
      case TokenKind::String:
      case TokenKind::NString:
        if (plainLiterals_) plainLiterals_->push_back(pos_);
        return EmitToken(Take());
      case TokenKind::Operator:
        if (!AcceptOp("(")) Unexpected();
        Emit("(");
        if (AtWord("SELECT")) Select();
        else Expr();
        ExpectOp(")");
        return Emit(")");
      case TokenKind::Word:
        if (AtWord("CASE")) return Case();
        if (AtWord("NULL")) return EmitToken(Take());
        if (AcceptWord("EXISTS")) {
          Emit("EXISTS");
          ExpectOp("(");
          Emit("(");
          Select();
          ExpectOp(")");
          return Emit(")");
        }
        if (AtOp("(", 1)) return FunctionCall();
        if (IsReserved(t->text)) Unexpected();
        return ColumnRef();
      case TokenKind::BracketName:
      case TokenKind::QuotedName:
        return ColumnRef();
      default:
        Unexpected();
    }
  }

  // 0x1F is a number in arithmetic (31), which SQLite's hexadecimal integers give up to 8 bytes.
  // Longer binary values have no SQLite literal with T-SQL's conversions: refused.
  static std::string BinaryLiteral(const Token& t) {
    const std::size_t digits = t.text.size() - 2;
    if (digits == 0 || digits > 16) Fail("the binary literal " + std::string(t.text));
    return std::string(t.text);
  }

  void ColumnRef() {
    if (Peek()->kind == TokenKind::Word && !AtOp(".", 1)) {
      if (std::optional<std::string> keyword = RewriteKeywordValue(Peek()->text)) {
        ++pos_;
        return Emit(*keyword);
      }
    }
    EmitToken(Take());
    while (AtOp(".") && AtName(1)) {
      pos_ += 1;
      Emit(".");
      EmitToken(Take());
    }
  }

  void Case() {
    ExpectWord("CASE");
    Emit("CASE");
    if (!AtWord("WHEN")) {
      const std::size_t from = pos_;
      Expr();
      if (!IsColumnRef(from, pos_)) Emit(kCollate);
    }
    while (AcceptWord("WHEN")) {
      Emit("WHEN");
      Expr();
      ExpectWord("THEN");
      Emit("THEN");
      Expr();
    }
    if (AcceptWord("ELSE")) {
      Emit("ELSE");
      Expr();
    }
    ExpectWord("END");
    Emit("END");
  }

  std::string CapturedExpr() {
    return Capture([&] { Expr(); });
  }

  // A call, and the window it is computed over (see WindowFunctions.h).
  void FunctionCall() {
    const std::string_view name = Peek()->text;
    CallExpression();
    if (AtWord("WITHIN") && AtWord("GROUP", 1)) Fail(std::string(name) + "() WITHIN GROUP");
    if (!AtWord("OVER")) {
      if (IsWindowOnlyFunction(name)) Fail(std::string(name) + "() without OVER");
      return;
    }
    WindowClause(name);
  }

  // OVER ([PARTITION BY ...] [ORDER BY ...] [ROWS | RANGE frame]), which SQLite writes alike.
  void WindowClause(std::string_view function) {
    ExpectWord("OVER");
    ExpectOp("(");
    Emit("OVER (");
    if (AcceptWord("PARTITION")) {
      ExpectWord("BY");
      Emit("PARTITION BY");
      ExprList();
    }
    const bool ordered = AcceptWord("ORDER");
    if (ordered) {
      ExpectWord("BY");
      Emit("ORDER BY");
      OrderItems();
    }
    if (!ordered && NeedsWindowOrder(function)) Fail(std::string(function) + "() OVER a window without ORDER BY");
    if (AtWord("ROWS") || AtWord("RANGE")) {
      if (!ordered) Fail("a window frame without ORDER BY");
      while (!AtOp(")")) {
        const Token& word = Take();
        if (word.kind != TokenKind::Word && word.kind != TokenKind::Number)
          Fail("the window frame near '" + std::string(word.text) + "'");
        Emit(UpperName(word.text));
      }
    }
    ExpectOp(")");
    Emit(")");
  }

  // Function calls: CAST, CONVERT, the date-part functions and COUNT(*) have their own syntax;
  // every other name goes through the function table with its arguments translated.
  void CallExpression() {
    const Token& name = Take();
    ExpectOp("(");
    if (SameName(name.text, "CAST")) {
      const std::string value = CapturedExpr();
      ExpectWord("AS");
      const SqlType type = TypeName();
      ExpectOp(")");
      return Emit(RewriteConversion(type, value, std::nullopt));
    }
    if (SameName(name.text, "CONVERT")) {
      const SqlType type = TypeName();
      ExpectOp(",");
      const std::string value = CapturedExpr();
      std::optional<std::string> style;
      if (AcceptOp(",")) {
        const Token& s = Take();
        if (s.kind != TokenKind::Number) Fail("CONVERT with a style that is not a number");
        style = std::string(s.text);
      }
      ExpectOp(")");
      return Emit(RewriteConversion(type, value, style));
    }
    if (TakesDatePart(name.text)) {
      if (!AtName()) Unexpected();
      const std::string part = BareName(Take());
      std::vector<std::string> args;
      while (AcceptOp(",")) args.push_back(CapturedExpr());
      ExpectOp(")");
      return Emit(RewriteDatePartCall(name.text, part, args));
    }
    if (SameName(name.text, "COUNT") && AcceptOp("*")) {
      ExpectOp(")");
      return Emit("count(*)");
    }
    const bool distinct = AcceptWord("DISTINCT");
    std::vector<std::string> args;
    if (!AtOp(")")) {
      do args.push_back(CapturedExpr());
      while (AcceptOp(","));
    }
    if (args.size() == 1 && SameName(name.text, "TRIM") && AcceptWord("FROM")) {
      const std::string text = CapturedExpr();
      ExpectOp(")");
      return Emit(RewriteTrimFrom(args[0], text));
    }
    ExpectOp(")");
    if (distinct) {
      if (args.size() != 1) Unexpected();
      args[0] = "DISTINCT " + args[0];
    }
    Emit(RewriteFunctionCall(name.text, args));
  }

  SqlType TypeName() {
    const Token& t = Take();
    if (t.kind != TokenKind::Word) Unexpected();
    SqlType type;
    type.name = LowerName(t.text);
    if (AcceptOp("(")) {
      do {
        const Token& size = Take();
        if (size.kind != TokenKind::Number && !SameName(size.text, "max")) Unexpected();
        type.size.push_back(LowerName(size.text));
      } while (AcceptOp(","));
      ExpectOp(")");
    }
    return type;
  }

  const std::vector<Token>& tokens_;
  std::size_t end_;
  std::size_t pos_ = 0;
  int depth_ = 0;
  std::string out_;
  std::vector<std::size_t>* plainLiterals_;
};

}  // namespace

std::string Rewrite(const std::vector<Token>& tokens, std::vector<std::size_t>* plainLiterals) {
  return Rewriter(tokens, plainLiterals).Statement();
}

}  // namespace adodb::tsql
