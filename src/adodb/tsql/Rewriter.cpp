#include "adodb/tsql/Rewriter.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <tuple>
#include <utility>

#include "adodb/Error.h"
#include "adodb/TextCompare.h"
#include "adodb/TextLengths.h"
#include "adodb/tsql/AdditiveChain.h"
#include "adodb/tsql/BatchVariables.h"
#include "adodb/tsql/CommonTableExpressions.h"
#include "adodb/tsql/CrossApply.h"
#include "adodb/tsql/DerivedTables.h"
#include "adodb/tsql/DatePartRules.h"
#include "adodb/tsql/DateParts.h"
#include "adodb/tsql/DateText.h"
#include "adodb/tsql/DeclaredColumnValue.h"
#include "adodb/tsql/FunctionRules.h"
#include "adodb/tsql/HeldNumbers.h"
#include "adodb/tsql/OutputText.h"
#include "adodb/tsql/QueryHints.h"
#include "adodb/tsql/SchemaNames.h"
#include "adodb/tsql/TableValues.h"
#include "adodb/tsql/TempTables.h"
#include "adodb/tsql/TextNesting.h"
#include "adodb/tsql/TokenCodes.h"
#include "adodb/tsql/TopClause.h"
#include "adodb/tsql/UnnamedColumn.h"
#include "adodb/tsql/WindowFunctions.h"

