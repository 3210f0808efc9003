#include "adodb/tsql/GroupingSets.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <map>
#include <string_view>

#include "adodb/Error.h"

namespace adodb::tsql {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
constexpr std::size_t kMostSets = 64;

[[noreturn]] void Fail(const std::string& construct) {
  throw Error::Unsupported("T-SQL translator: " + construct + " is not supported");
}
const std::string kBeside = " beside GROUP BY ROLLUP, CUBE or GROUPING SETS";

bool SameWord(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return (x >= 'a' && x <= 'z' ? x - 32 : x) == (y >= 'a' && y <= 'z' ? y - 32 : y);
         });
}

// A name as it compares: brackets and quotes taken off.
std::string_view Bare(const Token& t) {
  const std::string_view text = t.text();
  if ((t.kind == TokenKind::BracketName || t.kind == TokenKind::QuotedName) && text.size() >= 2)
    return text.substr(1, text.size() - 2);
  return text;
}
bool IsNameToken(const Token& t) {
  return t.kind == TokenKind::Word || t.kind == TokenKind::BracketName || t.kind == TokenKind::QuotedName;
}
// A name that may be a column's: a word the expression grammar gives a meaning is none.
bool IsColumnName(const Token& t) {
  static constexpr std::array<std::string_view, 21> kExpressionWords = {
      "NULL", "CASE", "WHEN", "THEN", "ELSE", "END", "AND", "OR", "NOT", "IS", "IN", "LIKE", "BETWEEN", "EXISTS",
      "AS", "COLLATE", "DISTINCT", "ALL", "ASC", "DESC", "ESCAPE"};
  if (!IsNameToken(t)) return false;
  if (t.kind != TokenKind::Word || t.code == 0) return true;
  return std::none_of(kExpressionWords.begin(), kExpressionWords.end(), [&](std::string_view w) { return SameWord(w, t.text()); });
}

// An alias as it is read: without its brackets or quotes ([a], "a", 'a', N'a').
std::string_view Unquoted(std::string_view name) {
  if (name.size() >= 3 && (name[0] == 'N' || name[0] == 'n') && name[1] == '\'') name.remove_prefix(1);
  if (name.size() >= 2 && (name[0] == '[' || name[0] == '"' || name[0] == '\'')) return name.substr(1, name.size() - 2);
  return name;
}

struct Range {
  std::size_t from = 0, to = 0;
  std::size_t size() const { return to - from; }
};

struct Item {
  Range expr;
  std::string name;  // the outer select's name for its column; empty for an expression without one
};

struct OrderItem {
  std::string key;        // the column the outer select orders by
  std::string direction;  // " ASC", " DESC" or empty
};