namespace adodb::tsql {
namespace {

// Words that end an expression, a select item or a table source, so they are never taken for an alias.
// The words that begin a statement are among them: a batch may run its statements together without ';'.
constexpr TokenCode kReservedWords[] = {
    "ALTER", "AND", "AS", "ASC", "BETWEEN", "COLLATE", "CREATE", "CROSS", "DECLARE", "DELETE", "DESC", "DROP", "ELSE",
    "END", "EXCEPT", "FOR", "FROM", "FULL", "GROUP", "HAVING", "IN", "INNER", "INSERT", "INTERSECT", "INTO", "IS",
    "JOIN", "LEFT", "LIKE", "NOT", "ON", "OPTION", "OR", "ORDER", "OUTER", "RIGHT", "SELECT", "SET", "THEN",
    "TRUNCATE", "UNION", "UPDATE", "VALUES", "WHEN", "WHERE", "WITH",
};
constexpr std::array<bool, std::size(kCodedTokens)> kReservedCodes = [] {
  std::array<bool, std::size(kCodedTokens)> reserved{};
  for (const TokenCode word : kReservedWords) reserved[word.value] = true;
  return reserved;
}();

// The words a statement of a batch starts with, also those refused: a batch need not separate
// its statements with ';'.
constexpr TokenCode kStatementStarts[] = {"SELECT", "INSERT", "UPDATE",  "DELETE", "WITH",  "TRUNCATE", "DECLARE",
                                          "SET",    "CREATE", "DROP",    "ALTER",  "EXEC",  "EXECUTE",  "MERGE",
                                          "IF",     "WHILE",  "BEGIN",   "PRINT",  "RETURN"};

// Comparison operators by code, with T-SQL's extra spellings mapped to SQLite's.
constexpr std::array<std::string_view, std::size(kCodedTokens)> kSqliteComparisons = [] {
  std::array<std::string_view, std::size(kCodedTokens)> comparisons{};
  struct Spelling {
    TokenCode tsql;
    std::string_view sqlite;
  };
  const Spelling spellings[] = {{"=", "="},   {"<>", "<>"}, {"!=", "<>"}, {"<", "<"},  {">", ">"},
                                {"<=", "<="}, {">=", ">="}, {"!<", ">="}, {"!>", "<="}};
  for (const Spelling& spelling : spellings) comparisons[spelling.tsql.value] = spelling.sqlite;
  return comparisons;
}();

// The tokens that may follow the left side of a predicate: a comparison, or NOT, LIKE, IN,
// BETWEEN, IS. Most predicates are a lone term, followed by none of them.
constexpr std::array<bool, std::size(kCodedTokens)> kPredicateContinues = [] {
  std::array<bool, std::size(kCodedTokens)> continues{};
  for (std::size_t code = 0; code < continues.size(); ++code) continues[code] = !kSqliteComparisons[code].empty();
  for (const TokenCode word : {TokenCode("NOT"), TokenCode("LIKE"), TokenCode("IN"), TokenCode("BETWEEN"), TokenCode("IS")})
    continues[word.value] = true;
  return continues;
}();

// The words that stand for a value where a column could (see RewriteKeywordValue).
constexpr std::array<bool, std::size(kCodedTokens)> kKeywordValues = [] {
  std::array<bool, std::size(kCodedTokens)> values{};
  for (const TokenCode word : {TokenCode("CURRENT_TIMESTAMP"), TokenCode("CURRENT_DATE"), TokenCode("CURRENT_TIME"),
                               TokenCode("TRUE"), TokenCode("FALSE")})
    values[word.value] = true;
  return values;
}();

// The codes of a set of operators or words, for asking whether the cursor stands at any of them
// with one look-up.
template <std::size_t N>
constexpr std::array<bool, std::size(kCodedTokens)> CodeSet(const TokenCode (&codes)[N]) {
  std::array<bool, std::size(kCodedTokens)> set{};
  for (const TokenCode code : codes) set[code.value] = true;
  return set;
}
constexpr TokenCode kAdditiveOperatorList[] = {"+", "-", "&", "^", "|"};
constexpr TokenCode kMultiplicativeOperatorList[] = {"*", "/", "%"};
constexpr TokenCode kSignList[] = {"-", "~", "+"};
constexpr TokenCode kJoinStartList[] = {"JOIN", "INNER", "LEFT", "RIGHT", "FULL", "CROSS", "OUTER"};
constexpr auto kAdditiveOperators = CodeSet(kAdditiveOperatorList);
constexpr auto kMultiplicativeOperators = CodeSet(kMultiplicativeOperatorList);
constexpr auto kSigns = CodeSet(kSignList);
constexpr auto kJoinStarts = CodeSet(kJoinStartList);

// Words that cannot be a column's name where a column reference is asked for: the reserved
// words and NULL.
constexpr std::array<bool, std::size(kCodedTokens)> kNoColumnNames = [] {
  std::array<bool, std::size(kCodedTokens)> codes = kReservedCodes;
  codes[TokenCode("NULL").value] = true;
  return codes;
}();

// Pieces are written with a blank between them, except after an opening parenthesis, a qualifying
// dot or a blank, and before a closing parenthesis, a comma or a dot.
constexpr std::array<bool, 256> kGluesToNext = [] {
  std::array<bool, 256> glues{};
  glues['('] = glues['.'] = glues[' '] = true;
  return glues;
}();
constexpr std::array<bool, 256> kGluesToPrevious = [] {
  std::array<bool, 256> glues{};
  glues[')'] = glues[','] = glues['.'] = true;
  return glues;
}();

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

// Asked of nearly every token: one test of a bit of the kind.
constexpr unsigned kNameKinds = 1u << static_cast<unsigned>(TokenKind::Word) |
                                1u << static_cast<unsigned>(TokenKind::BracketName) |
                                1u << static_cast<unsigned>(TokenKind::QuotedName);
bool IsName(const Token& t) { return (kNameKinds >> static_cast<unsigned>(t.kind)) & 1u; }

// The name without its quoting, for comparing a target with the aliases of a FROM clause.
std::string BareName(const Token& t) {
  if (t.kind == TokenKind::BracketName) return Unbracket(t.text());
  if (t.kind == TokenKind::QuotedName) return std::string(t.text().substr(1, t.text().size() - 2));
  return std::string(t.text());
}

// Literals keep their text; N'..' loses the N; bracketed names become double-quoted names; a
// number ending in its point gets a zero, so a keyword run into it ("1.from") stays a keyword.
std::string Normalize(const Token& t) {
  if (t.kind == TokenKind::NString) return std::string(t.text().substr(1));
  if (t.kind == TokenKind::Number && t.text().back() == '.') return std::string(t.text()) + "0";
  if (t.kind == TokenKind::BracketName) return QuoteName(Unbracket(t.text()));
  // A T-SQL name may hold #, $ and @ (and start with # for a temp table); SQLite reads # and @
  // as the start of a parameter, so such a name is always written quoted.
  if (t.kind == TokenKind::Word && t.marked) return QuoteName(t.text());
  return std::string(t.text());
}

// True for the tokens Normalize writes as they are, which can then be emitted without a copy.
bool KeepsItsText(const Token& t) {
  return t.kind != TokenKind::NString && t.kind != TokenKind::BracketName &&
         !(t.kind == TokenKind::Number && t.text().back() == '.') && !(t.kind == TokenKind::Word && t.marked);
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
// How a select item without a name is written: the server names its column nothing.
constexpr std::string_view kNoName = " AS \"\"";

struct SourceRef {
  NameRef table;  // empty for a derived table
  NameRef alias;  // empty when the table is used under its own name
  const NameRef& Reference() const { return alias.bare.empty() ? table : alias; }
};

class Rewriter {
 public:
  explicit Rewriter(const std::vector<Token>& tokens) : tokens_(tokens), token_(tokens.data()), end_(tokens.size()) {}

  // A batch: statements separated by ';' or simply following one another, as SQL Server reads
  // them. The statements of the translation are separated by "; ".
  std::string Batch() {
    RejectUnsupportedTokensAndReserveOutput();
    SkipSeparators();
    if (pos_ == end_) Fail("an empty statement");
    while (pos_ < end_) {
      const std::size_t start = out_.size();
      if (start > 0) out_ += "; ";
      const std::size_t begin = out_.size();
      Statement(begin);
      if (out_.size() == begin) out_.resize(start);  // a statement with nothing to run (SET NOCOUNT ON)
      if (!SkipSeparators() && pos_ < end_ && !AtStatementStart()) Unexpected();
    }
    if (tableVariables_ > 0) DropTableVariables();
    return Trim(out_.Release());
  }

 private:
  // Where the FROM ... HAVING part of a select core lies in the output, for the TOP rules that
  // count the core's rows.
  struct CoreExtent {
    std::size_t listFrom = 0;
    std::size_t listEnd = 0;
    std::size_t sourcesFrom = 0;
    std::size_t sourcesTo = 0;
    bool distinct = false;
    std::vector<DerivedIntColumn> derived;  // the derived tables' columns, for the ORDER BY
  };

  // A SELECT whose items assign variables: SELECT @x = expression, ... [FROM ...].
  struct AssignmentSelect {
    std::vector<std::pair<std::string, std::string>> values;  // variable, converted value
    std::size_t listFrom = 0, listTo = 0;  // the select list in the output
    bool readsVariables = false;  // a value reads a variable
    bool returnsColumns = false;  // an item is no assignment
    bool compound = false;
    bool reordered = false;  // ORDER BY or DISTINCT
  };

  void Statement(std::size_t start) {
    into_ = {};
    intoTypes_.clear();
    intoProbeColumns_.clear();
    intoList_ = {};
    commonTables_.clear();
    commonItems_.clear();
    if (AtWord("WITH")) CommonTables();
    if (AtWord("SELECT")) {
      intoAllowed_ = hasInto_;
      SelectStatement(start);
      if (!into_.emitted.empty()) {
        const std::string query = out_.TrimmedFrom(start);
        const std::string probe = IntoProbe(start);
        out_.resize(start);
        out_ += SelectInto(into_.emitted, into_.bare, query, intoTypes_, probe);
      }
    } else if (AtWord("INSERT")) {
      Insert();
    } else if (AtWord("UPDATE")) {
      Update();
    } else if (AtWord("DELETE")) {
      Delete();
    } else if (AtWord("TRUNCATE")) {
      Truncate();
    } else if (AtWord("MERGE")) {
      Merge();
    } else if (AtWord("DECLARE")) {
      Declare();
    } else if (AtWord("SET")) {
      Set();
    } else if (AtWord("CREATE") && AtWord("TABLE", 1)) {
      CreateTable();
    } else if (AtWord("DROP") && AtWord("TABLE", 1)) {
      PassThroughTableStatement();
    } else if (AtWord("ALTER") && AtWord("TABLE", 1)) {
      AlterTable();
    } else if (AtWord("IF")) {
      IfObjectIdDropTable();
    } else if (AtWord("CREATE") || AtWord("DROP") || AtWord("ALTER") || AtWord("PRAGMA")) {
      PassThrough();
    } else {
      Fail("the statement " + std::string(token_[pos_].text()));
    }
    if (AtWord("OPTION") && AtOp("(", 1)) pos_ = SkipHintList(tokens_, pos_ + 1, end_);
  }

  // True when one or more ';' were skipped.
  bool SkipSeparators() {
    const std::size_t from = pos_;
    while (AcceptOp(";")) {
    }
    return pos_ > from;
  }
  bool AtStatementEnd() const { return pos_ == end_ || AtOp(";"); }
  bool AtStatementStart() const {
    for (const TokenCode word : kStatementStarts)
      if (AtWord(word)) return true;
    return false;
  }

  // ---- cursor --------------------------------------------------------------------------------
  const Token* Peek(std::size_t ahead = 0) const { return pos_ + ahead < end_ ? &token_[pos_ + ahead] : nullptr; }
  // Keywords and operators are known by their codes (see TokenCodes.h).
  bool AtWord(TokenCode keyword, std::size_t ahead = 0) const { return At(keyword, ahead); }
  bool AtOp(TokenCode op, std::size_t ahead = 0) const { return At(op, ahead); }
  bool At(TokenCode code, std::size_t ahead) const { return CodeAt(ahead) == code.value; }
  // The code of the token `ahead` of the cursor; 0 past the end.
  std::uint8_t CodeAt(std::size_t ahead) const {
    const std::size_t i = pos_ + ahead;
    return i < end_ ? token_[i].code : 0;
  }
  bool IsReservedAt(std::size_t i) const { return kReservedCodes[token_[i].code]; }
  bool AtName(std::size_t ahead = 0) const {
    const Token* t = Peek(ahead);
    return t && IsName(*t) && !IsReservedAt(pos_ + ahead);
  }
  bool AcceptWord(TokenCode keyword) { return AtWord(keyword) ? (++pos_, true) : false; }
  bool AcceptOp(TokenCode op) { return AtOp(op) ? (++pos_, true) : false; }
  void ExpectWord(TokenCode keyword) {
    if (!AcceptWord(keyword)) Unexpected();
  }
  void ExpectOp(TokenCode op) {
    if (!AcceptOp(op)) Unexpected();
  }
  const Token& Take() {
    if (pos_ >= end_) Fail("an incomplete statement");
    return token_[pos_++];
  }
  [[noreturn]] static void Fail(const std::string& construct) {
    throw Error::Unsupported("T-SQL translator: " + construct + " is not supported");
  }
  // Counts one level of nesting for as long as it lives.
  class Nested {
   public:
    explicit Nested(Rewriter& r) : depth_(r.depth_) {
      if (++depth_ > kMaxNesting) TooDeep();
    }
    ~Nested() { --depth_; }
    Nested(const Nested&) = delete;
    Nested& operator=(const Nested&) = delete;

   private:
    // Out of line: the message is built in no frame of the levels that count (see MultiplicativeChain).
    [[noreturn, gnu::noinline]] static void TooDeep() {
      Fail("a statement nested more than " + std::to_string(kMaxNesting) + " levels deep");
    }
    int& depth_;
  };
  [[noreturn]] void Unexpected() const {
    if (pos_ >= end_) Fail("an incomplete statement");
    Fail("the text near '" + std::string(token_[pos_].text()) + "'");
  }

  // Broken literals are refused, and a word starting with $, which T-SQL reads as a money literal
  // ($12) or a pseudo-column ($IDENTITY) and SQLite as a parameter. The same pass sizes the
  // output: about as long as the statement plus the COLLATE clauses and calls it adds, reserved
  // once to spare the buffer its regrowths.
  void RejectUnsupportedTokensAndReserveOutput() {
    // Four tokens a step with one branch: the step that holds a refused token stops, and the
    // token-by-token pass from there refuses the first.
    std::size_t i = pos_;
    for (; i + 4 <= end_; i += 4) {
      if ((token_[i].code == kRefused.value) | (token_[i + 1].code == kRefused.value) |
          (token_[i + 2].code == kRefused.value) | (token_[i + 3].code == kRefused.value))
        break;
    }
    for (; i < end_; ++i) {
      if (token_[i].code == kRefused.value) RefuseToken(token_[i]);
    }
    if (pos_ == end_) return;
    // A batch without INTO makes no table of a select: its items' types are never noted.
    hasInto_ = std::any_of(token_ + pos_, token_ + end_, [](const Token& t) { return t.code == TokenCode("INTO").value; });
    // The tokens are pieces of one statement: its length from the first to the last.
    const std::size_t size = static_cast<std::size_t>(token_[end_ - 1].text().data() - token_[pos_].text().data()) +
                             token_[end_ - 1].text().size() + end_ - pos_;
    out_.reserve(size + size / 2);
  }
  // Out of line, as Nested::TooDeep.
  [[noreturn, gnu::noinline]] static void RefuseToken(const Token& t) {
    if (t.kind == TokenKind::Unterminated) Fail("an unterminated literal or comment");
    if (t.kind == TokenKind::Illegal) Fail("the character '" + std::string(t.text()) + "'");
    Fail("the money literal or pseudo-column " + std::string(t.text()));
  }

  // ---- output --------------------------------------------------------------------------------
  void Emit(std::string_view piece) {
    ++emits_;
    if (piece.empty()) return;
    const bool glued = out_.empty() || kGluesToNext[static_cast<unsigned char>(out_.back())] ||
                       kGluesToPrevious[static_cast<unsigned char>(piece[0])];
    out_.Append(piece, !glued);
  }
  // A variable is read only where an expression may stand (Primary); written as it is, SQLite would
  // take it for a parameter and read NULL. Most tokens are written as they are: the text built for
  // the others, and for the refusal, is built out of line, so that callers set up no frame for it.
  void EmitToken(const Token& t) {
    if (t.kind == TokenKind::Variable) RefuseVariable(t);
    if (KeepsItsText(t)) return Emit(t.text());
    EmitNormalized(t);
  }
  [[gnu::noinline]] void EmitNormalized(const Token& t) { Emit(Normalize(t)); }
  [[noreturn, gnu::noinline]] static void RefuseVariable(const Token& t) {
    Fail("the variable " + std::string(t.text()) + " here");
  }
  // What `produce` writes, taken back out of the output.
  template <class F>
  std::string Capture(F&& produce) {
    const std::size_t start = out_.size();
    produce();
    std::string captured = out_.TrimmedFrom(start);
    out_.resize(start);
    return captured;
  }

  // ---- statements ----------------------------------------------------------------------------

  // Schema statements carry no T-SQL semantics the module relies on: tokens are only normalised.
  void PassThrough() {
    while (!AtStatementEnd()) EmitSchemaToken(Take());
  }
  // SQLite takes only numbers as a type's size: varchar(max), nvarchar(max) and varbinary(max)
  // are written without it, a column that holds values of any length, as max does on the server.
  void EmitSchemaToken(const Token& t) {
    EmitToken(t);
    if (t.kind == TokenKind::Word && AtOp("(") && AtOp(")", 2) && SameName(Peek(1)->text(), "max") &&
        (SameName(t.text(), "varchar") || SameName(t.text(), "nvarchar") || SameName(t.text(), "varbinary")))
      pos_ += 3;
  }
  // CREATE TABLE and DROP TABLE hold no statement of their own: outside parentheses the first word
  // of a statement ends them, as SQL Server reads a batch written without ';'.
  void PassThroughTableStatement() {
    int depth = 0;
    do {
      const Token& t = Take();
      EmitSchemaToken(t);
      depth += t.kind != TokenKind::Operator ? 0 : t.text() == "(" ? 1 : t.text() == ")" ? -1 : 0;
    } while (!AtTableStatementEnd(depth));
  }
  // IF [NOT] EXISTS belongs to the table statement; IF on its own begins the next statement.
  bool AtTableStatementEnd(int depth) const {
    if (AtStatementEnd()) return true;
    return depth == 0 && AtStatementStart() && !(AtWord("IF") && (AtWord("EXISTS", 1) || AtWord("NOT", 1)));
  }

  // WITH name [(columns)] AS (query), ... ahead of the statement (see CommonTableExpressions.h).
  // SQLite cannot change rows through a common table: UPDATE and DELETE of one are refused.
  void CommonTables() {
    ExpectWord("WITH");
    std::vector<CommonTable> tables;
    do {
      if (!AtName()) Unexpected();
      const Token& name = Take();
      CommonTable table{Normalize(name), {}, {}, {}};
      if (AtOp("(")) table.columns = NameList();
      ExpectWord("AS");
      ExpectOp("(");
      const std::string bare = BareName(name);
      if (RefersToName(tokens_, pos_, ClosingParenthesis(tokens_, pos_ - 1, end_), bare)) {
        table.recursion = RecursiveTable(bare);
        std::vector<DerivedIntColumn> items;
        table.query = Capture([&] { RecursiveQuery(table, items); });
        commonItems_.emplace_back(bare, std::move(items));
      } else {
        // Its columns are int terms as a derived table's are, read where it is used.
        std::vector<DerivedIntColumn> items;
        derivedItems_ = &items;
        std::vector<std::size_t> nameless;
        table.query = CaptureNamingColumns(nameless);
        if (table.columns.empty() && !nameless.empty()) RefuseUnnamedColumn(nameless.front(), bare);
        NameDerivedItems(items, table.columns);
        commonItems_.emplace_back(bare, std::move(items));
      }
      ExpectOp(")");
      commonTables_.push_back(bare);
      tables.push_back(std::move(table));
    } while (AcceptOp(","));
    if (!AtWord("SELECT") && !AtWord("INSERT") && !AtWord("UPDATE") && !AtWord("DELETE")) Unexpected();
    Emit(WithClause(tables));
  }

  void RefuseCommonTableTarget(const NameRef& target) const {
    for (const std::string& name : commonTables_)
      if (SameName(name, target.bare)) Fail("UPDATE/DELETE of a common table expression");
  }

  // The members of a common table that refers to itself, each with the level of recursion that
  // gave its rows as an extra last column (see CommonTableExpressions.h): the anchors at level 0,
  // the recursive members one above the row of the common table they read, which is where SQL
  // Server's recursion limit is checked. The columns are of the anchors' types, on the server as
  // in `items`: their int terms are read so in the recursive members and where the table is used.
  void RecursiveQuery(CommonTable& table, std::vector<DerivedIntColumn>& items) {
    const Nested level(*this);
    const std::string outerName = std::exchange(recursiveName_, table.recursion.bareName);
    std::vector<DerivedIntColumn>* const outerItems = std::exchange(recursiveItems_, &items);
    int cores = 0;
    do {
      if (cores > 0) SetOperator();
      recursiveRef_.clear();
      CoreExtent extent;
      itemNames_ = cores == 0 && table.columns.empty() ? &table.recursion.columnNames : nullptr;
      std::vector<DerivedIntColumn> member;
      if (SelectCore(extent, nullptr, &member)) Fail("TOP in a recursive common table expression");
      if (cores == 0) items = std::move(member), NameDerivedItems(items, table.columns);
      else if (recursiveRef_.empty()) MergeMemberItems(items, member);
      out_.insert(extent.listEnd, recursiveRef_.empty() ? AnchorLevel() : RecursiveLevel(recursiveRef_, table.recursion));
      ++cores;
    } while (AtWord("UNION") || AtWord("EXCEPT") || AtWord("INTERSECT"));
    recursiveName_ = outerName;
    recursiveItems_ = outerItems;
  }

  RecursiveTableNames RecursiveTable(const std::string& bare) const {
    return {bare, QuoteName(std::string(kRecursivePrefix) + bare), RecursionLimit(tokens_, pos_, end_), {}};
  }

  // (name, ...)
  std::vector<std::string> NameList() {
    ExpectOp("(");
    std::vector<std::string> names;
    do {
      if (!AtName()) Unexpected();
      names.push_back(Normalize(Take()));
    } while (AcceptOp(","));
    ExpectOp(")");
    return names;
  }

  // CREATE TABLE makes a table whose text columns without a COLLATE clause get the server's text
  // comparison, as the columns of the module's own tables have it: a site's table joined, grouped
  // or made DISTINCT by a text column finds 'a' and 'A ' alike, as on the server. #name is a temp
  // table.
  void CreateTable() {
    if (!AtName(2)) return PassThroughTableStatement();
    const bool temp = IsTempTableName(BareName(token_[pos_ + 2]));
    pos_ += 2;
    Emit(temp ? "CREATE TEMP TABLE" : "CREATE TABLE");
    const std::size_t name = out_.size();
    TableDefinition();
    if (temp) HoldNumbers(out_.TrimmedFrom(name, std::string_view(out_).find('(', name) - name), name);
  }
  // A temp table's number columns hold what the server's would, by triggers of its own (a table of
  // the database is held by the connection's, TextLengths.h); they go with the table.
  [[gnu::noinline]] void HoldNumbers(const std::string& table, std::size_t definition) {
    const std::string_view written = out_;
    const std::size_t open = written.find('(', definition);
    std::vector<HeldColumn> held, columns;
    Nesting nesting;
    for (std::size_t i = open + 1, from = i; i < written.size(); ++i) {
      const char c = written[i];
      if (!nesting.Outside(c) || !(c == ',' ? nesting.Depth() == 0 : c == ')' && nesting.Depth() < 0)) continue;
      std::string_view item = Trimmed(written.substr(from, i - from));
      from = i + 1;
      const bool quoted = item.starts_with('"');
      const std::size_t nameEnd = quoted ? item.find('"', 1) + 1 : item.find(' ');
      if (nameEnd == std::string_view::npos || nameEnd == 0) continue;
      std::string column(item.substr(quoted ? 1 : 0, quoted ? nameEnd - 2 : nameEnd));
      std::string_view type = Trimmed(item.substr(nameEnd));
      const std::size_t wordEnd = std::min(type.find_first_of(" ("), type.size());
      const std::size_t sized = type.find_first_not_of(' ', wordEnd);
      const bool withSize = sized != std::string_view::npos && type[sized] == '(';
      type = type.substr(0, withSize ? type.find(')', sized) + 1 : wordEnd);
      if (HeldNumber(type, "")) held.push_back({column, std::string(type)});
      columns.push_back({std::move(column), std::string(type)});
      if (c == ')') break;
    }
    const bool quotedTable = table.size() > 1 && table.front() == '"';
    const std::string bare = quotedTable ? table.substr(1, table.size() - 2) : table;
    // Text past a column's length is refused, as the server refuses it.
    std::string triggers = TextLengthTriggers("tsql_length_" + bare, table, bare, columns);
    if (!held.empty())
      triggers += HeldNumbersTrigger("tsql_held_" + bare + "_insert", table, bare, held, false) + " " +
                  HeldNumbersTrigger("tsql_held_" + bare + "_update", table, bare, held, true);
    if (triggers.empty()) return;
    triggers.pop_back();
    Emit("; " + triggers);
  }
  // ALTER TABLE t ADD a varchar(10), b int: one ADD COLUMN each, as SQLite takes them, the text
  // columns collated as CREATE TABLE's are, and a temp table's number columns held by triggers of
  // their own. Other changes pass as written.
  void AlterTable() {
    const std::size_t start = out_.size();
    pos_ += 2;
    Emit("ALTER TABLE");
    const std::size_t name = out_.size();
    const Token* last = nullptr;
    while (!AtStatementEnd() && !SameName(Peek()->text(), "ADD")) EmitSchemaToken(*(last = &Take()));
    if (!last || AtStatementEnd() || !AtName(1) || !AtName(2) || AddsAConstraint()) return PassThrough();
    const std::string table = out_.TrimmedFrom(name), bare = BareName(*last);
    const std::string head = out_.TrimmedFrom(start) + " ADD COLUMN ";
    out_.resize(start);
    ++pos_;
    std::vector<HeldColumn> held, texts;
    bool first = true;
    do {
      Emit((first ? "" : "; ") + head);
      first = false;
      const Token& column = Take();
      EmitSchemaToken(column);
      const Token& type = Take();
      EmitSchemaToken(type);
      const std::size_t typeAt = out_.size();
      if (AtOp("(")) {
        const std::size_t close = SkipHintList(tokens_, pos_, end_);
        while (pos_ < close) EmitToken(Take());
      }
      const std::string declared = std::string(type.text()) + out_.TrimmedFrom(typeAt);
      if (IsTextTypeName(type.text()) && !AtWord("COLLATE")) Emit(kCollate);
      if (IsTempTableName(bare) && HeldNumber(declared, "")) held.push_back({BareName(column), declared});
      if (IsTempTableName(bare)) texts.push_back({BareName(column), declared});
      for (int depth = 0; !AtStatementEnd() && !(depth == 0 && (AtOp(",") || AtStatementStart()));) {
        depth += AtOp("(") ? 1 : AtOp(")") ? -1 : 0;
        if (AtWord("COLLATE")) Collation();
        else EmitSchemaToken(Take());
      }
    } while (AcceptOp(","));
    for (const HeldColumn& column : texts) {
      std::string triggers = TextLengthTriggers("tsql_length_" + bare + "_" + column.name, table, bare, {column});
      if (triggers.empty()) continue;
      triggers.pop_back();
      Emit("; " + triggers);
    }
    for (const HeldColumn& column : held) {
      const std::string trigger = "tsql_held_" + bare + "_" + column.name;
      std::string triggers = HeldNumbersTrigger(trigger + "_insert", table, bare, {column}, false) + " " +
                             HeldNumbersTrigger(trigger + "_update", table, bare, {column}, true);
      triggers.pop_back();
      Emit("; " + triggers);
    }
  }
  // ADD CONSTRAINT, PRIMARY KEY, UNIQUE, FOREIGN KEY, CHECK or INDEX: no column.
  bool AddsAConstraint() const {
    for (const char* word : {"CONSTRAINT", "PRIMARY", "UNIQUE", "FOREIGN", "CHECK", "INDEX"})
      if (SameName(Peek(1)->text(), word)) return true;
    return false;
  }
  // The rest of a CREATE TABLE, from its name or its column list on.
  void TableDefinition() {
    int depth = 0;
    bool columnStart = false;
    while (!AtTableStatementEnd(depth)) {
      if (AtWord("COLLATE")) {
        Collation();
        columnStart = false;
        continue;
      }
      const Token& t = Take();
      EmitSchemaToken(t);
      if (t.kind == TokenKind::Operator && (t.text() == "(" || t.text() == ")" || t.text() == ",")) {
        depth += t.text() == "(" ? 1 : t.text() == ")" ? -1 : 0;
        columnStart = depth == 1 && t.text() != ")";
        continue;
      }
      const bool typed = columnStart && IsName(t) && AtName() && IsTextTypeName(Peek()->text());
      columnStart = false;
      if (!typed) continue;
      EmitSchemaToken(Take());
      if (AtOp("(")) {
        const std::size_t close = SkipHintList(tokens_, pos_, end_);
        while (pos_ < close) EmitToken(Take());
      }
      if (!AtWord("COLLATE")) Emit(kCollate);
    }
  }

  // IF OBJECT_ID('tempdb..#t'[, 'U']) IS NOT NULL [BEGIN] DROP TABLE #t [END], which report
  // templates put before making their temp table again: DROP TABLE IF EXISTS. OBJECT_ID looks in
  // the current database unless the name says tempdb, so there it finds no #table and the server
  // drops nothing. No other IF is run: the embedded database has no control flow.
  void IfObjectIdDropTable() {
    ExpectWord("IF");
    const Token* function = Peek();
    if (!function || !IsName(*function) || !SameName(BareName(*function), "OBJECT_ID") || !AtOp("(", 1))
      Fail("the statement IF");
    pos_ += 2;
    if (!Peek() || (Peek()->kind != TokenKind::String && Peek()->kind != TokenKind::NString)) Fail("the statement IF");
    const std::string object = StringLiteralText(Take());
    if (AcceptOp(",")) {  // the object's type, 'U' for a table
      if (!Peek() || (Peek()->kind != TokenKind::String && Peek()->kind != TokenKind::NString)) Fail("the statement IF");
      ++pos_;
    }
    ExpectOp(")");
    if (!AcceptWord("IS") || !AcceptWord("NOT") || !AcceptWord("NULL")) Fail("the statement IF");
    const bool block = AcceptWord("BEGIN");
    if (!AcceptWord("DROP") || !AcceptWord("TABLE")) Fail("the statement IF");
    const NameRef table = TableName();
    AcceptOp(";");
    if (block && !AcceptWord("END")) Fail("the statement IF");
    const std::size_t dot = object.rfind('.');
    const std::string bare = object.substr(dot == std::string::npos ? 0 : dot + 1);
    if (!SameName(Unbracketed(bare), table.bare)) Fail("IF OBJECT_ID of another table than the one dropped");
    const std::string database = object.substr(0, std::min(object.find('.'), object.size()));
    if (IsTempTableName(table.bare) && (dot == std::string::npos || !SameName(Unbracketed(database), "tempdb"))) return;
    Emit("DROP TABLE IF EXISTS " + table.emitted);
  }

  static std::string StringLiteralText(const Token& t) {
    std::string_view text = t.text();
    text.remove_prefix(text.find('\'') + 1);
    text.remove_suffix(1);
    std::string value;
    for (std::size_t i = 0; i < text.size(); ++i) {
      value += text[i];
      if (text[i] == '\'' && i + 1 < text.size() && text[i + 1] == '\'') ++i;
    }
    return value;
  }

  static std::string Unbracketed(const std::string& part) {
    return part.size() >= 2 && part.front() == '[' && part.back() == ']' ? part.substr(1, part.size() - 2) : part;
  }

  // TRUNCATE TABLE t empties the table: DELETE FROM t.
  void Truncate() {
    ExpectWord("TRUNCATE");
    ExpectWord("TABLE");
    Emit("DELETE FROM " + TableName().emitted);
  }

  // SELECT: select cores joined by set operators, then ORDER BY, then the LIMIT that TOP asked for.
  // TOP in one member of a UNION limits that member only, which LIMIT cannot express: refused.
  // OFFSET ... FETCH (which SQL Server takes only after ORDER BY) becomes LIMIT ... OFFSET.
  // FOR XML/JSON/BROWSE shape the result as no SQLite query can: refused.
  void Select() {
    const Nested level(*this);
    AssignmentSelect* const assigning = std::exchange(assigning_, nullptr);
    std::vector<DerivedIntColumn>* const derived = std::exchange(derivedItems_, nullptr);
    std::optional<TopRows> top;
    CoreExtent extent;
    const std::size_t start = out_.size();
    const bool mayInto = intoAllowed_;
    int cores = 0;
    std::vector<std::pair<std::size_t, std::size_t>> memberLists;  // of a UNION's members
    bool membersMoved = false;
    do {
      if (cores > 0) SetOperator();
      const std::size_t coreStart = out_.size();
      CoreExtent coreExtent;
      std::vector<DerivedIntColumn> member;
      std::optional<TopRows> coreTop = SelectCore(coreExtent, cores == 0 ? assigning : nullptr,
                                                  !derived ? nullptr : cores == 0 ? derived : &member);
      if (derived && cores > 0) MergeMemberItems(*derived, member);
      if (cores > 0 || AtSetOperator()) memberLists.emplace_back(coreExtent.listFrom, coreExtent.listEnd);
      if (coreTop && (cores > 0 || AtSetOperator())) LimitMember(coreStart, coreExtent, *coreTop), membersMoved = true;
      else top = std::move(coreTop), extent = coreExtent;
      ++cores;
    } while (AtSetOperator());
    if (!membersMoved && memberLists.size() > 1) TextOfMembersConverted(memberLists);
    if (mayInto && cores > 1) intoTypes_.clear();  // a UNION's column is its highest-ranked member's
    const std::size_t coreEnd = out_.size();
    std::size_t orderFrom = coreEnd;
    bool orderByPosition = false;
    if (AcceptWord("ORDER")) {
      ExpectWord("BY");
      Emit("ORDER BY");
      orderFrom = out_.size();
      orderByPosition = OrderItems();
      if (cores == 1 && !extent.derived.empty() &&
          std::string_view(out_).find("tsql_int_", orderFrom) != std::string_view::npos)
        out_.replace(orderFrom, out_.size() - orderFrom, IntChecksThrough(out_.substr(orderFrom), extent.derived));
    }
    if (AtWord("OFFSET")) {
      if (orderFrom == coreEnd) Fail("OFFSET without ORDER BY");
      if (top) Fail("TOP together with OFFSET");
      OffsetFetch();
    }
    if (top) {
      const std::string_view written = out_;
      const LimitContext context{written.substr(start, coreEnd - start),
                                 written.substr(extent.sourcesFrom, extent.sourcesTo - extent.sourcesFrom),
                                 written.substr(orderFrom), orderByPosition, extent.distinct};
      Emit(TopLimit(*top, context));
    }
    if (AtWord("FOR") && Peek(1)) Fail("FOR " + UpperName(Peek(1)->text()));
    if (assigning) {
      assigning->compound = cores > 1;
      assigning->reordered = orderFrom != coreEnd || extent.distinct;
    }
  }

  // A UNION's column is of its highest-ranked member's type, never text beside a number: a text
  // literal of one member is converted to a column's declared type (as ISNULL converts it) or to
  // the number another member gives (select '1' union select 1 is one row, 1). Read from the
  // members' written lists, each split at its top-level commas.
  [[gnu::noinline]] void TextOfMembersConverted(const std::vector<std::pair<std::size_t, std::size_t>>& lists) {
    const std::string_view written = out_;
    std::vector<std::vector<std::string_view>> members;
    for (const auto& [listFrom, listEnd] : lists) {
      std::vector<std::string_view>& items = members.emplace_back();
      Nesting nesting;
      std::size_t from = listFrom;
      for (std::size_t i = listFrom; i <= listEnd; ++i) {
        const char c = i < listEnd ? written[i] : ',';
        if (nesting.Outside(c) && c == ',' && nesting.Depth() == 0) {
          std::string_view item = written.substr(from, i - from);
          item.remove_prefix(std::min(item.find_first_not_of(' '), item.size()));
          item = item.substr(0, item.find_last_not_of(' ') + 1);
          if (item.empty()) return;
          items.push_back(item);
          from = i + 1;
        }
      }
      if (items.size() != members.front().size()) return;  // a * among the items
    }
    struct Replacement {
      std::size_t at, length;
      std::string text;
    };
    std::vector<Replacement> replaced;
    const std::string collated = ") " + std::string(kCollate);
    for (std::size_t column = 0; column < members.front().size(); ++column) {
      std::string_view columnRef;
      std::string number;
      std::vector<std::string_view> texts;
      // Whole numbers beside a decimal literal: column references and int literals, each with
      // whether it is the first member's and written without a name.
      std::vector<std::pair<std::string_view, bool>> wholes;
      for (const auto& items : members) {
        std::string_view full = items[column];
        // An item left without a name is read as it was written.
        const bool nameless = full.ends_with(kNoName) && !(full.starts_with('(') && full.find(collated) != full.npos);
        if (nameless) full.remove_suffix(kNoName.size());
        std::string_view item = full;
        // A named or collated item, (expr) COLLATE TSQL AS name, is its expression.
        if (item.starts_with('(') && item.find(collated) != std::string_view::npos) {
          const std::size_t close = ClosingOf(item, 0);
          if (close != std::string_view::npos && item.substr(close).starts_with(collated)) item = item.substr(1, close - 1);
        } else if (const std::size_t as = item.find(" AS "); as != std::string_view::npos && item.front() != '\'') {
          item = item.substr(0, as);
        }
        const bool unnamed = &items == &members.front() && item == full;
        const bool named = item != full && full.find(" AS ") != std::string_view::npos;
        if (IsTextLiteralText(item)) texts.push_back(item);
        else if (IsNumberText(item)) {
          const std::size_t dot = item.find('.');
          const std::size_t places = dot == std::string_view::npos ? 0 : item.size() - dot - 1;
          if (dot == std::string_view::npos ? number.empty() : number.empty() || number == "int" || places > std::stoul(number))
            number = dot == std::string_view::npos ? "int" : std::to_string(places);
          if (dot == std::string_view::npos && (named || item == full)) wholes.emplace_back(item, unnamed && !nameless);
        } else if (IsColumnReference(item)) {
          if (columnRef.empty()) columnRef = item;
          if (named || item == full) wholes.emplace_back(item, unnamed);
        } else if (named || (item == full && !unnamed)) {
          wholes.emplace_back(item, false);  // an expression: count(*), n + 1
        }
      }
      // A decimal literal outranks int: the column is numeric, an int member's 3 is 3.0, and 3.0 / 2
      // is 1.5 where a derived table's column is divided. A number outranks text: a text column's
      // value is converted to it, and text that is no number is the server's conversion error.
      if (!number.empty() && texts.empty())
        for (const auto& [whole, unnamed] : wholes) {
          std::string value(whole);
          if (IsColumnReference(whole)) value = DeclaredTextAsNumber(value, number == "int" ? -1 : std::stoi(number));
          if (number != "int") value = "tsql_fraction(" + value + ")";
          if (value == whole) continue;
          replaced.push_back({static_cast<std::size_t>(whole.data() - written.data()), whole.size(),
                              value + (unnamed ? " AS " + QuotedOnce(whole.substr(whole.rfind('.') + 1)) : "")});
        }
      if (texts.empty() || (columnRef.empty() && number.empty())) continue;
      for (const std::string_view text : texts) {
        const std::string literal(text);
        replaced.push_back({static_cast<std::size_t>(text.data() - written.data()), text.size(),
                            !columnRef.empty()  ? DeclaredColumnLiteral(std::string(columnRef), literal)
                            : number == "int" ? "tsql_int(" + literal + ")"
                                              : "tsql_decimal(" + literal + ", " + number + ")"});
      }
    }
    std::sort(replaced.begin(), replaced.end(), [](const auto& a, const auto& b) { return a.at > b.at; });
    for (const Replacement& r : replaced) out_.replace(r.at, r.length, r.text);
  }
  // A column's name, quoted as the rewriter writes names unless it already is.
  static std::string QuotedOnce(std::string_view name) {
    return name.starts_with('"') ? std::string(name) : QuoteName(name);
  }
  static bool IsNumberText(std::string_view text) {
    if (text.starts_with("- ")) text.remove_prefix(2);
    else if (text.starts_with('-')) text.remove_prefix(1);
    return !text.empty() && text.find_first_not_of("0123456789.") == std::string_view::npos &&
           text.find_first_of("0123456789") != std::string_view::npos;
  }
  // Whether the written text is one text literal ('a', 'it''s').
  static bool IsTextLiteralText(std::string_view text) {
    if (text.size() < 2 || text.front() != '\'' || text.back() != '\'') return false;
    for (std::size_t i = 1; i + 1 < text.size(); ++i)
      if (text[i] == '\'' && text[++i] != '\'') return false;
    return true;
  }

  // A column of a UNION is an int term when it is one in every member, of the columns of each.
  static void MergeMemberItems(std::vector<DerivedIntColumn>& items, const std::vector<DerivedIntColumn>& member) {
    if (member.size() != items.size()) return items.clear();  // a * among the items
    for (std::size_t i = 0; i < items.size(); ++i) {
      items[i].ints = items[i].ints && member[i].ints &&
                      EveryIntColumnName(member[i].names, [&](std::string_view name) {
                        return AppendIntColumnName(items[i].names, name);
                      });
    }
  }

  bool AtSetOperator() const { return AtWord("UNION") || AtWord("EXCEPT") || AtWord("INTERSECT"); }

  // TOP in one member of a UNION, EXCEPT or INTERSECT limits that member alone: SELECT * FROM
  // (member LIMIT n). A member has no ORDER BY of its own, so which rows it keeps is the server's
  // choice, on SQL Server as here; WITH TIES needs an ORDER BY and is SQL Server's error.
  void LimitMember(std::size_t coreStart, const CoreExtent& extent, const TopRows& top) {
    if (top.withTies) Fail("TOP ... WITH TIES without ORDER BY");
    MarkUnnamedColumns(extent);
    const std::string_view written = out_;
    const std::string limit = TopLimit(top, {written.substr(coreStart),
                                             written.substr(extent.sourcesFrom, extent.sourcesTo - extent.sourcesFrom),
                                             {}, false, extent.distinct});
    out_.insert(out_.find_first_not_of(' ', coreStart), "SELECT * FROM (");
    Emit(limit);
    Emit(")");
  }

  // Read through *, the member's nameless columns would be named anew (see UnnamedColumn.h).
  void MarkUnnamedColumns(const CoreExtent& extent) {
    std::vector<std::size_t> at;
    const std::string_view written = out_;
    for (std::size_t i = written.find(kNoName, extent.listFrom); i < extent.listEnd; i = written.find(kNoName, i + 1))
      at.push_back(i);
    for (std::size_t k = at.size(); k-- > 0;)
      out_.replace(at[k], kNoName.size(), " AS " + QuoteName(UnnamedColumnMark(k + 1)));
  }

  void OffsetFetch() {
    ExpectWord("OFFSET");
    const std::string offset = CapturedExpr();
    if (!AcceptWord("ROWS")) ExpectWord("ROW");
    std::optional<std::string> fetch;
    if (AcceptWord("FETCH")) {
      if (!AcceptWord("NEXT")) ExpectWord("FIRST");
      fetch = CapturedExpr();
      if (!AcceptWord("ROWS")) ExpectWord("ROW");
      ExpectWord("ONLY");
    }
    Emit(OffsetFetchLimit(offset, fetch));
  }

  // ---- variables -----------------------------------------------------------------------------

  void VariableAssignment(AssignmentSelect& assigning) {
    const std::string_view name = Take().text();
    ExpectOp("=");
    const std::size_t from = pos_;
    const std::string value = CapturedExpr();
    for (std::size_t i = from; i < pos_; ++i) assigning.readsVariables |= token_[i].kind == TokenKind::Variable;
    assigning.values.emplace_back(std::string(name), variables_.Converted(name, value));
    Emit(assigning.values.back().second);  // the list stays a select list for the TOP rules that count its rows
  }

  // A SELECT statement. One that assigns variables gives them the values of its last row, as SQL
  // Server does, and no rows: its list becomes the assignments (see BatchVariables.h). Where an
  // ORDER BY or DISTINCT decides which row is last, the rows are put in order first, in a
  // materialized common table, and assigned from it in that order.
  void SelectStatement(std::size_t start) {
    AssignmentSelect assigning;
    assigning_ = &assigning;
    Select();
    assigning_ = nullptr;
    if (assigning.values.empty()) return;
    if (assigning.returnsColumns) Fail("a SELECT that assigns variables and also returns columns");
    if (assigning.compound) Fail("a variable assignment in a UNION");
    if (!into_.emitted.empty()) Fail("SELECT ... INTO with a variable assignment");
    const std::size_t listLength = assigning.listTo - assigning.listFrom;
    if (!assigning.reordered) {
      out_.replace(assigning.listFrom, listLength, " " + AssignmentList(assigning.values));
      return;
    }
    // Reading variables while rows are assigned in an order is the accumulation (SELECT @s = @s
    // + name ... ORDER BY name) whose result SQL Server documents as undefined.
    if (assigning.readsVariables) Fail("a SELECT that assigns variables from variables under ORDER BY or DISTINCT");
    std::string values;
    std::vector<std::pair<std::string, std::string>> fromRows;
    for (const auto& [name, value] : assigning.values) {
      const std::string column = "tsql_value" + std::to_string(fromRows.size() + 1);
      values += (values.empty() ? " " : ", ") + value + " AS " + column;
      fromRows.emplace_back(name, column);
    }
    std::string rows = out_.substr(start);
    rows.replace(assigning.listFrom - start, listLength, values);
    out_.resize(start);
    out_ += "WITH tsql_rows AS MATERIALIZED (" + Trim(std::move(rows)) + ") SELECT " + AssignmentList(fromRows) +
            " FROM tsql_rows";
  }

  // DECLARE @x type [= value], ...: each variable gets its type and its value (NULL without one),
  // one after the other, so that a later value may read an earlier variable.
  void Declare() {
    ExpectWord("DECLARE");
    bool first = true;
    do {
      const Token& name = Take();
      if (name.kind != TokenKind::Variable) Unexpected();
      AcceptWord("AS");
      if (AtWord("TABLE")) {
        if (!first) Fail("a table variable declared beside other variables");
        return DeclareTable(name.text());
      }
      if (AtWord("CURSOR")) Fail("the cursor variable " + std::string(name.text()));
      const SqlType type = TypeName();
      std::string value = "NULL";
      if (AcceptOp("=")) value = CapturedExpr();
      variables_.Declare(name.text(), type);
      if (value != "NULL") value = variables_.Converted(name.text(), value);
      out_ += first ? "" : "; ";
      Emit("SELECT " + AssignmentList({{std::string(name.text()), value}}));
      first = false;
    } while (AcceptOp(","));
  }

  // DECLARE @t TABLE (columns) makes a temp table of the batch, as a #table is made (its text
  // columns compare as the server's); it is dropped at the end of the batch, and dropped first
  // should a batch that failed half-way have left one of its name.
  void DeclareTable(std::string_view name) {
    ExpectWord("TABLE");
    variables_.DeclareTable(name);
    const std::string table = TableVariableName(name);
    Emit("DROP TABLE IF EXISTS temp." + table + "; CREATE TEMP TABLE " + table);
    if (!AtOp("(")) Unexpected();
    const std::size_t definition = out_.size();
    TableDefinition();
    HoldNumbers(table, definition);
    ++tableVariables_;
  }
  // Each table variable lives to the end of its batch.
  [[gnu::noinline]] void DropTableVariables() {
    for (const std::string& name : variables_.TableNames()) out_ += "; DROP TABLE temp." + TableVariableName(name);
  }
  static std::string TableVariableName(std::string_view name) { return "\"" + LowerName(name) + "\""; }

  // SET @x = value, SET @x += value (any of + - * / % & | ^); and the session options that change
  // nothing here (see SessionOption).
  void Set() {
    ExpectWord("SET");
    if (!Peek() || Peek()->kind != TokenKind::Variable) return SessionOption();
    const std::string_view name = Take().text();
    std::string_view compound;
    if (!AtOp("=") && AtOp("=", 1)) compound = Take().text();
    ExpectOp("=");
    std::string value = CapturedExpr();
    if (!compound.empty()) value = CompoundValue(variables_.Read(name), compound, value);
    Emit("SELECT " + AssignmentList({{std::string(name), variables_.Converted(name, value)}}));
  }

  static std::string CompoundValue(const std::string& current, std::string_view op, const std::string& value) {
    if (op == "*") return current + " * (" + value + ")";
    if (op == "/") return "tsql_divide(" + current + ", " + value + ")";
    if (op == "%") return "tsql_modulo(" + current + ", " + value + ")";
    if (!AdditiveChain::IsOperator(op)) Fail("SET with the operator " + std::string(op) + "=");
    AdditiveChain chain(current);
    chain.Apply(op, "(" + value + ")");
    return chain.Text();
  }

  // SET NOCOUNT ON|OFF, SET ANSI_NULLS ON, SET QUOTED_IDENTIFIER ON and SET TRANSACTION ISOLATION
  // LEVEL ... run as nothing: the first only silences row counts, the next two are how the
  // translation reads the text already, and the embedded database isolates every transaction
  // fully (as the dropped NOLOCK hints show, reads never see uncommitted rows). Other options
  // change results and are refused.
  void SessionOption() {
    if (AcceptWord("NOCOUNT")) {
      if (!AcceptWord("ON")) ExpectWord("OFF");
      return;
    }
    if ((AtWord("ANSI_NULLS") || AtWord("QUOTED_IDENTIFIER")) && AtWord("ON", 1)) {
      pos_ += 2;
      return;
    }
    if (AcceptWord("TRANSACTION")) {
      ExpectWord("ISOLATION");
      ExpectWord("LEVEL");
      if (AcceptWord("READ")) {
        if (!AcceptWord("COMMITTED")) ExpectWord("UNCOMMITTED");
      } else if (AcceptWord("REPEATABLE")) {
        ExpectWord("READ");
      } else if (!AcceptWord("SERIALIZABLE")) {
        ExpectWord("SNAPSHOT");
      }
      return;
    }
    if (!Peek()) Unexpected();
    Fail("SET " + UpperName(Peek()->text()));
  }

  void SetOperator() {
    Emit(AcceptWord("UNION") ? "UNION" : AcceptWord("EXCEPT") ? "EXCEPT" : (ExpectWord("INTERSECT"), "INTERSECT"));
    if (AcceptWord("ALL")) Emit("ALL");
  }

  // SELECT ... INTO t, allowed in the statement's first select core only, makes the statement
  // CREATE TABLE t AS SELECT ... (see TempTables.h).
  std::optional<TopRows> SelectCore(CoreExtent& extent, AssignmentSelect* assigning = nullptr,
                                    std::vector<DerivedIntColumn>* items = nullptr) {
    const bool mayInto = std::exchange(intoAllowed_, false);
    std::vector<std::string>* names = std::exchange(itemNames_, nullptr);
    std::vector<std::size_t>* const namelessOut = std::exchange(unnamedColumns_, nullptr);
    std::vector<std::size_t> nameless;
    ExpectWord("SELECT");
    Emit("SELECT");
    std::optional<TopRows> top;
    for (int i = 0; i < 2; ++i) {
      if (AcceptWord("DISTINCT")) {
        Emit("DISTINCT");
        extent.distinct = true;
      }
      if (AcceptWord("ALL")) Emit("ALL");
      if (AcceptWord("TOP")) top = TopCount();
    }
    const bool outerStar = std::exchange(listStar_, false);
    if (assigning) assigning->listFrom = out_.size();
    const std::size_t listFrom = out_.size();
    std::vector<DerivedIntColumn>* const outerItems = std::exchange(listItems_, items);
    std::vector<std::pair<std::size_t, std::size_t>> unnamed;
    auto* const outerUnnamed = std::exchange(unnamedItems_, &unnamed);
    const bool outerNoting = std::exchange(notingTypes_, mayInto);
    SelectList(names, assigning, &nameless);
    notingTypes_ = outerNoting;
    if (namelessOut) *namelessOut = nameless;
    listItems_ = outerItems;
    unnamedItems_ = outerUnnamed;
    extent.listFrom = listFrom;
    extent.listEnd = out_.size();
    if (mayInto) intoList_ = {listFrom, out_.size()};
    if (assigning) assigning->listTo = out_.size();
    if (AcceptWord("INTO")) {
      if (!mayInto) Fail("SELECT ... INTO here");
      if (!nameless.empty()) RefuseUnnamedColumnInto();
      into_ = TableName();
      if (listStar_) intoTypes_.clear();  // the columns are not the items one by one
    }
    extent.sourcesFrom = out_.size();
    std::vector<DerivedIntColumn> derived;
    std::vector<SourceRef> sources;
    std::vector<std::pair<std::size_t, std::size_t>> conditions;
    if (AcceptWord("FROM")) {
      Emit("FROM");
      sources.reserve(4);  // room for the tables of almost any FROM clause at once, without regrowths
      std::vector<DerivedIntColumn>* const outerDerived = std::exchange(derivedSources_, &derived);
      auto* const outerConditions = std::exchange(joinConditions_, &conditions);
      TableSources(&sources);
      derivedSources_ = outerDerived;
      joinConditions_ = outerConditions;
    }
    std::size_t sourcesEnd = out_.size();
    listStar_ = outerStar;
    const std::vector<SourceRef>* const outerScope = std::exchange(scopeSources_, &sources);
    const Scope scope{&sources, scope_};
    const Scope* const outerScopes = std::exchange(scope_, &scope);
    if (AcceptWord("WHERE")) {
      Emit("WHERE");
      Expr();
    }
    if (AcceptWord("GROUP")) {
      ExpectWord("BY");
      Emit("GROUP BY");
      CollatedItems();
    }
    if (AcceptWord("HAVING")) {
      Emit("HAVING");
      Expr();
    }
    scopeSources_ = outerScope;
    scope_ = outerScopes;
    extent.sourcesTo = out_.size();
    if (!unnamed.empty() && (extent.distinct || AtSetOperator()) && (!assigning || assigning->values.empty())) {
      const std::size_t grown = CollatedUnnamedItems(unnamed, extent);
      sourcesEnd += grown;
      for (auto& [from, to] : conditions) from += grown, to += grown;
    }
    if (!derived.empty()) IntChecksThroughDerived(listFrom, extent, sourcesEnd, conditions, derived, items);
    extent.derived = std::move(derived);
    if (qualifiedCuts_ && !sources.empty()) CutsThroughSources(listFrom, extent, sources);
    return top;
  }

  // DISTINCT and a UNION, EXCEPT or INTERSECT compare the rows: an item that is an expression
  // compares by the collation, as a named one does; its name, none, follows it.
  // Returns how much longer the list has grown.
  [[gnu::noinline]] std::size_t CollatedUnnamedItems(const std::vector<std::pair<std::size_t, std::size_t>>& unnamed,
                                                     CoreExtent& extent) {
    const std::size_t listEnd = extent.listEnd;
    for (auto item = unnamed.rbegin(); item != unnamed.rend(); ++item) {
      const std::size_t from = std::min(out_.find_first_not_of(' ', item->first), item->second);
      const std::string expr = out_.TrimmedFrom(from, item->second - from);
      const std::string collated = "(" + expr + ") " + std::string(kCollate);
      out_.replace(from, expr.size(), collated);
      const std::size_t grown = collated.size() - expr.size();
      extent.listEnd += grown, extent.sourcesFrom += grown, extent.sourcesTo += grown;
    }
    return extent.listEnd - listEnd;
  }

  // ISNULL's cuts name a column by its table's alias before the FROM clause that gives the
  // alias is read: they now name the table.
  [[gnu::noinline]] void CutsThroughSources(std::size_t listFrom, CoreExtent& extent,
                                            const std::vector<SourceRef>& sources) {
    std::vector<std::pair<std::string, std::string>> tables;
    for (const SourceRef& source : sources)
      if (!source.table.bare.empty()) tables.emplace_back(source.Reference().bare, source.table.bare);
    const auto through = [&](std::size_t from, std::size_t to) {
      const std::string text = out_.substr(from, to - from);
      const std::string read = QualifiedCutsThrough(text, tables);
      out_.replace(from, to - from, read);
      return read.size() - text.size();
    };
    const std::size_t listGrown = through(listFrom, extent.listEnd);
    extent.listEnd += listGrown, extent.sourcesFrom += listGrown, extent.sourcesTo += listGrown;
    extent.sourcesTo += through(extent.sourcesFrom, extent.sourcesTo);
  }

  // The select list and what follows the FROM were written before the derived tables' columns
  // were known: their int checks, which name those columns, now name what the columns stand for
  // (n of "select x + 1 from (select n as x from t) d"), and so do the core's own items when it is
  // itself a derived table's.
  [[gnu::noinline]] void IntChecksThroughDerived(std::size_t listFrom, CoreExtent& extent, std::size_t sourcesEnd,
                                                 const std::vector<std::pair<std::size_t, std::size_t>>& conditions,
                                                 const std::vector<DerivedIntColumn>& derived,
                                                 std::vector<DerivedIntColumn>* items) {
    const auto through = [&](std::size_t from, std::size_t to) {
      const std::string text = out_.substr(from, to - from);
      if (text.find("tsql_int_") == std::string::npos) return std::size_t{0};
      const std::string read = IntChecksThrough(text, derived);
      out_.replace(from, to - from, read);
      return read.size() - text.size();
    };
    extent.sourcesTo += through(sourcesEnd, out_.size());
    // The joins' ON conditions, the last first, so that each one's place still holds.
    for (auto on = conditions.rbegin(); on != conditions.rend(); ++on) extent.sourcesTo += through(on->first, on->second);
    const std::size_t listGrown = through(listFrom, extent.listEnd);
    extent.listEnd += listGrown, extent.sourcesFrom += listGrown, extent.sourcesTo += listGrown;
    if (items)
      for (DerivedIntColumn& item : *items)
        if (item.ints) item.names = IntColumnNamesThrough(item.names, derived), item.ints = item.names != "*";
  }

  // TOP n, TOP (expression), either with PERCENT and/or WITH TIES (see TopClause.h).
  TopRows TopCount() {
    TopRows top;
    if (AcceptOp("(")) {
      const std::size_t from = pos_;
      top.count = AtWord("SELECT") ? "(" + Capture([&] { Select(); }) + ")" : CapturedExpr();
      top.literal = pos_ == from + 1 && token_[from].kind == TokenKind::Number;
      if (!top.literal) top.count = "(" + top.count + ")";
      ExpectOp(")");
    } else {
      const Token& n = Take();
      if (n.kind != TokenKind::Number) Fail("TOP with a count other than a number");
      top.count = Normalize(n);
    }
    top.percent = AcceptWord("PERCENT");
    if (AtWord("WITH") && AtWord("TIES", 1)) {
      pos_ += 2;
      top.withTies = true;
    }
    return top;
  }

  // With `names`, the name each item gives its column goes there; an unnamed one is refused.
  // With `unnamed`, the place (from 1) of each expression left without a name goes there.
  void SelectList(std::vector<std::string>* names = nullptr, AssignmentSelect* assigning = nullptr,
                  std::vector<std::size_t>* unnamed = nullptr) {
    std::size_t place = 0;
    do {
      ++place;
      if (assigning && Peek() && Peek()->kind == TokenKind::Variable && AtOp("=", 1)) {
        VariableAssignment(*assigning);
        continue;
      }
      if (assigning) assigning->returnsColumns = true;
      const Token* name = SelectItem(names != nullptr || listItems_);
      if (std::exchange(itemUnnamed_, false) && unnamed) unnamed->push_back(place);
      // An unnamed item is read by no name, but a UNION's later member gives its column no name.
      if (listItems_) listItems_->push_back({name ? BareName(*name) : std::string(), std::move(itemInt_.names),
                                            itemInt_.ints});
      if (!names) continue;
      if (!name) Fail("a recursive common table expression with an unnamed column");
      names->push_back(Normalize(*name));
    } while (AcceptOp(",") && (Emit(","), true));
  }

  // A select item: *, t.*, or an expression with an optional alias; T-SQL's "alias = expression"
  // (never a comparison in a select list) becomes "expression AS alias".
  // Returns the token that names the item's column: its alias, or the column it is; null for
  // * and for an expression without an alias.
  const Token* SelectItem(bool named = false) {
    if (AcceptOp("*")) {
      Emit("*");
      listStar_ = true;
      return nullptr;
    }
    if (AtOp(".", 1) && AtOp("*", 2) && AtName()) {
      if (!output_.pseudoTable.empty()) {
        const Token& qualifier = Take();
        CheckOutputQualifier(qualifier, 2);
        pos_ += 2;
        const std::string bare = LowerName(BareName(qualifier));
        if (bare != output_.pseudoTable) output_.otherStar = true;
        Emit(output_.asWritten ? bare + ".*" : "*");
        return nullptr;
      }
      EmitToken(Take());
      pos_ += 2;
      Emit(".*");
      listStar_ = true;
      return nullptr;
    }
    if (AtOp("=", 1) && (AtName() || Peek()->kind == TokenKind::String)) {
      const Token& alias = Take();
      ++pos_;
      const std::size_t valueFrom = pos_;
      CollatedValue();
      if (notingTypes_) NoteItemType(valueFrom);
      Emit("AS");
      EmitToken(alias);
      return &alias;
    }
    const std::size_t from = pos_, start = out_.size();
    Expr();
    const std::size_t end = pos_;
    if (notingTypes_) NoteItemType(from);
    if (listItems_) NoteItemInt(from, start);
    if (!AtAlias()) {
      if (IsColumnRef(from, end)) return named ? &token_[end - 1] : nullptr;
      if (unnamedItems_ && !(end == from + 1 && token_[from].kind == TokenKind::Number))
        unnamedItems_->emplace_back(start, out_.size());
      // The server names such a column nothing; SQLite would name it after the translated text.
      Emit(kNoName.substr(1));
      itemUnnamed_ = true;
      return nullptr;
    }
    if (!IsColumnRef(from, end)) Collated(start);
    Alias();
    return &token_[pos_ - 1];
  }

  // The type the server gives a column SELECT ... INTO makes of the item just read (its tokens
  // from `first` to the cursor), where the item alone tells it: CAST or CONVERT, a number or a
  // text literal. A column read as it stands takes its declared type where the table is made;
  // other expressions get none.
  [[gnu::noinline]] void NoteItemType(std::size_t first) {
    std::string type;
    const std::size_t at = pos_;
    std::size_t digits = first;
    if (at == first + 2 && token_[first].code == TokenCode("-").value) ++digits;
    if (conversion_.from == first && conversion_.to == at) {
      pos_ = conversion_.typeAt;
      const SqlType written = TypeName();
      pos_ = at;
      type = written.name;
      // CAST to text without a length converts to 30 characters, which a bare type would not hold.
      const bool sized = written.name.ends_with("char") || written.name.ends_with("binary");
      // (max) holds any length: the bare type, as CREATE TABLE writes it (SQLite takes no word there).
      const bool unbounded = written.size.size() == 1 && LowerName(written.size[0]) == "max";
      if (!written.size.empty() && !unbounded) {
        type += "(";
        for (std::size_t i = 0; i < written.size.size(); ++i) type += (i ? "," : "") + written.size[i];
        type += ")";
      } else if (sized && !unbounded) {
        type += "(30)";
      }
    } else if (at == digits + 1 && token_[digits].kind == TokenKind::Number) {
      const std::string_view number = token_[digits].text();
      const std::size_t dot = number.find('.');
      if (number.find_first_of("xX") != std::string_view::npos) {
      } else if (number.find_first_not_of("0123456789.") != std::string_view::npos) {
        type = "float";
      } else if (dot == std::string_view::npos) {
        type = number.size() < 10 || (number.size() == 10 && number <= "2147483647")
                   ? "int"
                   : "numeric(" + std::to_string(std::min<std::size_t>(number.size(), 38)) + ",0)";
      } else {
        const std::size_t places = number.size() - dot - 1;
        const std::size_t lead = std::min(number.find_first_not_of('0'), dot);
        type = "numeric(" + std::to_string(std::max<std::size_t>(dot - lead + places, 1)) + "," +
               std::to_string(places) + ")";
      }
    } else if (at == first + 1 && (token_[first].kind == TokenKind::String || token_[first].kind == TokenKind::NString)) {
      std::string_view quoted = token_[first].text();
      const bool national = token_[first].kind == TokenKind::NString;
      if (national) quoted.remove_prefix(1);
      std::size_t length = 0;
      for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(quoted[i]);
        if (c == '\'' && quoted[i + 1] == '\'') ++i;
        // The server's Chinese code page keeps any character past ASCII in two bytes.
        if (c < 0x80 || c >= 0xC0) length += national || c < 0x80 ? 1 : 2;
        if (c >= 0xF0 && national) ++length;
      }
      type = (national ? "nvarchar(" : "varchar(") + std::to_string(std::max<std::size_t>(length, 1)) + ")";
    } else if (const char* rule = SumOrIntTermRule(first, at)) {
      // sum(c), c + 1, c - 1: typed by c's declared type where the table is made (IntoProbe).
      type = std::string("=") + rule + std::to_string(intoProbeColumns_.size());
      std::string column;
      for (std::size_t i = probeColumn_.first; i < probeColumn_.second; ++i) column += Normalize(token_[i]);
      intoProbeColumns_.push_back(std::move(column));
    }
    intoTypes_.push_back(std::move(type));
  }
  // "sum" for sum(c), "add" for c + n or c - n (n an int literal), with c's tokens kept in
  // probeColumn_; null for another item.
  const char* SumOrIntTermRule(std::size_t first, std::size_t at) {
    if (at >= first + 4 && SameName(token_[first].text(), "SUM") && token_[first + 1].code == TokenCode("(").value &&
        token_[at - 1].code == TokenCode(")").value && IsColumnRef(first + 2, at - 1)) {
      probeColumn_ = {first + 2, at - 1};
      return "sum";
    }
    const Token& last = token_[at - 1];
    if (at >= first + 3 && last.kind == TokenKind::Number && last.text().find_first_not_of("0123456789") == std::string_view::npos &&
        last.text().size() < 10 && (token_[at - 2].code == TokenCode("+").value || token_[at - 2].code == TokenCode("-").value) &&
        IsColumnRef(first, at - 2)) {
      probeColumn_ = {first, at - 2};
      return "add";
    }
    return nullptr;
  }
  // The statement's select with the columns its items of sum(c) or c + n read as its list, which
  // tsql_select_into prepares to learn their declared types; empty when no item needs one.
  std::string IntoProbe(std::size_t start) const {
    if (intoProbeColumns_.empty() || intoList_.second <= intoList_.first) return {};
    std::string probe = out_.substr(start, intoList_.first - start);
    for (std::size_t i = 0; i < intoProbeColumns_.size(); ++i) probe += (i ? ", " : " ") + intoProbeColumns_[i];
    return Trim(probe + " " + out_.substr(intoList_.second));
  }

  // A named result column that is an expression compares as a column of the module's tables does
  // wherever it is read by its name (a derived table's WHERE, a join, UNION, ORDER BY the name):
  // SQLite gives an expression no collation of its own, and so would compare 'a ' and 'A' apart.
  // An unnamed one keeps SQLite's name for it, its text.
  void CollatedValue() {
    const std::size_t from = pos_, start = out_.size();
    Expr();
    if (listItems_) NoteItemInt(from, start);
    if (!IsColumnRef(from, pos_)) Collated(start);
  }

  // Whether the item just read (its tokens from `first`, written from `start`) is an int term, and
  // of which columns, for the outer select that reads it as a derived table's column.
  [[gnu::noinline]] void NoteItemInt(std::size_t first, std::size_t start) {
    itemInt_.names.clear();
    itemInt_.ints = AddIntTerm(itemInt_.names, start, first);
  }
  // The item is parenthesised where it was written, without taking it out: the blanks it was
  // joined with at its ends give way to the parenthesis, after a blank where Emit would write one.
  void Collated(std::size_t start) {
    const std::size_t last = out_.find_last_not_of(" ", out_.size() - 1);
    out_.resize(last == OutputText::npos || last < start ? start : last + 1);
    const std::size_t first = std::min(out_.find_first_not_of(' ', start), out_.size());
    const bool glued = start == 0 || kGluesToNext[static_cast<unsigned char>(std::string_view(out_)[start - 1])];
    out_.replace(start, first - start, glued ? "(" : " (");
    out_ += ") ";
    out_ += kCollate;
  }

  bool AtAlias() const {
    return AtWord("AS") || AtName() || (Peek() && (Peek()->kind == TokenKind::String || Peek()->kind == TokenKind::NString));
  }

  void Alias() {
    if (AcceptWord("AS")) {
      const Token& t = Take();
      if (!IsName(t) && t.kind != TokenKind::String && t.kind != TokenKind::NString) Unexpected();
      Emit("AS");
      return EmitToken(t);
    }
    if (AtAlias()) {
      Emit("AS");
      EmitToken(Take());
    }
  }

  // True when an item is a column number (ORDER BY 2).
  bool OrderItems() {
    bool position = false;
    do {
      const std::size_t from = pos_;
      CollatedItem();
      if (pos_ == from + 1 && token_[from].kind == TokenKind::Number) position = true;
      if (AcceptWord("ASC")) Emit("ASC");
      else if (AcceptWord("DESC")) Emit("DESC");
    } while (AcceptOp(",") && (Emit(","), true));
    return position;
  }

  // Dropped before an OUTPUT's trigger is made, should a batch that failed half-way have left it.
  static constexpr std::string_view kDropOutputTrigger = "DROP TRIGGER IF EXISTS temp.tsql_output; ";

  struct Output {
    std::string returning;  // RETURNING ..., when the statement's own rows give the list
    std::string list;       // otherwise the list, reading inserted and deleted by those names
    std::string into;       // INSERT INTO t [(columns)], for OUTPUT ... INTO t
    std::string table;      // the table the statement changes, set by the statement
    std::string marks;      // for INTO, the list's bound values kept in a table (see HoistMarks)
    bool Copied() const { return !list.empty(); }
    std::string MarksKept() const {
      return marks.empty() ? "" : "DROP TABLE IF EXISTS temp.tsql_output_values; " + marks + "; ";
    }
    std::string MarksDropped() const { return marks.empty() ? "" : "; DROP TABLE temp.tsql_output_values"; }
  };

  // A trigger's statements take no bound values: an INTO list's marks are read once into a table
  // beside it (CREATE TEMP TABLE tsql_output_values AS SELECT ?1 AS tsql_v1, ...), and the list
  // reads them from there.
  [[gnu::noinline]] static void HoistMarks(Output& output) {
    std::string list, kept;
    int count = 0;
    for (std::size_t pos = 0; pos < output.list.size();) {
      const TokenExtent t = NextToken(output.list, pos);
      const std::string_view text = std::string_view(output.list).substr(pos, t.length);
      pos += t.length;
      if (t.kind != TokenKind::Parameter) {
        list += text;
        continue;
      }
      const std::string column = "tsql_v" + std::to_string(++count);
      kept += (kept.empty() ? "" : ", ") + std::string(text) + " AS " + column;
      list += "(SELECT " + column + " FROM temp.tsql_output_values)";
    }
    if (count == 0) return;
    output.list = std::move(list);
    output.marks = "CREATE TEMP TABLE tsql_output_values AS SELECT " + kept;
  }

  // INSERT [INTO] t [(columns)] VALUES (...), ... | SELECT ... | DEFAULT VALUES.
  void Insert() {
    ExpectWord("INSERT");
    AcceptWord("INTO");
    const std::size_t statementStart = out_.size();
    Emit("INSERT INTO " + TableName().emitted);
    const std::size_t tableEnd = out_.size();
    if (AtWord("WITH") && AtOp("(", 1)) pos_ = SkipHintList(tokens_, pos_ + 1, end_);
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
    const std::unique_ptr<Output> output = OutputClause("inserted", "an INSERT");
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
    if (!output) return;
    if (output->into.empty()) return Emit(output->returning);
    InsertIntoOutput(*output, statementStart, tableEnd);
  }

  [[gnu::noinline]] void InsertIntoOutput(const Output& output, std::size_t statementStart, std::size_t tableEnd) {
    constexpr std::string_view kInsertInto = "INSERT INTO ";
    const std::string table = out_.TrimmedFrom(statementStart, tableEnd - statementStart).substr(kInsertInto.size());
    // Each row the INSERT makes is written INTO t by a trigger of the statement's own, as it is
    // made (an explicit key may give a new row a rowid below the others): rows a trigger writes
    // are not counted, so the statement's count is that of the rows it inserted.
    const std::string insert = out_.TrimmedFrom(statementStart);
    out_.resize(statementStart);
    Emit(output.MarksKept() + std::string(kDropOutputTrigger) + "CREATE TEMP TRIGGER tsql_output AFTER INSERT ON " +
         table + " BEGIN " + output.into + " SELECT " + output.list + " FROM " + table +
         " AS inserted WHERE inserted.rowid = new.rowid; END; " + insert + "; DROP TRIGGER temp.tsql_output" +
         output.MarksDropped());
  }

  // OUTPUT inserted.x, deleted.*, ...: SQLite's RETURNING at the end of the statement, which gives
  // the row as the statement leaves it: the new row of an INSERT or UPDATE, the removed row of a
  // DELETE. An UPDATE's old values (deleted.x) and OUTPUT ... INTO t are not to be had from it:
  // for those the list is read again over the rows the statement changed, found by rowid, or
  // written INTO t by a trigger (see the statements). The columns of other tables are refused. Null without
  // OUTPUT: the module's statements, which have none, build nothing for it.
  std::unique_ptr<Output> OutputClause(std::string_view pseudoTable, std::string_view statement) {
    if (!AtWord("OUTPUT")) return nullptr;
    return ReadOutputClause(pseudoTable, statement);
  }
  [[gnu::noinline]] std::unique_ptr<Output> ReadOutputClause(std::string_view pseudoTable, std::string_view statement) {
    ExpectWord("OUTPUT");
    auto made = std::make_unique<Output>();
    Output& output = *made;
    const std::size_t listStart = pos_;
    output_ = {pseudoTable, statement, false, statement == "an UPDATE"};
    output.returning = "RETURNING " + Capture([&] { SelectList(); });
    const bool readsOther = output_.readsOther;
    output_ = {};
    if (AcceptWord("INTO")) {
      const NameRef into = TableName();
      output.into = "INSERT INTO " + into.emitted;
      if (AcceptOp("(")) {
        output.into += " (";
        do {
          if (!AtName()) Unexpected();
          output.into += Normalize(Take());
        } while (AcceptOp(",") && (output.into += ", ", true));
        ExpectOp(")");
        output.into += ")";
      }
    }
    if (!readsOther && output.into.empty()) return made;
    const std::size_t listEnd = pos_;
    pos_ = listStart;
    output_ = {pseudoTable, statement, true, statement == "an UPDATE"};
    output.list = Capture([&] { SelectList(); });
    output_ = {};
    pos_ = listEnd;
    if (!output.into.empty() && output.list.find('?') != std::string::npos) HoistMarks(output);
    output.returning.clear();
    return made;
  }

  // In an OUTPUT list every column is read through the pseudo-table the statement has (an UPDATE
  // has both).
  void CheckOutputQualifier(const Token& qualifier, std::size_t parts) {
    const std::string bare = BareName(qualifier);
    if (parts == 2 && SameName(bare, output_.pseudoTable)) return;
    if (parts == 2 && output_.bothTables && SameName(bare, "deleted")) {
      output_.readsOther = true;
      return;
    }
    if (parts == 2 && (SameName(bare, "inserted") || SameName(bare, "deleted")))
      Fail("OUTPUT " + LowerName(bare) + " in " + std::string(output_.statement));
    Fail("OUTPUT of a column not read through inserted or deleted");
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
    const std::optional<TopRows> top = DmlTop("UPDATE");
    const NameRef target = TableName();
    RefuseCommonTableTarget(target);
    SkipTableHints();
    ExpectWord("SET");
    std::vector<Assignment> assignments;
    do assignments.push_back(ParseAssignment(target));
    while (AcceptOp(","));
    const std::unique_ptr<Output> output = OutputClause("inserted", "an UPDATE");
    const std::string_view returning = output ? std::string_view(output->returning) : std::string_view();
    std::vector<SourceRef> sources;
    std::string from, where;
    if (AcceptWord("FROM")) from = Capture([&] { TableSources(&sources); });
    if (AcceptWord("WHERE")) where = Capture([&] { Expr(); });

    const SourceRef* joined = FindTarget(sources, target);
    std::string setList;
    for (const Assignment& a : assignments) setList += (setList.empty() ? "" : ", ") + a.column + " = " + a.value;
    if (output && output->Copied()) return UpdateWithCopiedRows(*output, target, joined, top, setList, assignments, from, where);
    if (top && !joined) {
      // The n rows are chosen first, by rowid, and only they are updated.
      const std::string rows = "SELECT " + target.emitted + ".rowid FROM " + target.emitted +
                               (from.empty() ? "" : ", " + from) + (where.empty() ? "" : " WHERE " + where);
      Emit("UPDATE " + target.emitted + " SET " + setList);
      if (!from.empty()) Emit("FROM " + from);
      Emit("WHERE " + (where.empty() ? "" : "(" + where + ") AND ") + target.emitted + ".rowid IN (" +
           DmlTopRows(*top, rows) + ")");
      return Emit(returning);
    }
    if (from.empty() || !joined) {
      Emit("UPDATE " + target.emitted + " SET " + setList);
      if (!from.empty()) Emit("FROM " + from);
      if (!where.empty()) Emit("WHERE " + where);
      return Emit(returning);
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
         ") WHERE tsql_target.rowid IN (" +
         DmlTopRows(top, "SELECT " + ref + ".rowid FROM " + from + (where.empty() ? "" : " WHERE " + where)) + ")");
    Emit(returning);
  }

  // An UPDATE whose OUTPUT reads the old values, or goes INTO a table: the rows it will change
  // are chosen first, by rowid, into tsql_rows, and copied with their old values into tsql_deleted
  // (the table's own columns, so deleted.* reads as the table's *; the copy's n-th row is the n-th
  // chosen). The UPDATE changes exactly those rows; a trigger of its own notes the rowid each row
  // has after it (a changed INTEGER PRIMARY KEY moves the row) and, for INTO, writes the row there:
  // rows a trigger writes are not counted, so the statement's count is that of the rows it changed.
  [[gnu::noinline]] void UpdateWithCopiedRows(Output& output, const NameRef& target, const SourceRef* joined,
                                              const std::optional<TopRows>& top, const std::string& setList,
                                              const std::vector<Assignment>& assignments, const std::string& from,
                                              const std::string& where) {
    const std::string condition = where.empty() ? "" : " WHERE " + where;
    const std::string kChosen = "(SELECT tsql_old FROM temp.tsql_rows)";
    std::string rows, update;
    if (joined) {
      output.table = joined->table.emitted;
      const std::string ref = joined->Reference().emitted;
      rows = DmlTopRows(top, "SELECT " + ref + ".rowid FROM " + from + condition);
      std::string columns, values;
      for (const Assignment& a : assignments) {
        columns += (columns.empty() ? "" : ", ") + a.column;
        values += (values.empty() ? "" : ", ") + a.value;
      }
      update = "UPDATE " + output.table + " AS tsql_target SET " +
               (assignments.size() == 1 ? columns : "(" + columns + ")") + " = (SELECT " + values + " FROM " + from +
               " WHERE " + ref + ".rowid = tsql_target.rowid" + (where.empty() ? "" : " AND (" + where + ")") +
               ") WHERE tsql_target.rowid IN " + kChosen;
    } else {
      output.table = target.emitted;
      rows = DmlTopRows(top, "SELECT " + target.emitted + ".rowid FROM " + target.emitted +
                                 (from.empty() ? "" : ", " + from) + condition);
      update = "UPDATE " + target.emitted + " SET " + setList + (from.empty() ? "" : " FROM " + from) + " WHERE " +
               (where.empty() ? "" : "(" + where + ") AND ") + target.emitted + ".rowid IN " + kChosen;
    }
    const std::string& table = output.table;
    const std::string into =
        output.into.empty() ? ""
                            : output.into + " SELECT " + output.list + " FROM temp.tsql_deleted AS deleted, " + table +
                                  " AS inserted WHERE deleted.rowid = (SELECT rowid FROM temp.tsql_rows WHERE tsql_old = "
                                  "old.rowid) AND inserted.rowid = new.rowid; ";
    const std::string read =
        output.into.empty() ? "SELECT " + output.list + " FROM temp.tsql_deleted AS deleted JOIN temp.tsql_rows ON "
                              "tsql_rows.rowid = deleted.rowid JOIN " + table +
                                  " AS inserted ON inserted.rowid = tsql_rows.tsql_new ORDER BY deleted.rowid; "
                            : "";
    Emit(output.MarksKept() + "DROP TABLE IF EXISTS temp.tsql_rows; DROP TABLE IF EXISTS temp.tsql_deleted; " +
         std::string(kDropOutputTrigger) + "CREATE TEMP TABLE tsql_rows AS SELECT rowid AS tsql_old, NULL AS tsql_new FROM " +
         table + " WHERE rowid IN (" + rows + ") ORDER BY rowid; CREATE INDEX temp.tsql_rows_old ON tsql_rows (tsql_old); "
         "CREATE TEMP TABLE tsql_deleted AS SELECT " + table + ".* FROM temp.tsql_rows JOIN " + table + " ON " + table +
         ".rowid = tsql_rows.tsql_old ORDER BY tsql_rows.rowid; CREATE TEMP TRIGGER tsql_output AFTER UPDATE ON " + table +
         " BEGIN UPDATE tsql_rows SET tsql_new = new.rowid WHERE tsql_old = old.rowid; " + into + "END; " + update +
         "; DROP TRIGGER temp.tsql_output; " + read + "DROP TABLE temp.tsql_deleted; DROP TABLE temp.tsql_rows" +
         output.MarksDropped());
  }

  bool AtBareWord(std::string_view word, std::size_t ahead = 0) const {
    return AtName(ahead) && SameName(BareName(token_[pos_ + ahead]), word);
  }
  bool AcceptBareWord(std::string_view word) { return AtBareWord(word) ? (++pos_, true) : false; }

  // MERGE [INTO] target [AS t] USING source ON condition WHEN ... ;  with at most one clause of
  // each kind: WHEN MATCHED [AND c] THEN UPDATE SET ... | DELETE, WHEN NOT MATCHED [BY TARGET]
  // [AND c] THEN INSERT, WHEN NOT MATCHED BY SOURCE [AND c] THEN UPDATE SET ... | DELETE; but two
  // WHEN MATCHED and two WHEN NOT MATCHED BY SOURCE, the first with AND, one UPDATE and one
  // DELETE (as the server has them): each row takes the first whose condition holds.
  // Run as a sequence on the rows as they were before it: the target rows each clause changes and
  // the source rows to insert are noted first (a target row matched by two source rows is the
  // server's error), then the changes are made to exactly those rows.
  [[gnu::noinline]] void Merge() {
    ExpectWord("MERGE");
    if (AtWord("TOP")) Fail("MERGE TOP");
    AcceptWord("INTO");
    const NameRef target = TableName();
    RefuseCommonTableTarget(target);
    SkipTableHints();
    NameRef alias;
    if (AcceptWord("AS") || (AtName() && !AtBareWord("USING"))) {
      if (!AtName()) Unexpected();
      const Token& name = Take();
      alias = {Normalize(name), BareName(name)};
    }
    const NameRef& ref = alias.bare.empty() ? target : alias;
    const std::string targetSource = target.emitted + (alias.bare.empty() ? "" : " AS " + alias.emitted);
    if (!AcceptBareWord("USING")) Unexpected();
    std::vector<SourceRef> sources;
    const std::string source = Capture([&] { TableSource(&sources); });
    ExpectWord("ON");
    const std::string on = Capture([&] { Expr(); });

    struct Clause {
      bool present = false;
      std::string condition;
      bool remove = false;
      std::string setList;   // UPDATE SET
      std::string columns;   // INSERT (columns)
      std::string values;    // INSERT VALUES (...)
    } matched, secondMatched, byTarget, bySource, secondBySource;
    while (AcceptWord("WHEN")) {
      const bool notMatched = AcceptWord("NOT");
      if (!AcceptBareWord("MATCHED")) Unexpected();
      Clause* clause = notMatched ? &byTarget : &matched;
      std::string name = notMatched ? "NOT MATCHED" : "MATCHED";
      if (notMatched && AcceptWord("BY")) {
        if (AcceptBareWord("SOURCE")) {
          clause = &bySource;
          name += " BY SOURCE";
        } else if (!AcceptBareWord("TARGET")) {
          Unexpected();
        }
      }
      if (clause != &byTarget && clause->present) {
        Clause* second = clause == &matched ? &secondMatched : &secondBySource;
        if (second->present) Fail("MERGE with more than two WHEN " + name + " clauses");
        clause = second;
      }
      if (clause->present) Fail("MERGE with two WHEN " + name + " clauses");
      clause->present = true;
      if (AcceptWord("AND")) clause->condition = Capture([&] { Expr(); });
      ExpectWord("THEN");
      if (clause != &byTarget && AcceptWord("DELETE")) {
        clause->remove = true;
      } else if (clause != &byTarget && AcceptWord("UPDATE")) {
        ExpectWord("SET");
        do {
          const Assignment a = ParseAssignment(ref);
          clause->setList += (clause->setList.empty() ? "" : ", ") + a.column + " = " + a.value;
        } while (AcceptOp(","));
      } else if (clause == &byTarget && AcceptWord("INSERT")) {
        if (AcceptOp("(")) {
          do {
            if (!AtName()) Unexpected();
            clause->columns += (clause->columns.empty() ? "" : ", ") + Normalize(Take());
          } while (AcceptOp(","));
          ExpectOp(")");
        }
        if (AtWord("DEFAULT")) Fail("MERGE ... INSERT DEFAULT VALUES");
        ExpectWord("VALUES");
        ExpectOp("(");
        clause->values = Capture([&] { ExprList(); });
        ExpectOp(")");
      } else {
        std::string action(pos_ < end_ ? token_[pos_].text() : "");
        for (char& c : action) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        Fail("MERGE WHEN " + name + " THEN " + action);
      }
    }
    if (!matched.present && !byTarget.present && !bySource.present) Unexpected();
    for (const auto& [first, second, name] : {std::tuple(&matched, &secondMatched, "MATCHED"),
                                              std::tuple(&bySource, &secondBySource, "NOT MATCHED BY SOURCE")}) {
      if (!second->present) continue;
      if (first->condition.empty()) Fail(std::string("MERGE with two WHEN ") + name + " clauses, the first without AND");
      if (second->remove == first->remove) Fail(std::string("MERGE with two WHEN ") + name + " clauses of one action");
    }
    if (AtWord("OUTPUT")) Fail("MERGE ... OUTPUT");
    if (!AtOp(";")) Fail("a MERGE not ended by a semicolon");

    const auto when = [](const std::string& condition) { return condition.empty() ? "" : " AND (" + condition + ")"; };
    const std::string refRowid = ref.emitted + ".rowid";
    std::string sql = "DROP TABLE IF EXISTS temp.tsql_merge_matched; DROP TABLE IF EXISTS temp.tsql_merge_unmatched; "
                      "DROP TABLE IF EXISTS temp.tsql_merge_new";
    std::string drops;
    // With two WHEN MATCHED clauses each matched pair notes the first clause whose condition holds.
    const std::string pick = secondMatched.present ? Pick(matched.condition, secondMatched.condition) : "";
    if (secondMatched.present) {
      sql += "; CREATE TEMP TABLE tsql_merge_matched AS SELECT " + refRowid + " AS tsql_rowid, min(" + pick +
             ") AS tsql_clause FROM " + targetSource + " JOIN " + source + " ON " + on + " WHERE " + pick +
             " IS NOT NULL GROUP BY " + refRowid + " HAVING tsql_merge_once(count(*))";
      drops += "; DROP TABLE temp.tsql_merge_matched";
    } else if (matched.present) {
      sql += "; CREATE TEMP TABLE tsql_merge_matched AS SELECT " + refRowid + " AS tsql_rowid FROM " + targetSource +
             " JOIN " + source + " ON " + on + (matched.condition.empty() ? "" : " WHERE " + matched.condition) +
             " GROUP BY " + refRowid + " HAVING tsql_merge_once(count(*))";
      drops += "; DROP TABLE temp.tsql_merge_matched";
    }
    if (secondBySource.present) {
      const std::string unmatchedPick = Pick(bySource.condition, secondBySource.condition);
      sql += "; CREATE TEMP TABLE tsql_merge_unmatched AS SELECT " + refRowid + " AS tsql_rowid, " + unmatchedPick +
             " AS tsql_clause FROM " + targetSource + " WHERE NOT EXISTS (SELECT 1 FROM " + source + " WHERE " + on +
             ") AND " + unmatchedPick + " IS NOT NULL";
      drops += "; DROP TABLE temp.tsql_merge_unmatched";
    } else if (bySource.present) {
      sql += "; CREATE TEMP TABLE tsql_merge_unmatched AS SELECT " + refRowid + " AS tsql_rowid FROM " + targetSource +
             " WHERE NOT EXISTS (SELECT 1 FROM " + source + " WHERE " + on + ")" + when(bySource.condition);
      drops += "; DROP TABLE temp.tsql_merge_unmatched";
    }
    if (byTarget.present) {
      sql += "; CREATE TEMP TABLE tsql_merge_new AS SELECT " + byTarget.values +
             " FROM " + source + " WHERE NOT EXISTS (SELECT 1 FROM " + targetSource + " WHERE " + on + ")" +
             when(byTarget.condition);
      drops += "; DROP TABLE temp.tsql_merge_new";
    }
    const auto change = [&](const Clause& clause, const std::string& noted, bool joined) {
      const std::string rows = refRowid + " IN (SELECT tsql_rowid FROM temp." + noted + ")";
      if (clause.remove) return "; DELETE FROM " + targetSource + " WHERE " + rows;
      if (!joined) return "; UPDATE " + targetSource + " SET " + clause.setList + " WHERE " + rows;
      // The condition is read again: another source row the ON condition matches, but the clause
      // refused, must not give the row its values.
      return "; UPDATE " + targetSource + " SET " + clause.setList + " FROM " + source + " WHERE (" + on + ")" +
             when(clause.condition) + " AND " + rows;
    };
    if (secondMatched.present) {
      for (const Clause* clause : {&matched, &secondMatched}) {
        const std::string number = clause == &matched ? "1" : "2";
        const std::string rows =
            refRowid + " IN (SELECT tsql_rowid FROM temp.tsql_merge_matched WHERE tsql_clause = " + number + ")";
        if (clause->remove) sql += "; DELETE FROM " + targetSource + " WHERE " + rows;
        else
          sql += "; UPDATE " + targetSource + " SET " + clause->setList + " FROM " + source + " WHERE (" + on +
                 ") AND " + pick + " = " + number + " AND " + rows;
      }
    } else if (matched.present) {
      sql += change(matched, "tsql_merge_matched", true);
    }
    if (secondBySource.present) {
      for (const Clause* clause : {&bySource, &secondBySource}) {
        const std::string rows = refRowid + " IN (SELECT tsql_rowid FROM temp.tsql_merge_unmatched WHERE tsql_clause = " +
                                 (clause == &bySource ? "1" : "2") + ")";
        if (clause->remove) sql += "; DELETE FROM " + targetSource + " WHERE " + rows;
        else sql += "; UPDATE " + targetSource + " SET " + clause->setList + " WHERE " + rows;
      }
    } else if (bySource.present) {
      sql += change(bySource, "tsql_merge_unmatched", false);
    }
    if (byTarget.present) {
      sql += "; INSERT INTO " + target.emitted + (byTarget.columns.empty() ? "" : " (" + byTarget.columns + ")") +
             " SELECT * FROM temp.tsql_merge_new";
    }
    Emit(sql + drops);
  }

  // Which of a MERGE's two clauses of one kind a row takes: the first whose condition holds, or
  // none (NULL). A condition that is NULL does not hold.
  static std::string Pick(const std::string& first, const std::string& second) {
    return "CASE WHEN (" + first + ") THEN 1" + (second.empty() ? " ELSE 2" : " WHEN (" + second + ") THEN 2") + " END";
  }

  // DELETE TOP (n) and UPDATE TOP (n) [PERCENT]: the server takes the count there only in
  // parentheses, and without WITH TIES.
  std::optional<TopRows> DmlTop(const std::string& statement) {
    if (!AtWord("TOP")) return std::nullopt;
    if (!AtOp("(", 1)) Fail(statement + " TOP without parentheses");
    ++pos_;
    TopRows top = TopCount();
    if (top.withTies) Fail(statement + " TOP ... WITH TIES");
    return top;
  }

  // The rowids a statement with TOP touches, of those `rows` (a select of rowids) gives: each row
  // once, however often a join yields it, as the server counts the rows it changes.
  static std::string DmlTopRows(const std::optional<TopRows>& top, const std::string& rows) {
    if (!top) return rows;
    const std::string distinct = "SELECT DISTINCT" + rows.substr(std::string_view("SELECT").size());
    return distinct + " " + TopLimit(*top, {distinct, {}, {}, false, true});
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
    const std::optional<TopRows> top = DmlTop("DELETE");
    AcceptWord("FROM");
    const NameRef target = TableName();
    RefuseCommonTableTarget(target);
    SkipTableHints();
    const std::unique_ptr<Output> output = OutputClause("deleted", "a DELETE");
    const std::string_view returning = output ? std::string_view(output->returning) : std::string_view();
    std::vector<SourceRef> sources;
    std::string from, where;
    if (AcceptWord("FROM")) from = Capture([&] { TableSources(&sources); });
    if (AcceptWord("WHERE")) where = Capture([&] { Expr(); });
    const std::string condition = where.empty() ? "" : " WHERE " + where;
    if (output && output->Copied()) return DeleteIntoOutput(*output, target, FindTarget(sources, target), top, from, condition);
    if (from.empty() && !top) {
      Emit("DELETE FROM " + target.emitted + condition);
    } else if (from.empty()) {
      Emit("DELETE FROM " + target.emitted + " WHERE rowid IN (" +
           DmlTopRows(top, "SELECT rowid FROM " + target.emitted + condition) + ")");
    } else if (const SourceRef* joined = FindTarget(sources, target)) {
      Emit("DELETE FROM " + joined->table.emitted + " WHERE rowid IN (" +
           DmlTopRows(top, "SELECT " + joined->Reference().emitted + ".rowid FROM " + from + condition) + ")");
    } else {
      Emit("DELETE FROM " + target.emitted + " WHERE rowid IN (" +
           DmlTopRows(top, "SELECT " + target.emitted + ".rowid FROM " + target.emitted + ", " + from + condition) +
           ")");
    }
    Emit(returning);
  }

  // DELETE ... OUTPUT ... INTO t: the rows to delete are chosen once, by rowid; a trigger of the
  // statement's own writes each INTO t just before it goes (only those: a trigger of the table's
  // own may delete others): rows a trigger writes are not counted, so the statement's count is
  // that of the rows it deleted.
  [[gnu::noinline]] void DeleteIntoOutput(Output& output, const NameRef& target, const SourceRef* joined,
                                          const std::optional<TopRows>& top, const std::string& from,
                                          const std::string& condition) {
    std::string rows;
    if (from.empty()) {
      output.table = target.emitted;
      rows = DmlTopRows(top, "SELECT rowid FROM " + target.emitted + condition);
    } else if (joined) {
      output.table = joined->table.emitted;
      rows = DmlTopRows(top, "SELECT " + joined->Reference().emitted + ".rowid FROM " + from + condition);
    } else {
      output.table = target.emitted;
      rows = DmlTopRows(top, "SELECT " + target.emitted + ".rowid FROM " + target.emitted + ", " + from + condition);
    }
    Emit(output.MarksKept() + "DROP TABLE IF EXISTS temp.tsql_deleted; " + std::string(kDropOutputTrigger) +
         "CREATE TEMP TABLE tsql_deleted AS SELECT rowid AS tsql_rowid FROM " + output.table + " WHERE rowid IN (" +
         rows + "); CREATE TEMP TRIGGER tsql_output BEFORE DELETE ON " + output.table + " BEGIN " + output.into +
         " SELECT " + output.list + " FROM " + output.table +
         " AS deleted WHERE deleted.rowid = old.rowid AND old.rowid IN (SELECT tsql_rowid FROM temp.tsql_deleted); END; "
         "DELETE FROM " +
         output.table + " WHERE rowid IN (SELECT tsql_rowid FROM temp.tsql_deleted); DROP TRIGGER temp.tsql_output; "
         "DROP TABLE temp.tsql_deleted" + output.MarksDropped());
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
      } else if (kJoinStarts[CodeAt(0)]) {
        Join(sources);
      } else {
        return;
      }
    }
  }