class Expander {
 public:
  explicit Expander(const std::vector<Token>& tokens) : t_(tokens), close_(tokens.size(), kNone), depth_(tokens.size()) {
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < t_.size(); ++i) {
      depth_[i] = open.size();
      if (Op(i, "(")) {
        open.push_back(i);
      } else if (Op(i, ")") && !open.empty()) {
        close_[open.back()] = i;
        open.pop_back();
        depth_[i] = open.size();
      }
    }
  }

  std::optional<std::string> Expanded() {
    for (std::size_t i = 0; i + 1 < t_.size(); ++i) {
      if (Word(i, "GROUP") && Word(i + 1, "BY")) FindCoreOfGroupBy(i);
      else if ((Word(i, "GROUPING") || Word(i, "GROUPING_ID")) && Op(i + 1, "(")) FindCoreOfGrouping(i);
    }
    if (cores_.empty()) return std::nullopt;
    return Text(0, t_.size());
  }

 private:
  struct Core {
    std::size_t groupBy = kNone;  // the GROUP token
    std::size_t end = 0;          // past the core, and past its ORDER BY when it is the whole select
    bool member = false;          // of a UNION, EXCEPT or INTERSECT, whose ORDER BY is the statement's
  };

  // ---- tokens --------------------------------------------------------------------------------
  bool Word(std::size_t i, std::string_view upper) const {
    return i < t_.size() && t_[i].kind == TokenKind::Word && SameWord(t_[i].text(), upper);
  }
  bool Op(std::size_t i, std::string_view op) const {
    return i < t_.size() && t_[i].kind == TokenKind::Operator && t_[i].text() == op;
  }
  bool AtAnyWord(std::size_t i, std::initializer_list<std::string_view> words) const {
    for (const std::string_view w : words)
      if (Word(i, w)) return true;
    return false;
  }
  bool StatementStart(std::size_t i) const {
    return AtAnyWord(i, {"SELECT", "INSERT", "UPDATE", "DELETE", "DECLARE", "SET", "IF", "CREATE", "DROP", "ALTER",
                         "TRUNCATE", "EXEC", "EXECUTE", "PRINT", "OPTION", "FOR"}) ||
           (Word(i, "WITH") && !Word(i + 1, "ROLLUP") && !Word(i + 1, "CUBE"));
  }
  bool SetOperator(std::size_t i) const { return AtAnyWord(i, {"UNION", "EXCEPT", "INTERSECT"}); }
  // Past the token at i, and past its parenthesis when it opens one.
  std::size_t Skip(std::size_t i) const { return i < close_.size() && close_[i] != kNone ? close_[i] + 1 : i + 1; }

  // Where the clause that starts at `from`, at depth `depth`, ends: at the first token of the same
  // depth that `stops`, or where the depth closes.
  template <class Stops>
  std::size_t ClauseEnd(std::size_t from, std::size_t depth, Stops stops) const {
    std::size_t i = from;
    while (i < t_.size() && depth_[i] >= depth) {
      if (depth_[i] == depth && (Op(i, ")") || stops(i))) break;
      i = Skip(i);
    }
    return i;
  }

  // The parts of `r` between its commas at its own depth.
  std::vector<Range> Split(Range r) const {
    std::vector<Range> parts;
    std::size_t from = r.from;
    for (std::size_t i = r.from; i < r.to; i = Skip(i)) {
      if (Op(i, ",")) parts.push_back({from, i}), from = i + 1;
    }
    if (from < r.to || !parts.empty()) parts.push_back({from, r.to});
    return parts;
  }

  // ---- finding the selects -------------------------------------------------------------------
  // The select whose clauses hold the token at `at`.
  std::size_t SelectOf(std::size_t at) const {
    std::size_t depth = depth_[at];
    for (std::size_t i = at; i-- > 0;) {
      if (depth_[i] < depth) depth = depth_[i];
      if (depth_[i] == depth && Word(i, "SELECT")) return i;
    }
    return kNone;
  }

  bool OrderByStop(std::size_t i) const { return Op(i, ";") || StatementStart(i) || Word(i, "OFFSET"); }

  void FindCoreOfGroupBy(std::size_t group) {
    const std::size_t select = SelectOf(group);
    if (select == kNone) return;
    const std::size_t depth = depth_[group];
    const std::size_t end = ClauseEnd(group + 2, depth, [&](std::size_t i) {
      return Op(i, ";") || Word(i, "ORDER") || SetOperator(i) || StatementStart(i);
    });
    if (!HasGroupingSets(group, end) && !CallsGrouping(select, end)) return;
    Core core{group, end, false};
    const bool member = (select > 0 && (SetOperator(select - 1) || (Word(select - 1, "ALL") && select > 1 && SetOperator(select - 2)))) ||
                        SetOperator(end);
    core.member = member;
    if (!member && Word(end, "ORDER") && Word(end + 1, "BY"))
      core.end = ClauseEnd(end + 2, depth, [&](std::size_t i) { return OrderByStop(i); });
    cores_[select] = core;
  }

  // GROUPING() in a select that groups by no grouping sets, or by nothing at all: one set, of
  // what the GROUP BY names.
  void FindCoreOfGrouping(std::size_t at) {
    const std::size_t select = SelectOf(at);
    if (select == kNone || cores_.count(select)) return;
    const std::size_t depth = depth_[select];
    const std::size_t i = ClauseEnd(select + 1, depth, [&](std::size_t k) {
      return Op(k, ";") || (Word(k, "GROUP") && Word(k + 1, "BY")) || Word(k, "ORDER") || SetOperator(k) ||
             (k > select + 1 && StatementStart(k));
    });
    if (Word(i, "GROUP")) return FindCoreOfGroupBy(i);
    Fail("GROUPING() in a select without GROUP BY");
  }

  bool HasGroupingSets(std::size_t group, std::size_t end) const {
    for (std::size_t i = group + 2; i < end; ++i) {
      if (depth_[i] != depth_[group]) continue;
      if ((Word(i, "ROLLUP") || Word(i, "CUBE")) && (Op(i + 1, "(") || Word(i - 1, "WITH"))) return true;
      if (Word(i, "GROUPING") && Word(i + 1, "SETS")) return true;
      if (Op(i, "(") && Op(i + 1, ")")) return true;
    }
    return false;
  }
  bool CallsGrouping(std::size_t from, std::size_t to) const {
    for (std::size_t i = from; i + 1 < to; ++i)
      if ((Word(i, "GROUPING") || Word(i, "GROUPING_ID")) && Op(i + 1, "(")) return true;
    return false;
  }

  // ---- writing -------------------------------------------------------------------------------
  // The tokens of [from, to), each select of grouping sets among them written out.
  std::string Text(std::size_t from, std::size_t to) {
    std::string text;
    to = std::min(to, t_.size());
    for (std::size_t i = from; i < to;) {
      if (const auto core = cores_.find(i); core != cores_.end() && core->second.end <= to) {
        text += Written(i, core->second);
        text += ' ';
        i = core->second.end;
        continue;
      }
      text += t_[i].text();
      text += ' ';
      ++i;
    }
    return text;
  }
  std::string Text(Range r) { return Text(r.from, r.to); }

  // The grouping sets of the GROUP BY between `from` and `to`.
  std::vector<std::vector<Range>> Sets(Range groupBy) {
    std::vector<std::vector<Range>> sets{{}};
    for (const Range element : Split(groupBy)) {
      std::vector<std::vector<Range>> product;
      for (const auto& left : sets)
        for (const auto& right : ElementSets(element)) {
          std::vector<Range> joined = left;
          for (const Range column : right) AddColumn(joined, column);
          product.push_back(std::move(joined));
          if (product.size() > kMostSets) Fail("GROUP BY with more than 64 grouping sets");
        }
      sets = std::move(product);
    }
    return sets;
  }

  bool Whole(Range r, std::size_t open) const { return Op(open, "(") && close_[open] == r.to - 1; }

  std::vector<std::vector<Range>> ElementSets(Range e) {
    if (e.size() == 0) Fail("an empty GROUP BY item");
    if ((Word(e.from, "ROLLUP") || Word(e.from, "CUBE")) && Whole(e, e.from + 1)) {
      std::vector<std::vector<Range>> columns;
      for (const Range argument : Split({e.from + 2, e.to - 1})) columns.push_back(Composite(argument));
      std::vector<std::vector<Range>> sets;
      if (Word(e.from, "ROLLUP")) {
        for (std::size_t n = columns.size() + 1; n-- > 0;) {
          std::vector<Range> set;
          for (std::size_t c = 0; c < n; ++c)
            for (const Range column : columns[c]) AddColumn(set, column);
          sets.push_back(std::move(set));
        }
      } else {
        if (columns.size() > 6) Fail("GROUP BY with more than 64 grouping sets");
        for (std::size_t mask = (std::size_t{1} << columns.size()); mask-- > 0;) {
          std::vector<Range> set;
          for (std::size_t c = 0; c < columns.size(); ++c)
            if (mask & (std::size_t{1} << (columns.size() - 1 - c)))
              for (const Range column : columns[c]) AddColumn(set, column);
          sets.push_back(std::move(set));
        }
      }
      return sets;
    }
    if (Word(e.from, "GROUPING") && Word(e.from + 1, "SETS") && Whole(e, e.from + 2)) {
      std::vector<std::vector<Range>> sets;
      for (const Range argument : Split({e.from + 3, e.to - 1})) {
        if ((Word(argument.from, "ROLLUP") || Word(argument.from, "CUBE")) && Whole(argument, argument.from + 1)) {
          for (auto& set : ElementSets(argument)) sets.push_back(std::move(set));
        } else {
          sets.push_back(Composite(argument));
        }
        if (sets.size() > kMostSets) Fail("GROUP BY with more than 64 grouping sets");
      }
      return sets;
    }
    if (Op(e.from, "(") && Op(e.from + 1, ")") && e.size() == 2) return {{}};
    return {Composite(e)};
  }

  // One column, or the columns of a parenthesized list: (a, b), and () for none.
  std::vector<Range> Composite(Range r) {
    if (r.size() == 0) Fail("an empty GROUP BY item");
    std::vector<Range> columns;
    if (Whole(r, r.from)) {
      if (r.size() == 2) return columns;
      for (const Range part : Split({r.from + 1, r.to - 1})) columns.push_back(part);
    } else {
      columns.push_back(r);
    }
    for (const Range c : columns) {
      if (c.size() == 0) Fail("an empty GROUP BY item");
      if (Word(c.from, "ROLLUP") || Word(c.from, "CUBE") || (Word(c.from, "GROUPING") && Word(c.from + 1, "SETS")))
        Fail("ROLLUP, CUBE or GROUPING SETS inside a composite column");
    }
    return columns;
  }

  void AddColumn(std::vector<Range>& set, Range column) const {
    for (const Range c : set)
      if (Same(c, column)) return;
    set.push_back(column);
  }

  // A column reference: name, or names joined by dots.
  bool IsColumnRef(Range r) const {
    if (r.size() == 0 || r.size() % 2 == 0) return false;
    for (std::size_t i = r.from; i < r.to; ++i)
      if ((i - r.from) % 2 == 0 ? !IsColumnName(t_[i]) : !Op(i, ".")) return false;
    return true;
  }
  // Two references name one column when their last names match and their tables too, where both
  // name one; other expressions when written alike.
  bool Same(Range a, Range b) const {
    if (IsColumnRef(a) && IsColumnRef(b)) {
      if (!SameWord(Bare(t_[a.to - 1]), Bare(t_[b.to - 1]))) return false;
      return a.size() == 1 || b.size() == 1 || SameWord(Bare(t_[a.to - 3]), Bare(t_[b.to - 3]));
    }
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
      if (!SameWord(Bare(t_[a.from + i]), Bare(t_[b.from + i]))) return false;
    return true;
  }

  // The grouping column that stands at `at` within `limit`, longest first; kNone when none.
  std::pair<std::size_t, std::size_t> ColumnAt(std::size_t at, std::size_t limit) const {
    if (at > 0 && Op(at - 1, ".")) return {kNone, 0};
    std::size_t best = kNone, length = 0;
    // A reference read whole, so that t.a is not taken for a.
    std::size_t refEnd = at;
    if (IsColumnName(t_[at])) {
      refEnd = at + 1;
      while (refEnd + 1 < limit && Op(refEnd, ".") && IsColumnName(t_[refEnd + 1])) refEnd += 2;
      if (Op(refEnd, "(")) refEnd = at;  // a function
    }
    for (std::size_t c = 0; c < columns_.size(); ++c) {
      const Range column = columns_[c];
      Range here{at, at + column.size()};
      if (IsColumnRef(column)) {
        if (refEnd == at) continue;
        here = {at, refEnd};
      } else if (here.to > limit) {
        continue;
      }
      if (here.size() > length && Same(column, here)) best = c, length = here.size();
    }
    return {best, length};
  }

  static bool Aggregate(std::string_view name) {
    static constexpr std::array<std::string_view, 13> kAggregates = {
        "AVG", "CHECKSUM_AGG", "COUNT", "COUNT_BIG", "MAX", "MIN", "STDEV", "STDEVP", "STRING_AGG", "SUM", "VAR", "VARP",
        "APPROX_COUNT_DISTINCT"};
    return std::any_of(kAggregates.begin(), kAggregates.end(), [&](std::string_view a) { return SameWord(a, name); });
  }

  // The expression r as the member of `set` computes it.
  std::string Substituted(Range r, const std::vector<bool>& kept) const {
    std::string text;
    for (std::size_t i = r.from; i < r.to;) {
      if (Word(i, "SELECT")) Fail("a subquery" + kBeside);
      if (Word(i, "OVER")) Fail("a window function" + kBeside);
      if ((Word(i, "GROUPING") || Word(i, "GROUPING_ID")) && Op(i + 1, "(") && close_[i + 1] != kNone) {
        text += std::to_string(GroupingValue(i, kept)) + ' ';
        i = close_[i + 1] + 1;
        continue;
      }
      if (t_[i].kind == TokenKind::Word && Aggregate(t_[i].text()) && Op(i + 1, "(") && close_[i + 1] != kNone &&
          close_[i + 1] < r.to) {
        for (std::size_t k = i + 1; k <= close_[i + 1]; ++k) {
          if (Word(k, "SELECT")) Fail("a subquery" + kBeside);
          if ((Word(k, "GROUPING") || Word(k, "GROUPING_ID")) && Op(k + 1, "(")) Fail("GROUPING() inside an aggregate");
        }
        for (std::size_t k = i; k <= close_[i + 1]; ++k) text += std::string(t_[k].text()) + ' ';
        i = close_[i + 1] + 1;
        continue;
      }
      if (const auto [column, length] = ColumnAt(i, r.to); column != kNone) {
        if (kept[column]) {
          for (std::size_t k = i; k < i + length; ++k) text += std::string(t_[k].text()) + ' ';
        } else {
          text += "NULL ";
        }
        i += length;
        continue;
      }
      text += std::string(t_[i].text()) + ' ';
      ++i;
    }
    return text;
  }

  // GROUPING (a): 1 where the set leaves a out; GROUPING_ID (a, b): those bits, a's the highest.
  long long GroupingValue(std::size_t at, const std::vector<bool>& kept) const {
    const std::vector<Range> arguments = Split({at + 2, close_[at + 1]});
    if (Word(at, "GROUPING") && arguments.size() != 1) Fail("GROUPING() of other than one column");
    long long value = 0;
    for (const Range argument : arguments) {
      const auto [column, length] = argument.size() ? ColumnAt(argument.from, argument.to) : std::pair{kNone, std::size_t{0}};
      if (column == kNone || length != argument.size()) Fail("GROUPING() of an expression the GROUP BY does not group");
      value = value * 2 + (kept[column] ? 0 : 1);
    }
    return value;
  }

  Item ReadItem(Range r) const {
    if (r.size() == 0) Fail("an empty select item");
    if (Op(r.from, "*") || Op(r.to - 1, "*")) Fail("SELECT *" + kBeside);
    if (t_[r.from].kind == TokenKind::Variable && Op(r.from + 1, "=")) Fail("a variable assignment" + kBeside);
    const auto nameable = [&](const Token& t) {
      return IsColumnName(t) || t.kind == TokenKind::String || t.kind == TokenKind::NString;
    };
    if (r.size() >= 3 && Op(r.from + 1, "=") && nameable(t_[r.from])) return {{r.from + 2, r.to}, std::string(t_[r.from].text())};
    if (r.size() >= 3 && Word(r.to - 2, "AS")) return {{r.from, r.to - 2}, std::string(t_[r.to - 1].text())};
    if (r.size() >= 2 && nameable(t_[r.to - 1])) {
      const Token& before = t_[r.to - 2];
      const bool ends = Op(r.to - 2, ")") || before.kind == TokenKind::Number || before.kind == TokenKind::String ||
                        before.kind == TokenKind::NString || IsColumnName(before);
      if (ends) return {{r.from, r.to - 1}, std::string(t_[r.to - 1].text())};
    }
    if (IsColumnRef(r)) return {r, std::string(t_[r.to - 1].text())};
    return {r, ""};  // an expression without an alias: the server names its column nothing
  }

  std::string Written(std::size_t select, const Core& core) {
    const std::size_t depth = depth_[select];
    // SELECT [DISTINCT | ALL] [TOP n [PERCENT] [WITH TIES]]
    std::size_t i = select + 1;
    bool distinct = false;
    for (int round = 0; round < 2; ++round) {
      if (Word(i, "DISTINCT")) distinct = true, ++i;
      if (Word(i, "ALL")) ++i;
      if (Word(i, "TOP")) {
        i = Skip(i + 1);
        if (Word(i, "PERCENT")) ++i;
        if (Word(i, "WITH") && Word(i + 1, "TIES")) i += 2;
      }
    }
    const std::string head = Text(select + 1, i);
    const std::size_t listEnd = ClauseEnd(i, depth, [&](std::size_t k) {
      return AtAnyWord(k, {"INTO", "FROM", "WHERE", "GROUP"});
    });
    std::vector<Item> items;
    for (const Range r : Split({i, listEnd})) items.push_back(ReadItem(r));
    std::size_t sourceFrom = listEnd;
    std::string into;
    if (Word(listEnd, "INTO")) {
      sourceFrom = ClauseEnd(listEnd, depth, [&](std::size_t k) { return Word(k, "FROM") || Word(k, "WHERE") || Word(k, "GROUP"); });
      into = Text(listEnd, sourceFrom);
    }
    const std::string source = Text(sourceFrom, core.groupBy);
    const std::size_t groupByEnd = ClauseEnd(core.groupBy + 2, depth, [&](std::size_t k) {
      return Word(k, "HAVING") || (Word(k, "WITH") && (Word(k + 1, "ROLLUP") || Word(k + 1, "CUBE"))) || k >= core.end ||
             Word(k, "ORDER") || Op(k, ";") || SetOperator(k);
    });
    std::vector<std::vector<Range>> sets;
    if (Word(groupByEnd, "WITH")) {
      const std::vector<Range> columns = Split({core.groupBy + 2, groupByEnd});
      std::vector<std::vector<Range>> composite;
      for (const Range c : columns) composite.push_back(Composite(c));
      const bool rollup = Word(groupByEnd + 1, "ROLLUP");
      if (!rollup && columns.size() > 6) Fail("GROUP BY with more than 64 grouping sets");
      const std::size_t count = rollup ? columns.size() + 1 : std::size_t{1} << columns.size();
      for (std::size_t n = count; n-- > 0;) {
        std::vector<Range> set;
        for (std::size_t c = 0; c < columns.size(); ++c) {
          const bool in = rollup ? c < n : (n & (std::size_t{1} << (columns.size() - 1 - c))) != 0;
          if (in)
            for (const Range column : composite[c]) AddColumn(set, column);
        }
        sets.push_back(std::move(set));
      }
    } else {
      sets = Sets({core.groupBy + 2, groupByEnd});
    }
    std::size_t afterGroupBy = Word(groupByEnd, "WITH") ? groupByEnd + 2 : groupByEnd;
    Range having{};
    std::size_t coreEnd = afterGroupBy;
    if (Word(afterGroupBy, "HAVING")) {
      having = {afterGroupBy + 1, ClauseEnd(afterGroupBy + 1, depth, [&](std::size_t k) {
                  return Word(k, "ORDER") || Op(k, ";") || SetOperator(k) || StatementStart(k) || k >= core.end;
                })};
      coreEnd = having.to;
    }
    columns_.clear();
    for (const auto& set : sets)
      for (const Range column : set) AddColumn(columns_, column);

    // The ORDER BY, when it belongs to this select alone: each item a select item's column or a
    // column of its own.
    std::vector<OrderItem> order;
    std::vector<Range> ordered;  // the items that are no select item
    if (Word(coreEnd, "ORDER") && coreEnd + 2 <= core.end) {
      for (Range r : Split({coreEnd + 2, core.end})) {
        std::string direction;
        if (r.size() > 1 && (Word(r.to - 1, "ASC") || Word(r.to - 1, "DESC"))) direction = " " + std::string(t_[r.to - 1].text()), --r.to;
        if (r.size() == 0) Fail("an empty ORDER BY item");
        std::string key;
        if (r.size() == 1 && t_[r.from].kind == TokenKind::Number) {
          const std::string n(t_[r.from].text());
          const std::size_t position = n.size() <= 4 && n.find_first_not_of("0123456789") == std::string::npos ? std::stoul(n) : 0;
          if (position < 1 || position > items.size()) Fail("ORDER BY position " + n);
          key = "tsql_c" + n;
        }
        for (std::size_t k = 0; key.empty() && k < items.size(); ++k) {
          const bool byName = r.size() == 1 && IsNameToken(t_[r.from]) && SameWord(Bare(t_[r.from]), Unquoted(items[k].name));
          if (byName || Same(r, items[k].expr)) key = "tsql_c" + std::to_string(k + 1);
        }
        if (key.empty()) {
          ordered.push_back(r);
          key = "tsql_o" + std::to_string(ordered.size());
        }
        order.push_back({key, direction});
      }
    } else if (!distinct && !core.member) {
      // SQL Server's ROLLUP order: each grouping column in turn, its subtotal after its rows.
      for (std::size_t c = 0; c < columns_.size(); ++c) {
        order.push_back({"tsql_g" + std::to_string(c + 1), ""});
        order.push_back({"tsql_v" + std::to_string(c + 1), ""});
      }
    }
    const bool defaultOrder = !order.empty() && ordered.empty() && order.front().key.rfind("tsql_g", 0) == 0;

    std::string members;
    for (const auto& set : sets) {
      std::vector<bool> kept(columns_.size(), false);
      for (const Range column : set)
        for (std::size_t c = 0; c < columns_.size(); ++c)
          if (Same(columns_[c], column)) kept[c] = true;
      std::string member = "SELECT ";
      for (std::size_t k = 0; k < items.size(); ++k)
        member += Substituted(items[k].expr, kept) + "AS tsql_c" + std::to_string(k + 1) + ", ";
      for (std::size_t k = 0; k < ordered.size(); ++k)
        member += Substituted(ordered[k], kept) + "AS tsql_o" + std::to_string(k + 1) + ", ";
      if (defaultOrder)
        for (std::size_t c = 0; c < columns_.size(); ++c)
          member += std::string(kept[c] ? "0" : "1") + " AS tsql_g" + std::to_string(c + 1) + ", " +
                    Substituted(columns_[c], kept) + "AS tsql_v" + std::to_string(c + 1) + ", ";
      if (having.size()) member += "CASE WHEN " + Substituted(having, kept) + "THEN 1 ELSE 0 END AS tsql_having, ";
      member += "count(*) AS tsql_rows " + source;
      if (!set.empty()) {
        member += "GROUP BY ";
        for (std::size_t k = 0; k < set.size(); ++k) member += (k ? ", " : "") + Text(set[k]);
      }
      members += (members.empty() ? "" : " UNION ALL ") + member;
    }
    std::string outer = "SELECT " + head;
    for (std::size_t k = 0; k < items.size(); ++k)
      outer += (k ? ", " : "") + (items[k].name.empty() ? "(tsql_c" + std::to_string(k + 1) + ")"
                                                         : "tsql_c" + std::to_string(k + 1) + " AS " + items[k].name);
    outer += " " + into + "FROM (" + members + ") AS tsql_grouping_sets";
    if (having.size()) outer += " WHERE tsql_having = 1";
    if (!order.empty()) {
      outer += " ORDER BY ";
      for (std::size_t k = 0; k < order.size(); ++k) outer += (k ? ", " : "") + order[k].key + order[k].direction;
    }
    return outer;
  }

  const std::vector<Token>& t_;
  std::vector<std::size_t> close_;
  std::vector<std::size_t> depth_;
  std::map<std::size_t, Core> cores_;  // by their SELECT token
  std::vector<Range> columns_;        // the grouping columns of the select being written
};

}  // namespace

std::optional<std::string> ExpandedGroupingSets(const std::vector<Token>& tokens) {
  return Expander(tokens).Expanded();
}

}  // namespace adodb::tsql