  // [INNER | LEFT [OUTER] | RIGHT [OUTER] | FULL [OUTER] | CROSS] JOIN source [ON condition];
  // SQLite 3.39+ has every one of them. APPLY becomes a join where it can (see CrossApply.h).
  void Join(std::vector<SourceRef>* sources) {
    if ((AtWord("CROSS") || AtWord("OUTER")) && AtWord("APPLY", 1)) return Apply(sources);
    bool cross = false;
    if (AcceptWord("INNER")) {
      Emit("INNER");
      SkipJoinHint();
    } else if (AtWord("LEFT") || AtWord("RIGHT") || AtWord("FULL")) {
      Emit(UpperName(Take().text()));
      if (AcceptWord("OUTER")) Emit("OUTER");
      SkipJoinHint();
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
    const std::size_t from = out_.size();
    Expr();
    if (joinConditions_) joinConditions_->emplace_back(from, out_.size());
  }

  // {CROSS | OUTER} APPLY (SELECT [TOP n] items FROM sources [WHERE conjuncts] [ORDER BY ...]) alias
  void Apply(std::vector<SourceRef>* sources) {
    ApplyParts parts;
    parts.outer = AtWord("OUTER");
    const std::string kind = ApplyName(parts.outer);
    if (!AtOp("(", 2) || !AtWord("SELECT", 3)) return ApplyTable(parts.outer, sources);
    pos_ += 2;
    if (listStar_) Fail(kind + " in a select of *");
    pos_ += 2;
    if (AcceptWord("TOP")) {
      const TopRows top = TopCount();
      if (top.percent || top.withTies) Fail(kind + " of TOP ... PERCENT or WITH TIES");
      parts.rowCount = top.literal ? top.count : "CAST(" + top.count + " AS INTEGER)";
    }
    if (AtWord("DISTINCT")) Fail(kind + " of a DISTINCT subquery");
    const std::size_t itemsFrom = pos_;
    const bool star = listStar_;
    std::vector<std::size_t> nameless;
    parts.items = Capture([&] { SelectList(nullptr, nullptr, &nameless); });
    listStar_ = star;
    const std::size_t itemsTo = pos_;
    if (CallsAggregate(tokens_, itemsFrom, itemsTo)) Fail(kind + " of an aggregate");
    ExpectWord("FROM");
    std::vector<SourceRef> inner;
    auto* const outerConditions = std::exchange(joinConditions_, nullptr);  // the text moves
    parts.sources = Capture([&] { TableSources(&inner); });
    joinConditions_ = outerConditions;
    std::vector<std::string> innerNames;
    for (const SourceRef& s : inner) innerNames.push_back(s.Reference().bare);
    if (AcceptWord("WHERE")) {
      do ApplyConjunct(parts, innerNames);
      while (AcceptWord("AND"));
      if (AtWord("OR")) Fail(kind + " with OR in its WHERE");
    }
    if (AtWord("GROUP") || AtWord("HAVING")) Fail(kind + " of a grouped subquery");
    const std::size_t orderFrom = pos_;
    if (AcceptWord("ORDER")) {
      ExpectWord("BY");
      bool byPosition = false;
      parts.orderItems = Capture([&] { byPosition = OrderItems(); });
      if (byPosition) Fail(kind + " ordered by a column number");
    }
    ExpectOp(")");
    if (QualifiesByOuter(tokens_, itemsFrom, itemsTo, innerNames) || QualifiesByOuter(tokens_, orderFrom, pos_, innerNames))
      Fail(kind + " correlated outside its WHERE");
    const NameRef alias = TableAlias();
    if (alias.bare.empty()) Fail(kind + " without an alias");
    if (!nameless.empty()) RefuseUnnamedColumn(nameless.front(), alias.bare);
    parts.alias = alias.emitted;
    Emit(ApplyJoin(parts));
    if (!sources) return;
    SourceRef source;
    source.alias = alias;
    sources->push_back(std::move(source));
  }

  // APPLY of a table, or of VALUES that do not read the outer row, is a join: CROSS APPLY a CROSS
  // JOIN, OUTER APPLY a LEFT JOIN ON 1 (an empty table leaves each outer row once, with NULLs).
  // VALUES that read the outer row (the unpivoting CROSS APPLY (VALUES (a.x), (a.y))) and
  // table-valued functions have no join that gives their rows: refused.
  void ApplyTable(bool outer, std::vector<SourceRef>* sources) {
    const std::string kind = ApplyName(outer);
    pos_ += 2;
    if (AtOp("(") && AtWord("VALUES", 1)) {
      const std::size_t close = ClosingParenthesis(tokens_, pos_, end_);
      for (std::size_t i = pos_ + 2; i < close; ++i) {
        const Token& t = token_[i];
        const bool call = i + 1 < close && token_[i + 1].kind == TokenKind::Operator && token_[i + 1].text() == "(";
        const bool keyword = IsReservedAt(i) || token_[i].code == TokenCode("NULL").value || token_[i].code == TokenCode("CASE").value;
        if (IsName(t) && !call && !keyword) Fail(kind + " of VALUES that read the outer row");
      }
    } else {
      std::size_t i = pos_;
      while (i + 2 < end_ && IsName(token_[i]) && token_[i + 1].text() == "." && IsName(token_[i + 2])) i += 2;
      if (i + 2 < end_ && IsName(token_[i]) && token_[i + 1].kind == TokenKind::Operator && token_[i + 1].text() == "(" &&
          !(IsName(token_[i + 2]) && IsTableHint(token_[i + 2].text())))
        Fail(kind + " of the table-valued function " + std::string(token_[i].text()) + "()");
      if (AtOp("(")) Fail(kind + " of anything but a table, VALUES or a subquery");
    }
    Emit(outer ? "LEFT JOIN" : "CROSS JOIN");
    TableSource(sources);
    if (outer) Emit("ON 1");
  }

  // One conjunct of an APPLY's WHERE: kept inside when it reads only the subquery's tables, a
  // join key when it is inner expression = outer column (either way round), refused otherwise.
  void ApplyConjunct(ApplyParts& parts, const std::vector<std::string>& innerNames) {
    const std::size_t from = pos_;
    std::string condition = Capture([&] { NotExpr(); });
    const std::size_t to = pos_;
    if (!QualifiesByOuter(tokens_, from, to, innerNames)) return parts.conditions.push_back(std::move(condition));
    const std::size_t equals = TopLevelEquals(tokens_, from, to);
    const bool outerLeft = IsColumnRef(from, equals) && QualifiesByOuter(tokens_, from, equals, innerNames);
    const bool outerRight = IsColumnRef(equals + 1, to) && QualifiesByOuter(tokens_, equals + 1, to, innerNames);
    const auto [innerFrom, innerTo] = outerLeft ? std::pair(equals + 1, to) : std::pair(from, equals);
    const auto [outerFrom, outerTo] = outerLeft ? std::pair(from, equals) : std::pair(equals + 1, to);
    if (equals == to || outerLeft == outerRight || QualifiesByOuter(tokens_, innerFrom, innerTo, innerNames))
      Fail(ApplyName(parts.outer) + " correlated other than by inner expression = outer column");
    ApplyKey key;
    pos_ = innerFrom;
    key.inner = Capture([&] { Additive(); });
    if (pos_ != innerTo) Unexpected();
    pos_ = outerFrom;
    key.outer = Capture([&] { ColumnRef(); });
    if (pos_ != outerTo) Unexpected();
    pos_ = to;
    parts.keys.push_back(std::move(key));
  }

  // The recursive member's reading of its own common table, under the name or alias it was given.
  void RecursiveReference(std::vector<SourceRef>* sources) {
    SourceRef source;
    source.table = {QuoteName(std::string(kRecursivePrefix) + recursiveName_), recursiveName_};
    source.alias = TableAlias();
    recursiveRef_ = source.alias.bare.empty() ? QuoteName(recursiveName_) : source.alias.emitted;
    Emit(source.table.emitted + " AS " + recursiveRef_);
    if (derivedSources_ && recursiveItems_)
      derivedSources_->insert(derivedSources_->end(), recursiveItems_->begin(), recursiveItems_->end());
    SkipTableHints();
    if (sources) sources->push_back(std::move(source));
  }

  void SkipJoinHint() {
    if (AtName() && AtWord("JOIN", 1) && IsJoinHint(Peek()->text())) ++pos_;
  }

  void TableSource(std::vector<SourceRef>* sources) {
    SourceRef source;
    if (AtOp("(") && AtWord("VALUES", 1)) {
      pos_ += 2;
      return TableValueConstructor(sources);
    }
    if (AcceptOp("(")) {
      if (!AtWord("SELECT")) Fail("a parenthesized join");
      std::vector<DerivedIntColumn> items;
      if (derivedSources_) derivedItems_ = &items;
      std::vector<std::size_t> nameless;
      std::string query = CaptureNamingColumns(nameless);
      ExpectOp(")");
      source.alias = TableAlias();
      if (AtOp("(") && AtName(1) && !IsTableHint(Peek(1)->text())) {
        const std::vector<std::string> columns = NameList();
        query = DerivedTableColumns(query, columns);
        NameDerivedItems(items, columns);
      } else if (!nameless.empty()) {
        RefuseUnnamedColumn(nameless.front(), source.alias.bare);
      }
      if (derivedSources_) derivedSources_->insert(derivedSources_->end(), items.begin(), items.end());
      Emit("(" + query + ")");
    } else {
      source.table = TableName();
      if (!recursiveName_.empty() && SameName(source.table.bare, recursiveName_)) return RecursiveReference(sources);
      if (derivedSources_ && !commonItems_.empty()) {
        for (const auto& [name, items] : commonItems_)
          if (SameName(name, source.table.bare)) derivedSources_->insert(derivedSources_->end(), items.begin(), items.end());
      }
      Emit(source.table.emitted);
      source.alias = TableAlias();
    }
    if (!source.alias.bare.empty()) {
      Emit("AS");
      Emit(source.alias.emitted);
    }
    if (AtOp("(") || AtName()) RefuseTableOperator(source.alias);
    SkipTableHints();
    if (sources) sources->push_back(std::move(source));
  }

  // A derived or common table's query, the places of its first select's columns left without a
  // name going to `nameless`: without a column list of its own the table has no name for them.
  std::string CaptureNamingColumns(std::vector<std::size_t>& nameless) {
    unnamedColumns_ = &nameless;
    std::string query = Capture([&] { Select(); });
    unnamedColumns_ = nullptr;
    return query;
  }
  // The server refuses such a column rather than invent a name for it, in these words.
  [[noreturn]] static void RefuseUnnamedColumn(std::size_t place, const std::string& table) {
    throw Error::Syntax("No column name was specified for column " + std::to_string(place) + " of '" + table + "'.");
  }
  [[noreturn]] static void RefuseUnnamedColumnInto() {
    throw Error::Syntax(
        "An object or column name is missing or empty. For SELECT INTO statements, verify each column has a name. "
        "For other statements, look for empty alias names. Aliases defined as \"\" or [] are not allowed. Change the "
        "alias to a valid name.");
  }

  // A derived table's or common table's column list names its items' columns.
  static void NameDerivedItems(std::vector<DerivedIntColumn>& items, const std::vector<std::string>& columns) {
    if (columns.empty()) return;
    if (items.size() != columns.size()) items.clear();  // a * among the items
    for (std::size_t i = 0; i < items.size(); ++i)
      items[i].column = columns[i].front() == '"' ? columns[i].substr(1, columns[i].size() - 2) : columns[i];
  }

  // PIVOT, UNPIVOT and TABLESAMPLE reshape or sample a table as no SQLite query can; without an
  // alias before it the word has been read as the alias.
  void RefuseTableOperator(const NameRef& alias) const {
    for (const TokenCode op : {TokenCode("PIVOT"), TokenCode("UNPIVOT"), TokenCode("TABLESAMPLE")})
      if (SameName(alias.bare, op.Name()) || AtWord(op)) Fail(std::string(op.Name()));
  }

  // (VALUES (...), ...) AS alias (columns), after the "(VALUES" (see TableValues.h).
  void TableValueConstructor(std::vector<SourceRef>* sources) {
    std::vector<std::string> rows;
    do {
      ExpectOp("(");
      rows.push_back("(" + Capture([&] { ExprList(); }) + ")");
      ExpectOp(")");
    } while (AcceptOp(","));
    ExpectOp(")");
    SourceRef source;
    source.alias = TableAlias();
    if (source.alias.bare.empty() || !AtOp("(")) Fail("VALUES as a table without an alias and column names");
    std::vector<std::string> columns;
    ++pos_;
    do {
      if (!AtName()) Unexpected();
      columns.push_back(Normalize(Take()));
    } while (AcceptOp(","));
    ExpectOp(")");
    Emit(ValuesTable(rows, columns) + " AS " + source.alias.emitted);
    if (sources) sources->push_back(std::move(source));
  }

  // A table name, up to server.database.schema.table: the database (any, or none as in db..t)
  // and the schema are dropped, as the embedded database is the one database with one schema
  // (see SchemaNames.h); a linked server is refused.
  NameRef TableName() {
    if (!AtName()) return TableVariable();
    std::array<const Token*, 4> parts{&Take()};
    std::size_t count = 1;
    while (AcceptOp(".")) {
      if (count == parts.size()) Fail("a name of more than four parts");
      if (AtOp(".")) {
        parts[count++] = nullptr;
        continue;
      }
      if (!AtName()) Unexpected();
      parts[count++] = &Take();
    }
    if (count == 4) Fail("a name qualified by a linked server");
    const Token* schema = count >= 2 ? parts[count - 2] : nullptr;
    const Token* name = parts[count - 1];
    if (!name) Unexpected();
    std::string bare = BareName(*name);
    if (!IsTempTableName(bare)) schemas_.Note(schema ? BareName(*schema) : std::string(), bare);
    return {Normalize(*name), std::move(bare)};
  }

  // @t where a table stands: the batch's table variable (see DeclareTable).
  [[gnu::noinline]] NameRef TableVariable() {
    if (!Peek() || Peek()->kind != TokenKind::Variable) Unexpected();
    const std::string_view name = Take().text();
    if (!variables_.IsTable(name)) {
      variables_.Read(name);  // refuses one the batch has not declared
      Fail("the variable " + std::string(name) + " as a table");
    }
    return {TableVariableName(name), LowerName(name)};
  }

  NameRef TableAlias() {
    if (AcceptWord("AS") || AtName()) {
      if (!AtName()) Unexpected();
      const Token& t = Take();
      return {Normalize(t), BareName(t)};
    }
    return {};
  }

  // Table hints, WITH (...) or (NOLOCK), do not change results (see QueryHints.h).
  void SkipTableHints() {
    if (AtWord("WITH") && AtOp("(", 1)) {
      pos_ = SkipHintList(tokens_, pos_ + 1, end_);
    } else if (AtOp("(") && AtName(1) && IsTableHint(Peek(1)->text())) {
      pos_ = SkipHintList(tokens_, pos_, end_);
    }
  }

  // ---- expressions, by T-SQL precedence ------------------------------------------------------

  void ExprList() {
    do Expr();
    while (AcceptOp(",") && (Emit(","), true));
  }

  // An item that groups, partitions or orders rows. A column brings its collation (TSQL in the
  // schema); any other expression has none, so SQLite would tell 'a' from 'A ' where the server's
  // collation puts them in one group and orders them together: it is given COLLATE TSQL, which
  // leaves numbers and dates as they are. A column number (ORDER BY 2) stays as written.
  void CollatedItem() {
    const std::size_t from = pos_, start = out_.size();
    Expr();
    if (IsColumnRef(from, pos_) || (pos_ == from + 1 && token_[from].kind == TokenKind::Number)) return;
    Collated(start);
  }
  void CollatedItems() {
    do CollatedItem();
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
  // A literal compared with a column is read as the column's declared type where that is a date
  // (see DeclaredColumnLiteral).
  void Predicate() {
    const std::size_t start = out_.size();
    const std::size_t leftFrom = pos_;
    Additive();
    const std::size_t leftTo = pos_;
    // Most predicates are a lone term: only what follows it is looked at here, and each kind of
    // predicate is read out of line (see MultiplicativeChain).
    if (!kPredicateContinues[CodeAt(0)]) return;
    const LeftSide left{start, out_.size(), leftFrom, leftTo};
    if (const std::string_view sqliteOp = kSqliteComparisons[CodeAt(0)]; !sqliteOp.empty()) return Comparison(sqliteOp, left);
    const bool negated = AtWord("NOT") && (AtWord("IN", 1) || AtWord("LIKE", 1) || AtWord("BETWEEN", 1));
    if (negated) ++pos_;
    if (AtWord("LIKE")) return Like(left, negated);
    if (AtWord("IN") || AtWord("BETWEEN")) return InOrBetween(left, negated);
    if (AtWord("IS")) NullTest();
  }

  // The left side of a predicate: its tokens [from, to), emitted as out_[outFrom, outTo).
  struct LeftSide {
    std::size_t outFrom, outTo, from, to;
  };

  // The left side compared by the operator at the cursor. Whether the left side is a column is
  // asked only here, of a left side that is compared.
  [[gnu::noinline]] void Comparison(std::string_view sqliteOp, const LeftSide& left) {
    ++pos_;
    if (AtWord("ALL") || AtWord("ANY") || AtWord("SOME")) Fail("comparison with ALL/ANY/SOME");
    Emit(sqliteOp);
    const std::size_t rightFrom = pos_, rightStart = out_.size();
    Additive();
    const bool rightColumn = IsColumnRef(rightFrom, pos_);
    if (!IsColumnRef(left.from, left.to) && !rightColumn) return ComparisonOfValues(left, rightFrom, rightStart);
    if (rightColumn && ReadsAsDate(left.from, left.to, left.outFrom, left.outTo)) {
      const std::string column = out_.TrimmedFrom(rightStart), rest = out_.substr(left.outTo);
      const std::string literal = out_.TrimmedFrom(left.outFrom, left.outTo - left.outFrom);
      out_.resize(left.outFrom);
      Emit(DeclaredColumnLiteral(column, literal));
      out_ += rest;
    } else if (!rightColumn && ReadsAsDate(rightFrom, pos_, rightStart, out_.size())) {
      ReadLiteralAsColumn(out_.substr(left.outFrom, left.outTo - left.outFrom), rightStart);
    }
  }

  // value [NOT] IN (...) | [NOT] BETWEEN low AND high, the value already emitted.
  [[gnu::noinline]] void InOrBetween(const LeftSide& left, bool negated) {
    const bool leftColumn = IsColumnRef(left.from, left.to);
    if (!leftColumn && !EndsCollated()) Emit(kCollate);
    if (negated) Emit("NOT");
    // Text among the values is read as the left side is: a column's declared type where it is a
    // date (as a comparison reads it), a date or datetime's type where the left side is one.
    const std::string column = leftColumn ? out_.substr(left.outFrom, left.outTo - left.outFrom) : std::string();
    const std::string conversion(
        leftColumn ? std::string_view() : DateConversionFor(out_.TrimmedFrom(left.outFrom, left.outTo - left.outFrom)));
    const auto value = [&](bool additive) {
      const std::size_t valueFrom = pos_, valueStart = out_.size();
      if (additive) Additive();
      else Expr();
      if (!column.empty() && ReadsAsDate(valueFrom, pos_, valueStart, out_.size())) ReadLiteralAsColumn(column, valueStart);
      if (!conversion.empty() && IsTextLiteral(valueFrom, pos_)) {
        const std::string literal = out_.TrimmedFrom(valueStart);
        out_.resize(valueStart);
        Emit(conversion + "(" + literal + ")");
      }
    };
    if (AcceptWord("IN")) {
      Emit("IN");
      ExpectOp("(");
      Emit("(");
      if (AtWord("SELECT")) Select();
      else {
        do value(false);
        while (AcceptOp(",") && (Emit(","), true));
      }
      ExpectOp(")");
      Emit(")");
    } else {
      ExpectWord("BETWEEN");
      Emit("BETWEEN");
      value(true);
      ExpectWord("AND");
      Emit("AND");
      value(true);
    }
  }

  // IS [NOT] NULL.
  [[gnu::noinline]] void NullTest() {
    ExpectWord("IS");
    Emit("IS");
    if (AcceptWord("NOT")) Emit("NOT");
    ExpectWord("NULL");
    Emit("NULL");
  }

  // True when tokens [from, to), emitted as out_[outFrom, outTo), are a date written as text: a
  // literal that reads as one, or a CONVERT with a date style (convert(varchar(10), getdate(), 120)).
  bool ReadsAsDate(std::size_t from, std::size_t to, std::size_t outFrom, std::size_t outTo) const {
    if (token_[from].kind != TokenKind::Word) return IsDateLiteral(from, to);
    std::string_view text = std::string_view(out_).substr(outFrom, outTo - outFrom);
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    // A date (CAST AS date) is read as the column's type: a datetime column's midnight, which it
    // equals on the server, where its text alone sorts before it.
    if (DateConversionFor(text.substr(0, text.find_last_not_of(' ') + 1)) == "tsql_date") return true;
    // A style's strftime, maybe cut to a length or to a two-digit year.
    while (text.starts_with("substr(") || text.starts_with("(")) text.remove_prefix(text[0] == '(' ? 1 : 7);
    return text.starts_with("strftime(");
  }
  // True when tokens [from, to) are one text literal that reads as a date. Asked of every literal
  // compared with a column ('0001' against a goods number), so the text is read where it stands
  // unless it holds a doubled quote.
  bool IsDateLiteral(std::size_t from, std::size_t to) const {
    if (to != from + 1 || (token_[from].kind != TokenKind::String && token_[from].kind != TokenKind::NString))
      return false;
    std::string_view quoted = token_[from].text();
    if (quoted.front() != '\'') quoted.remove_prefix(1);  // N'...'
    const std::string_view inner = quoted.substr(1, quoted.size() - 2);
    if (inner.find('\'') == std::string_view::npos) return ParseDateText(inner).has_value();
    std::string text;
    for (std::size_t i = 0; i < inner.size(); ++i) {
      text += inner[i];
      if (inner[i] == '\'') ++i;
    }
    return ParseDateText(text).has_value();
  }

  // A comparison with no column on either side, the right side emitted from `rightStart` on: it
  // compares as the server's collation does; a text literal compared with ISNULL(column, text)
  // is read as the column (see DeclaredNullReplacementLiteral).
  [[gnu::noinline]] void ComparisonOfValues(const LeftSide& left, std::size_t rightFrom, std::size_t rightStart) {
    const TokenKind kind = token_[rightFrom].kind;
    if ((kind == TokenKind::String || kind == TokenKind::NString) && pos_ == rightFrom + 1) {
      const std::string value = out_.TrimmedFrom(left.outFrom, left.outTo - left.outFrom);
      const std::string literal = out_.TrimmedFrom(rightStart);
      out_.resize(rightStart);
      const std::string_view conversion = DateConversionFor(value);
      if (conversion.empty()) Emit(DeclaredNullReplacementLiteral(value, literal));
      else Emit(std::string(conversion) + "(" + literal + ")");
    } else if (IsTextLiteral(left.from, left.to)) {
      const std::string_view conversion = DateConversionFor(out_.TrimmedFrom(rightStart));
      if (!conversion.empty()) {
        const std::string literal = out_.TrimmedFrom(left.outFrom, left.outTo - left.outFrom), rest = out_.substr(left.outTo);
        out_.resize(left.outFrom);
        Emit(std::string(conversion) + "(" + literal + ")");
        out_ += rest;
      }
    }
    Emit(kCollate);
  }
  bool IsTextLiteral(std::size_t from, std::size_t to) const {
    return to == from + 1 && (token_[from].kind == TokenKind::String || token_[from].kind == TokenKind::NString);
  }

  // The literal emitted from `literalStart` on, read as the column `columnExpr` is declared.
  void ReadLiteralAsColumn(const std::string& columnExpr, std::size_t literalStart) {
    const std::string literal = out_.TrimmedFrom(literalStart);
    out_.resize(literalStart);
    Emit(DeclaredColumnLiteral(Trim(columnExpr), literal));
  }

  // value [NOT] LIKE pattern [ESCAPE c], the value already emitted. The server matches a
  // datetime column in its default text form ('Mar  5 2024 12:00AM'), never the stored
  // 'YYYY-MM-DD hh:mm:ss', so a column is read as CAST to varchar reads it.
  [[gnu::noinline]] void Like(const LeftSide& left, bool negated) {
    std::string value = out_.TrimmedFrom(left.outFrom);
    const bool column = IsColumnRef(left.from, left.to);
    const std::string columnCase = column ? DeclaredCaseSensitivity(value) : std::string();
    if (column && !FromDerivedTable(left.from, left.to))
      if (std::string text = DeclaredDefaultText(value, value); !text.empty()) value = std::move(text);
    ExpectWord("LIKE");
    out_.resize(left.outFrom);
    std::string call = value + ", " + Capture([&] { Additive(); });
    if (AcceptWord("ESCAPE")) call += ", " + Capture([&] { Additive(); });
    // The match ignores case as the module's text compares, unless a case-sensitive or binary
    // collation is asked for on either side ('a' then does not match 'A%'); without one written, a
    // column's declared collation decides.
    const std::string_view prefix = negated ? "NOT " : "";
    if (!columnCase.empty() && !Collated(call, false))
      return Emit(std::string(prefix) + "tsql_like_by(" + columnCase + ", " + call + ")");
    const bool caseSensitive = Collated(call, true);
    Emit(std::string(prefix) + (caseSensitive ? "tsql_like_cs(" : "tsql_like(") + call + ")");
  }

  // Whether written text asks for a collation outside its literals: with `byCharacters`, one by
  // the characters (COLLATE RTRIM or BINARY).
  static bool Collated(std::string_view text, bool byCharacters) {
    for (std::size_t at = 0; (at = text.find("COLLATE ", at)) != std::string_view::npos; at += 8) {
      if (byCharacters && !text.substr(at + 8).starts_with("RTRIM") && !text.substr(at + 8).starts_with("BINARY")) continue;
      if (std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\'') % 2 == 0) return true;
    }
    return false;
  }

  // Whether the output ends in a collation the statement asked for (k COLLATE Chinese_PRC_CS_AS):
  // the comparison keeps it, rather than the server's text comparison put after it.
  bool EndsCollated() const {
    const std::string tail = out_.TrimmedFrom(out_.size() > 32 ? out_.size() - 32 : 0);
    const std::size_t at = tail.rfind(" COLLATE ");
    return at != std::string::npos && tail.find_first_of(" )", at + 9) == std::string::npos;
  }

  // Whether the column at tokens [from, to) certainly comes from a derived or common table of the
  // FROM whose conditions are read: it holds what that query made of it (convert(varchar(10),
  // rq, 120) AS rq is text), whatever type its name has in the tables.
  bool FromDerivedTable(std::size_t from, std::size_t to) const {
    if (!scopeSources_ || scopeSources_->empty()) return false;
    const auto derived = [this](const SourceRef& s) {
      return s.table.bare.empty() ||
             std::any_of(commonTables_.begin(), commonTables_.end(), [&](const std::string& n) { return SameName(n, s.table.bare); });
    };
    if (to - from == 1) return std::all_of(scopeSources_->begin(), scopeSources_->end(), derived);
    // A qualified name is the nearest FROM's that names its qualifier: a correlated subquery's
    // d.rq may be the outer query's derived table.
    const std::string qualifier = BareName(token_[to - 3]);
    for (const Scope* scope = scope_; scope; scope = scope->outer) {
      for (const SourceRef& s : *scope->sources)
        if (SameName(s.Reference().bare, qualifier)) return derived(s);
    }
    return false;
  }

  // True when tokens [from, to) are one column reference: name(.name)*.
  bool IsColumnRef(std::size_t from, std::size_t to) const {
    if (from >= to || (to - from) % 2 == 0) return false;
    for (std::size_t i = from; i < to; ++i) {
      const Token& t = token_[i];
      const bool ok = (i - from) % 2 == 0 ? IsName(t) && !kNoColumnNames[t.code] : t.code == TokenCode(".").value;
      if (!ok) return false;
    }
    return true;
  }

  // T-SQL's additive level, + - & ^ | left to right (see AdditiveChain). A lone term is emitted as it is.
  void Additive() {
    const std::size_t start = out_.size(), first = pos_;
    Multiplicative();
    if (AtAdditiveOperator()) AdditiveTerms(start, first);
  }

  // Out of line, as MultiplicativeChain.
  // A chain of + and - of int terms is checked for int's range at every step (IntTerm).
  [[gnu::noinline]] void AdditiveTerms(std::size_t start, std::size_t first) {
    std::string names;
    bool ints = AddIntTerm(names, start, first);
    AdditiveChain chain(out_.TrimmedFrom(start));
    out_.resize(start);
    while (AtAdditiveOperator()) {
      const std::string_view op = Take().text();
      ints = ints && (op == "+" || op == "-");
      chain.Apply(op, Capture([&] {
        const std::size_t term = out_.size(), termToken = pos_;
        Multiplicative();
        ints = ints && AddIntTerm(names, term, termToken);
      }));
    }
    if (!ints) return Emit(chain.Text());
    Emit(chain.Text(&names));
    NoteInt(start, std::move(names));
  }

  bool AtAdditiveOperator() const { return kAdditiveOperators[CodeAt(0)]; }

  // * / % left to right. SQLite's '/' and '%' give NULL for a zero divisor where SQL Server
  // fails, so they become calls wrapping the left side; the calls' names are put in front of it
  // once at the end, which keeps a long chain linear. A column divided or dividing is read as
  // its declared type, so that whole values of a decimal column keep the quotient's fraction
  // (see DeclaredColumnValue.h).
  void Multiplicative() {
    const std::size_t start = out_.size(), first = pos_;
    Unary();
    if (kMultiplicativeOperators[CodeAt(0)]) MultiplicativeChain(start, first);
  }

  // Out of line: most terms stand alone, and their descent then sets up no frame for a chain.
  // Each factor of a product that is then divided is read as declared too: whole values of
  // decimal columns multiply to a whole number, which would divide as an integer (sl * dj / 2).
  // A product of int terms alone is checked for int's range at every step (IntTerm).
  [[gnu::noinline]] void MultiplicativeChain(std::size_t start, std::size_t first) {
    std::vector<std::string_view> calls;  // innermost first
    std::vector<std::size_t> factors{start};  // where each factor before the next division starts
    std::string names;
    bool ints = AddIntTerm(names, start, first);
    while (kMultiplicativeOperators[CodeAt(0)]) {
      const std::string_view op = Take().text();
      if (op == "*") {
        Emit("*");
        factors.push_back(out_.size());
        const std::size_t factor = pos_;
        Unary();
        ints = ints && AddIntTerm(names, factors.back(), factor);
        continue;
      }
      // A product of ints is checked before it is divided: (n * 2) / 2 fails as n * 2 does.
      if (ints && factors.size() > 1) {
        IntProduct(start, factors, names);
        factors.assign(1, start);
      }
      ReadFactorsAsDeclared(factors);
      factors.clear();
      const std::size_t dividend = out_.size();
      Emit(",");
      const std::string divisor = DeclaredFactorValue(Capture([&] {
        const std::size_t term = out_.size(), termToken = pos_;
        Unary();
        ints = ints && AddIntTerm(names, term, termToken);
      }));
      if (ints) {
        IntQuotient(op, start, dividend, divisor, names);
        factors.assign(1, start);
        continue;
      }
      calls.push_back(op == "/" ? "tsql_divide(" : "tsql_modulo(");
      Emit(divisor);
      Emit(")");
    }
    if (calls.empty()) {
      if (ints && factors.size() > 1) IntProduct(start, factors, std::move(names));
      return;
    }
    std::string prefix;
    for (auto it = calls.rbegin(); it != calls.rend(); ++it) prefix += *it;
    out_.insert(out_.find_first_not_of(' ', start), prefix);
  }

  // The factors emitted from `starts` on, each up to the '*' after it (the last to the end), each
  // read through its column's declared type when it is a column; the last first, so that the
  // places of the earlier ones stay where they were.
  void ReadFactorsAsDeclared(const std::vector<std::size_t>& starts) {
    std::size_t end = out_.size();
    for (auto it = starts.rbegin(); it != starts.rend(); end = *it++) {
      const std::size_t from = out_.find_first_not_of(' ', *it);
      const std::size_t to = out_.find_last_not_of(" *", end - 1) + 1;
      if (from == std::string::npos || from >= to) continue;
      const std::string factor = out_.substr(from, to - from);
      const std::string read = DeclaredFactorValue(factor);
      if (read != factor) out_.replace(from, to - from, read);
    }
  }

  // The factors written from `factors[0]` on, separated by '*', as tsql_int_multiply('names', ...).
  void IntProduct(std::size_t start, const std::vector<std::size_t>& factors, std::string names) {
    std::string call = "tsql_int_multiply('" + names + "'";
    for (std::size_t i = 0; i < factors.size(); ++i) {
      const std::size_t begin = out_.find_first_not_of(' ', factors[i]);
      const std::size_t end =
          i + 1 < factors.size() ? out_.find_last_not_of(" *", factors[i + 1] - 1) + 1 : out_.size();
      call += ", ";
      call += std::string_view(out_).substr(begin, end - begin);
    }
    call += ')';
    const std::size_t from = out_.find_first_not_of(' ', start);
    out_.replace(from, out_.size() - from, call);
    NoteInt(start, std::move(names));
  }

  // The quotient or remainder of int terms is an int term: the dividend written from `start` to
  // `dividend`, divided as tsql_int_divide('names', ...), which fails past int's range (the
  // smallest int divided by -1); a remainder is always within it. No division of the chain
  // precedes it.
  [[gnu::noinline]] void IntQuotient(std::string_view op, std::size_t start, std::size_t dividend,
                                     const std::string& divisor, const std::string& names) {
    const std::size_t from = out_.find_first_not_of(' ', start);
    const std::size_t to = out_.find_last_not_of(" ", dividend - 1) + 1;
    std::string call = op == "/" ? "tsql_int_divide('" + names + "', " : "tsql_modulo(";
    ((call += std::string_view(out_).substr(from, to - from)) += ", ") += divisor;
    call += ')';
    out_.replace(from, out_.size() - from, call);
    NoteInt(start, names);
  }

  void Unary() {
    if (kSigns[CodeAt(0)]) return SignedUnary();
    Primary();
    if (CodeAt(0) == TokenCode("COLLATE").value) Collation();
  }

  // COLLATE name after a term, a column's type or its definition. Sites name the server's
  // collations (Chinese_PRC_CI_AS, SQL_Latin1_General_CP1_CS_AS, Chinese_PRC_BIN), which the
  // embedded database does not know: a case-insensitive one compares as the module's text does
  // (TSQL), a case-sensitive or binary one by the characters, trailing blanks still not counting
  // (RTRIM), as the server pads text it compares.
  [[gnu::noinline]] void Collation() {
    ExpectWord("COLLATE");
    const Token& name = Take();
    if (!IsName(name)) Unexpected();
    const std::string lower = LowerName(BareName(name));
    // The embedded database's own names, which its schema and scripts write, pass as they are.
    if (lower == "binary" || lower == "nocase" || lower == "rtrim") return Emit("COLLATE " + UpperName(name.text()));
    if (lower == "tsql" || lower == "database_default" || lower.find("_ci") != std::string::npos) return Emit(kCollate);
    if (lower.find("_cs") != std::string::npos || lower.find("_bin") != std::string::npos) return Emit("COLLATE RTRIM");
    Fail("the collation " + std::string(BareName(name)));
  }

  // Out of line, as MultiplicativeChain: most terms have no sign. The negative of an int term
  // other than a literal is checked for int's range: -n of the smallest int does not fit.
  [[gnu::noinline]] void SignedUnary() {
    const Nested level(*this);
    const std::size_t start = out_.size();
    if (AcceptOp("+")) return Unary();
    const bool minus = AtOp("-");
    Emit(Take().text());
    const std::size_t operand = out_.size(), first = pos_;
    Unary();
    std::string names;
    if (!minus || !AddIntTerm(names, operand, first)) return;
    if (pos_ == first + 1 && token_[first].kind == TokenKind::Number) return NoteInt(start, std::string());
    const std::string negated = "tsql_int_multiply('" + names + "', -1, " + out_.TrimmedFrom(operand) + ")";
    const std::size_t from = out_.find_first_not_of(' ', start);
    out_.replace(from, out_.size() - from, negated);
    NoteInt(start, std::move(names));
  }

  // The terms that build text of their own (literals, parentheses, EXISTS, variables) are read
  // out of line, so that the usual term, a column or a plain literal, sets up no frame for them.
  void Primary() {
    const Token* t = Peek();
    if (!t) Fail("an incomplete statement");
    switch (t->kind) {
      case TokenKind::Binary:
        return EmitBinaryLiteral();
      case TokenKind::Number:
      case TokenKind::String:
      case TokenKind::NString:
        return EmitToken(Take());
      case TokenKind::Parameter:
        return EmitToken(Take());
      case TokenKind::Operator:
        return Parenthesized();
      case TokenKind::Word:
        if (AtWord("CASE")) return Case();
        if (AtWord("NULL")) return EmitToken(Take());
        if (AtWord("EXISTS")) return Exists();
        if (AtOp("(", 1)) return FunctionCall();
        if (IsReservedAt(pos_)) Unexpected();
        return ColumnRef();
      case TokenKind::BracketName:
      case TokenKind::QuotedName:
        return ColumnRef();
      case TokenKind::Variable:
        return EmitVariable();
      default:
        Unexpected();
    }
  }

  // ---- int terms -------------------------------------------------------------------------------
  // An int literal, COUNT, a column, the SUM of a column, and + - * of those are int on SQL Server
  // when the columns are declared int (known when the statement runs), and fail past int's range
  // where SQLite goes on in 64 bits. An operator of such terms is written as a checking call with
  // the names of the columns (AppendIntColumnName). A literal or a column is told by its tokens
  // when an operator meets it; the rarer terms built of others note themselves as written last.
  struct IntTerm {
    std::size_t start = 0, end = 0, emits = ~std::size_t{0};
    std::string names;  // the columns' names, comma separated
  };
  void NoteInt(std::size_t start, std::string names) {
    intTerm_.start = start;
    intTerm_.end = out_.size();
    intTerm_.emits = emits_;
    intTerm_.names = std::move(names);
  }
  // Adds the columns of the term just read (written from `start`, its tokens from `first`) to
  // `names`; false when it is no int term.
  bool AddIntTerm(std::string& names, std::size_t start, std::size_t first) const {
    if (pos_ == first + 1 && token_[first].kind == TokenKind::Number) {
      const std::string_view digits = token_[first].text();  // 2147483648 is a decimal
      return digits.size() <= 10 && digits.find_first_not_of("0123456789") == std::string_view::npos &&
             (digits.size() < 10 || digits <= "2147483647");
    }
    if (IsColumnRef(first, pos_)) return AppendIntColumnName(names, BareName(token_[pos_ - 1]));
    if (intTerm_.emits != emits_ || intTerm_.start != start || intTerm_.end != out_.size()) return false;
    return EveryIntColumnName(intTerm_.names,
                              [&names](std::string_view name) { return AppendIntColumnName(names, name); });
  }

  [[gnu::noinline]] void EmitBinaryLiteral() { Emit(BinaryLiteral(Take())); }
  [[gnu::noinline]] void EmitVariable() { Emit(variables_.Read(Take().text())); }

  // (expression) or (subquery).
  [[gnu::noinline]] void Parenthesized() {
    const std::size_t start = out_.size();
    if (!AcceptOp("(")) Unexpected();
    Emit("(");
    const std::size_t inner = out_.size(), first = pos_;
    const bool subquery = AtWord("SELECT");
    if (subquery) Select();
    else Expr();
    std::string names;
    const bool ints = AddIntTerm(names, inner, first);
    ExpectOp(")");
    Emit(")");
    if (subquery && MayGiveRows(first, pos_ - 1)) {
      const std::string query = out_.TrimmedFrom(inner, out_.size() - 1 - inner);
      out_.replace(start, out_.size() - start,
                   " tsql_single_row((SELECT count(*) FROM (SELECT 1 FROM (" + query + ") LIMIT 2)), (" + query + "))");
    }
    if (ints) NoteInt(start, std::move(names));
  }

  // Whether the subquery between the tokens first and close may give more than one row, which the
  // server refuses where one value stands ("Subquery returned more than 1 value..."): not when it
  // reads no table, takes TOP 1, or aggregates without GROUP BY.
  bool MayGiveRows(std::size_t first, std::size_t close) const {
    static constexpr std::string_view kAggregates[] = {"count", "count_big", "sum", "min", "max", "avg", "string_agg",
                                                      "stdev", "stdevp", "var", "varp"};
    bool from = false, grouped = false, aggregate = false;
    int depth = 0;
    for (std::size_t i = first; i < close; ++i) {
      const Token& t = token_[i];
      if (t.kind == TokenKind::Operator) depth += t.text() == "(" ? 1 : t.text() == ")" ? -1 : 0;
      if (depth != 0 || t.kind != TokenKind::Word) continue;
      if (SameName(t.text(), "UNION") || SameName(t.text(), "EXCEPT") || SameName(t.text(), "INTERSECT")) return true;
      from = from || SameName(t.text(), "FROM");
      grouped = grouped || SameName(t.text(), "GROUP");
      const bool call = i + 1 < close && token_[i + 1].kind == TokenKind::Operator && token_[i + 1].text() == "(";
      for (const std::string_view name : kAggregates) aggregate = aggregate || (!from && call && SameName(t.text(), name));
    }
    std::size_t top = first + 1;
    if (top < close && (SameName(token_[top].text(), "DISTINCT") || SameName(token_[top].text(), "ALL"))) ++top;
    const bool topOne = top + 1 < close && SameName(token_[top].text(), "TOP") &&
                        (token_[top + 1].text() == "1" || (token_[top + 1].text() == "(" && top + 3 < close &&
                                                           token_[top + 2].text() == "1" && token_[top + 3].text() == ")"));
    return from && !topOne && !(aggregate && !grouped);
  }

  // EXISTS (subquery).
  [[gnu::noinline]] void Exists() {
    ExpectWord("EXISTS");
    Emit("EXISTS");
    ExpectOp("(");
    Emit("(");
    Select();
    ExpectOp(")");
    Emit(")");
  }

  // 0x1F is a number in arithmetic (31), which SQLite's hexadecimal integers give up to 8 bytes.
  // Longer binary values have no SQLite literal with T-SQL's conversions: refused.
  static std::string BinaryLiteral(const Token& t) {
    const std::size_t digits = t.text().size() - 2;
    if (digits == 0 || digits > 16) Fail("the binary literal " + std::string(t.text()));
    return std::string(t.text());
  }

  // A column named with its database and/or schema (dbo.t.c, db.dbo.t.c) is the table's column.
  void ColumnRef() {
    if (kKeywordValues[CodeAt(0)] && !AtOp(".", 1) && EmitKeywordValue()) return;
    const std::size_t first = pos_++;
    std::size_t parts = 1;
    while (AtOp(".") && AtName(1)) {
      pos_ += 2;
      ++parts;
    }
    if (!output_.pseudoTable.empty()) return EmitOutputColumn(first, parts);
    if (parts >= 3) NoteColumnSchema(first, parts);
    const std::size_t kept = std::min<std::size_t>(parts, 2);
    if (kept == 2 && EmitQualifiedAsWritten(first + 2 * (parts - 2))) return;
    for (std::size_t i = parts - kept; i < parts; ++i) {
      if (i > parts - kept) Emit(".");
      EmitToken(token_[first + 2 * i]);
    }
  }

  // table.column written without blanks and kept as written (a.hh, most columns of a join) is
  // copied as the one piece it is in the statement, rather than in three: the same text.
  bool EmitQualifiedAsWritten(std::size_t table) {
    const Token& name = token_[table];
    const Token& column = token_[table + 2];
    const char* const dot = token_[table + 1].text().data();
    if (name.text().data() + name.text().size() != dot || dot + 1 != column.text().data()) return false;
    if (!KeepsItsText(name) || !KeepsItsText(column)) return false;
    Emit(std::string_view(name.text().data(), name.text().size() + 1 + column.text().size()));
    return true;
  }

  // The rarer turns of a column reference are taken out of line (see MultiplicativeChain).
  // A word that is a value (CURRENT_TIMESTAMP, TRUE ...) is written as its value: true if it was.
  [[gnu::noinline]] bool EmitKeywordValue() {
    const std::optional<std::string> keyword = RewriteKeywordValue(Peek()->text());
    if (!keyword) return false;
    ++pos_;
    Emit(*keyword);
    return true;
  }
  [[gnu::noinline]] void EmitOutputColumn(std::size_t first, std::size_t parts) {
    CheckOutputQualifier(token_[first], parts);
    if (output_.asWritten) {
      Emit(LowerName(BareName(token_[first])) + "." + Normalize(token_[first + 2]));
      return;
    }
    EmitToken(token_[first + 2]);
  }
  [[gnu::noinline]] void NoteColumnSchema(std::size_t first, std::size_t parts) {
    schemas_.Note(BareName(token_[first + 2 * (parts - 3)]), BareName(token_[first + 2 * (parts - 2)]));
  }

  void Case() {
    const std::size_t caseStart = out_.size();
    ExpectWord("CASE");
    Emit("CASE");
    CaseOperand operand;
    if (!AtWord("WHEN")) {
      const std::size_t from = pos_, start = out_.size();
      Expr();
      if (IsColumnRef(from, pos_)) operand.column = out_.TrimmedFrom(start);
      else {
        operand.conversion = DateConversionFor(out_.TrimmedFrom(start));
        if (!EndsCollated()) Emit(kCollate);
      }
    }
    CaseResults results;
    while (AcceptWord("WHEN")) {
      Emit("WHEN");
      const std::size_t valueFrom = pos_, valueStart = out_.size();
      Expr();
      if (!operand.column.empty() || !operand.conversion.empty()) CaseValueAsOperand(operand, valueFrom, valueStart);
      ExpectWord("THEN");
      Emit("THEN");
      CaseResult(results);
    }
    if (AcceptWord("ELSE")) {
      Emit("ELSE");
      CaseResult(results);
    }
    ExpectWord("END");
    if (results.decimal && !results.whole.empty()) WholeResultsAsDecimals(results.whole);
    else if (!results.texts.empty()) TextResultsConverted(results);
    if ((results.decimal || !results.whole.empty()) && results.texts.empty()) ColumnResultsAsNumbers(results);
    Emit("END");
    // A column or an expression beside a decimal literal is a decimal too: CASE ... THEN n ELSE
    // 0.5 END / 2 keeps the fraction of an int column's 3.
    if (results.decimal && results.other) {
      const std::size_t first = out_.find_first_not_of(' ', caseStart);
      out_.replace(first, out_.size() - first, "tsql_fraction(" + out_.TrimmedFrom(first) + ")");
    }
  }
  // A simple CASE compares its operand with each WHEN value as `=` does: text is read as a date
  // where the operand is a date or datetime, a column or a call (CASE rq WHEN '20240306').
  struct CaseOperand {
    std::string column;
    std::string_view conversion;
  };
  [[gnu::noinline]] void CaseValueAsOperand(const CaseOperand& operand, std::size_t valueFrom, std::size_t valueStart) {
    if (!operand.column.empty()) {
      if (ReadsAsDate(valueFrom, pos_, valueStart, out_.size())) ReadLiteralAsColumn(operand.column, valueStart);
    } else if (IsTextLiteral(valueFrom, pos_)) {
      const std::string literal = out_.TrimmedFrom(valueStart);
      out_.resize(valueStart);
      Emit(std::string(operand.conversion) + "(" + literal + ")");
    }
  }
  // A CASE whose results are whole and decimal literals is a decimal on SQL Server, whichever
  // branch is taken (CASE ... THEN 1 ELSE 0.5 END / 2 is 0.5): the whole ones are written as
  // decimals, else SQLite would divide the integer it gives as an integer.
  // The text literals among its results are converted to the type of the others too, which on
  // the server is never text when one is a number: CASE WHEN ... THEN n ELSE '' END is 0 for an int
  // column n (1900-01-01 for a datetime one, an error for a decimal), as ISNULL(n, '') is.
  struct CaseResults {
    bool decimal = false;
    std::vector<std::size_t> whole;  // where each whole literal result ends in the output
    std::vector<std::pair<std::size_t, std::size_t>> texts;  // each text literal result's place in the output
    std::string column;  // the column results' column as written; "*" when they name several
    std::vector<std::pair<std::size_t, std::size_t>> columns;  // each column result's place in the output
    int places = -1;  // the most places of its decimal literals
    bool other = false;  // a result is a column or an expression
  };
  void CaseResult(CaseResults& results) {
    const std::size_t from = pos_, start = out_.size();
    Expr();
    if (pos_ == from + 1 && (token_[from].kind == TokenKind::String || token_[from].kind == TokenKind::NString))
      return void(results.texts.emplace_back(start, out_.size()));
    const std::size_t at = from + (pos_ - from == 2 && token_[from].text() == "-" ? 1 : 0);
    const bool isNumber = at + 1 == pos_ && token_[at].kind == TokenKind::Number;
    results.other = results.other || (!isNumber && !(pos_ == from + 1 && token_[from].code == TokenCode("NULL").value));
    if (IsColumnRef(from, pos_)) {
      results.columns.emplace_back(start, out_.size());
      return CaseColumnResult(results, out_.TrimmedFrom(start));
    }
    if (!isNumber) return;
    const std::string_view number = token_[at].text();
    if (const std::size_t point = number.find('.'); point != std::string_view::npos)
      results.places = std::max(results.places, static_cast<int>(number.size() - point - 1));
    if (number.find_first_not_of("0123456789") != std::string_view::npos) results.decimal = true;
    else if (number.size() <= 15) results.whole.push_back(out_.size());
  }
  static void CaseColumnResult(CaseResults& results, std::string column) {
    if (results.column.empty()) results.column = std::move(column);
    else if (!SameName(results.column, column)) results.column = "*";
  }
  // A column's declared type converts the texts as ISNULL's does; whole literals alone make them ints.
  [[gnu::noinline]] void TextResultsConverted(const CaseResults& results) {
    const bool byColumn = !results.column.empty() && results.column != "*" && results.whole.empty();
    if (!byColumn && (!results.column.empty() || results.whole.empty())) return;
    for (auto it = results.texts.rbegin(); it != results.texts.rend(); ++it) {
      const std::size_t from = out_.find_first_not_of(' ', it->first);
      const std::string literal = out_.TrimmedFrom(from, it->second - from);
      out_.replace(from, literal.size(),
                   byColumn ? DeclaredColumnLiteral(results.column, literal) : "tsql_int(" + literal + ")");
    }
  }
  // A number outranks text: a text column among the results is converted to it, so rows ordered
  // by CASE ... THEN s ELSE 0 END sort '9' before '10', and text that is no number is the server's
  // conversion error rather than shown as it is.
  [[gnu::noinline]] void ColumnResultsAsNumbers(const CaseResults& results) {
    const int places = results.decimal ? std::max(results.places, 0) : -1;
    for (auto it = results.columns.rbegin(); it != results.columns.rend(); ++it) {
      // Whole literals before the column have been written as decimals, two characters longer.
      const auto before = std::count_if(results.whole.begin(), results.whole.end(), [&](std::size_t end) { return end <= it->first; });
      const std::size_t shift = results.decimal ? 2 * static_cast<std::size_t>(before) : 0;
      const std::size_t from = out_.find_first_not_of(' ', it->first + shift);
      const std::string column = out_.TrimmedFrom(from, it->second + shift - from);
      out_.replace(from, column.size(), DeclaredTextAsNumber(column, places));
    }
  }
  [[gnu::noinline]] void WholeResultsAsDecimals(const std::vector<std::size_t>& ends) {
    for (auto it = ends.rbegin(); it != ends.rend(); ++it) out_.insert(*it, ".0");
  }

  std::string CapturedExpr() {
    return Capture([&] { Expr(); });
  }

  // A SUM written from `start` on, of an int column checked to stay within int (DeclaredIntSum).
  // Also over a window; the sum is an int term of its column.
  [[gnu::noinline]] void IntSumChecked(std::size_t start) {
    const std::size_t call = out_.find_first_not_of(' ', start);
    if (call == OutputText::npos) return;
    std::string column;
    const std::string checked = DeclaredIntSum(std::string_view(out_).substr(call), column);
    if (checked.empty()) return;
    out_.replace(call, out_.size() - call, checked);
    NoteInt(start, std::move(column));
  }

  // A call, and the window it is computed over (see WindowFunctions.h).
  void FunctionCall() {
    const std::string_view name = Peek()->text();
    if (SameName(name, "PERCENTILE_CONT") || SameName(name, "PERCENTILE_DISC")) return Percentile();
    const std::size_t start = out_.size();
    CallExpression();
    if (AtWord("WITHIN") && AtWord("GROUP", 1)) Fail(std::string(name) + "() WITHIN GROUP");
    if (!AtWord("OVER")) {
      if (IsWindowOnlyFunction(name)) Fail(std::string(name) + "() without OVER");
      if (name.size() == 3 && SameName(name, "SUM")) IntSumChecked(start);
      else if (name.size() == 5 && SameName(name, "COUNT")) NoteInt(start, std::string());
      return;
    }
    WindowClause(name);
    if (name.size() == 3 && SameName(name, "SUM")) IntSumChecked(start);
    else if (name.size() == 5 && SameName(name, "COUNT")) NoteInt(start, std::string());
  }

  // PERCENTILE_CONT(p) WITHIN GROUP (ORDER BY x [ASC | DESC]) OVER ([PARTITION BY ...]), and
  // PERCENTILE_DISC alike (see Percentiles.h).
  void Percentile() {
    const std::string name = LowerName(Take().text());
    ExpectOp("(");
    const std::string share = CapturedExpr();
    ExpectOp(")");
    if (!AtWord("WITHIN")) Fail(name + "() without WITHIN GROUP");
    ++pos_;
    ExpectWord("GROUP");
    ExpectOp("(");
    ExpectWord("ORDER");
    ExpectWord("BY");
    const std::string value = CapturedExpr();
    const bool descending = AcceptWord("DESC");
    if (!descending) AcceptWord("ASC");
    ExpectOp(")");
    if (!AtWord("OVER")) Fail(name + "() without OVER");
    ++pos_;
    ExpectOp("(");
    Emit("tsql_" + name + "(" + share + ", " + value + ", " + (descending ? "1" : "0") + ") OVER (");
    if (AcceptWord("PARTITION")) {
      ExpectWord("BY");
      Emit("PARTITION BY");
      CollatedItems();
    }
    if (!AtOp(")")) Fail(name + "() OVER a window with ORDER BY or a frame");
    ++pos_;
    Emit(")");
  }

  // OVER ([PARTITION BY ...] [ORDER BY ...] [ROWS | RANGE frame]), which SQLite writes alike.
  void WindowClause(std::string_view function) {
    ExpectWord("OVER");
    ExpectOp("(");
    Emit("OVER (");
    if (AcceptWord("PARTITION")) {
      ExpectWord("BY");
      Emit("PARTITION BY");
      CollatedItems();
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
          Fail("the window frame near '" + std::string(word.text()) + "'");
        Emit(UpperName(word.text()));
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
    const std::size_t nameAt = pos_ - 2;
    if (SameName(name.text(), "CAST")) {
      const std::string value = CapturedExpr();
      ExpectWord("AS");
      const std::size_t typeAt = pos_;
      const SqlType type = TypeName();
      ExpectOp(")");
      conversion_ = {nameAt, typeAt, pos_};
      return Emit(RewriteConversion(type, value, std::nullopt));
    }
    if (SameName(name.text(), "CONVERT")) {
      const std::size_t typeAt = pos_;
      const SqlType type = TypeName();
      ExpectOp(",");
      const std::string value = CapturedExpr();
      std::optional<std::string> style;
      if (AcceptOp(",")) {
        const Token& s = Take();
        if (s.kind != TokenKind::Number) Fail("CONVERT with a style that is not a number");
        style = std::string(s.text());
      }
      ExpectOp(")");
      conversion_ = {nameAt, typeAt, pos_};
      return Emit(RewriteConversion(type, value, style));
    }
    if (TakesDatePart(name.text())) {
      if (!AtName()) Unexpected();
      const std::string part = BareName(Take());
      std::vector<std::string> args;
      while (AcceptOp(",")) args.push_back(CapturedExpr());
      ExpectOp(")");
      std::string call = RewriteDatePartCall(name.text(), part, args);
      // DATEADD of a date by days or longer is a date on the server, so it compares equal to one.
      const std::optional<DatePart> unit = DatePartNamed(part);
      if (args.size() == 2 && SameName(name.text(), "DATEADD") && unit && *unit <= DatePart::Weekday &&
          DateConversionFor(args[1]) == "tsql_date")
        call = "tsql_date(" + call + ")";
      return Emit(call);
    }
    if ((SameName(name.text(), "COUNT") || SameName(name.text(), "COUNT_BIG")) && AcceptOp("*")) {
      ExpectOp(")");
      return Emit("count(*)");
    }
    const bool distinct = AcceptWord("DISTINCT");
    std::vector<std::string> args;
    // ABS, ISNULL, COALESCE, MIN and MAX of int terms are int terms (IntTerm).
    const std::size_t start = out_.size();
    std::string names;
    bool ints = IntOfIntArguments(name.text());
    const std::size_t argumentFrom = pos_;
    std::size_t firstTo = 0;
    if (!AtOp(")")) {
      args.reserve(4);  // room for the arguments of almost any call at once, without regrowths
      do {
        if (args.size() == 1) firstTo = pos_ - 1;
        if (!ints) {
          args.push_back(CapturedExpr());
          continue;
        }
        args.push_back(Capture([&] {
          const std::size_t term = out_.size(), termToken = pos_;
          Expr();
          ints = AddIntTerm(names, term, termToken);
        }));
      } while (AcceptOp(","));
    }
    if (args.size() == 1 && SameName(name.text(), "TRIM") && AcceptWord("FROM")) {
      const std::string text = CapturedExpr();
      ExpectOp(")");
      return Emit(RewriteTrimFrom(args[0], text));
    }
    const std::size_t argumentTo = pos_;
    ExpectOp(")");
    if (args.size() == 1 && ComparesItsArgument(name.text(), distinct) && !IsColumnRef(argumentFrom, argumentTo) &&
        !(argumentTo == argumentFrom + 1 && token_[argumentFrom].kind == TokenKind::Number))
      args[0] = "(" + args[0] + ") " + std::string(kCollate);
    if (distinct) {
      if (args.size() != 1) Unexpected();
      args[0] = "DISTINCT " + args[0];
    }
    if (args.size() == 2 && conversion_.from == argumentFrom && conversion_.to == firstTo)
      ConvertedAsFirst(name.text(), args[1]);
    const std::string call = RewriteFunctionCall(name.text(), args);
    if (!qualifiedCuts_ && call.starts_with("ifnull(") && call.find(kQualifiedCut) != std::string::npos)
      qualifiedCuts_ = true;
    Emit(call);
    if (ints && !args.empty()) IntOfArguments(name.text(), start, std::move(names));
  }

  // ISNULL(CAST(x AS type), y) is of that type: y is converted to it, cut to its length
  // (isnull(cast(x as varchar(2)), 'abcdef') is 'ab'), truncated to an int.
  [[gnu::noinline]] void ConvertedAsFirst(std::string_view name, std::string& second) {
    if (!SameName(name, "ISNULL")) return;
    const std::size_t at = pos_;
    pos_ = conversion_.typeAt;
    const SqlType type = TypeName();
    pos_ = at;
    second = RewriteConversion(type, second, std::nullopt);
  }

  // MIN, MAX and COUNT(DISTINCT) compare the values of their argument: an expression has no
  // collation of its own, so 'a' would be the MAX of 'a' and 'B', and 'a' and 'A' counted twice.
  static bool ComparesItsArgument(std::string_view name, bool distinct) {
    return (name.size() == 3 && (SameName(name, "MIN") || SameName(name, "MAX"))) ||
           (distinct && SameName(name, "COUNT"));
  }

  static bool IntOfIntArguments(std::string_view name) {
    switch (name.size()) {
      case 3:
        return SameName(name, "ABS") || SameName(name, "MIN") || SameName(name, "MAX");
      case 6:
        return SameName(name, "ISNULL");
      case 8:
        return SameName(name, "COALESCE");
      default:
        return false;
    }
  }

  // The call written from `start` on, of int terms alone, is one; ABS of the smallest int is past
  // int's range, so its result is checked: tsql_int_abs(abs(n), 'names').
  [[gnu::noinline]] void IntOfArguments(std::string_view name, std::size_t start, std::string names) {
    if (SameName(name, "ABS")) {
      const std::size_t from = out_.find_first_not_of(' ', start);
      const std::string checked = "tsql_int_abs(" + out_.TrimmedFrom(from) + ", '" + names + "')";
      out_.replace(from, out_.size() - from, checked);
    }
    NoteInt(start, std::move(names));
  }

  SqlType TypeName() {
    const Token& t = Take();
    if (t.kind != TokenKind::Word) Unexpected();
    SqlType type;
    type.name = LowerName(t.text());
    if (AcceptOp("(")) {
      do {
        const Token& size = Take();
        if (size.kind != TokenKind::Number && !SameName(size.text(), "max")) Unexpected();
        type.size.push_back(LowerName(size.text()));
      } while (AcceptOp(","));
      ExpectOp(")");
    }
    return type;
  }

  const std::vector<Token>& tokens_;
  // The tokens, reached directly: the parser looks at them several times a token, and through the
  // vector every look would read its data pointer again after each write to the output.
  const Token* const token_;
  std::size_t end_;
  std::size_t pos_ = 0;
  int depth_ = 0;
  OutputText out_;
  std::size_t emits_ = 0;             // pieces written so far: a noted int term is the last one written
  IntTerm intTerm_;
  bool intoAllowed_ = false;          // the next select core is the statement's first
  bool hasInto_ = false;              // the batch holds INTO somewhere
  NameRef into_;                      // the table SELECT ... INTO creates
  const std::vector<SourceRef>* scopeSources_ = nullptr;  // the FROM whose WHERE or HAVING is read
  struct Scope {
    const std::vector<SourceRef>* sources;
    const Scope* outer;  // the query whose WHERE or HAVING this one is read in
  };
  const Scope* scope_ = nullptr;  // ... and the FROMs of the queries around it
  bool notingTypes_ = false;          // the list read is the first core's, which may make a table
  std::vector<std::string> intoTypes_;  // ... and the types its items give (NoteItemType)
  std::vector<std::string> intoProbeColumns_;  // ... the columns of sum(c) and c + n items (IntoProbe)
  std::pair<std::size_t, std::size_t> intoList_;  // ... and where its select list lies in the output
  std::pair<std::size_t, std::size_t> probeColumn_;  // the column SumOrIntTermRule found
  std::vector<std::string> commonTables_;  // names the WITH clause defined
  // the int terms of the columns of each common table that does not refer to itself
  std::vector<std::pair<std::string, std::vector<DerivedIntColumn>>> commonItems_;
  std::vector<std::pair<std::size_t, std::size_t>>* joinConditions_ = nullptr;  // the ON conditions of the FROM being read
  std::vector<std::string>* itemNames_ = nullptr;  // the next select core's column names go here
  std::string recursiveName_;         // the common table whose recursive members are being read
  std::string recursiveRef_;          // how the current recursive member names it
  std::vector<std::pair<std::size_t, std::size_t>>* unnamedItems_ = nullptr;  // the list's unnamed expressions
  std::vector<std::size_t>* unnamedColumns_ = nullptr;  // the next select core's columns without a name
  bool itemUnnamed_ = false;                             // the select item just read has no name
  bool qualifiedCuts_ = false;         // an ISNULL may have cut by a table's alias
  struct Conversion {
    std::size_t from = SIZE_MAX, typeAt = 0, to = 0;  // CAST or CONVERT's name, its type, after its ')'
  } conversion_;                       // the last CAST or CONVERT read
  bool listStar_ = false;             // the select list being read has a * (an APPLY's extra columns would show)
  BatchVariables variables_;          // declared by the batch's statements so far
  int tableVariables_ = 0;            // declared by the batch (a count: the batches of the module declare none)
  SchemaNames schemas_;               // the schema each table of the batch was named under
  struct OutputList {
    std::string_view pseudoTable;  // inserted or deleted, while an OUTPUT list is read
    std::string_view statement;
    bool asWritten = false;        // read from the copy and the table (see Output): qualifiers kept
    bool bothTables = false;       // an UPDATE's list, which may read deleted beside inserted
    bool readsOther = false;       // the list read the pseudo-table the statement does not leave
    bool otherStar = false;        // ... as deleted.*
  } output_;
  AssignmentSelect* assigning_ = nullptr;  // the next select's first core may assign variables
  // The int terms of a derived table's columns, for the select that reads it (IntChecksThroughDerived).
  std::vector<DerivedIntColumn>* derivedItems_ = nullptr;   // the next select's first core's items go here
  std::vector<DerivedIntColumn>* listItems_ = nullptr;      // the items of the select list being read
  std::vector<DerivedIntColumn>* derivedSources_ = nullptr;  // the columns of the FROM being read
  std::vector<DerivedIntColumn>* recursiveItems_ = nullptr;  // the anchors' items of the recursion being read
  struct {
    std::string names;
    bool ints = false;
  } itemInt_;  // of the select item just read
};

}  // namespace

std::string Rewrite(const std::vector<Token>& tokens) {
  return Rewriter(tokens).Batch();
}

}  // namespace adodb::tsql
