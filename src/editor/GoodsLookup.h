#pragma once
// Turning what a clerk typed in the goods field into one goods item that the out-warehouse
// holds, and reading the facts the entry row needs about it. The goods list statement is a
// site's template (or the built-in one) with three placeholders: "[选择条件]" receives the
// warehouse and stock condition with the operator's goods scope, "[客户编号]" an empty literal,
// "[Where条件]" the condition of the path taken. Typed text and the warehouse are bound as values
// of ? marks; a pattern is one text value.
#include <optional>
#include <string>

#include "host/BoundSql.h"
#include "host/Session.h"

namespace storeadjust {

// The list statement with "[选择条件]" and "[客户编号]" filled; "[Where条件]" is left for the path.
// Goods of another accounting (hs_tag) are never listed; without showZeroStock only goods whose
// current balance in the out-warehouse has a quantity above 0 or a retail amount are.
// `scope` is the operator's goods scope condition, appended as it is.
BoundSql GoodsBaseStatement(const std::string& goodsSelectSql, const std::string& outWarehouse, bool showZeroStock,
                            const std::string& scope);

// The base statement completed with a path's condition; a "[Where条件]" left over becomes a blank.
BoundSql WithGoodsCondition(const BoundSql& baseStatement, const BoundSql& condition);

// The condition of an exact goods number.
BoundSql ExactGoodsCondition(const std::string& hh);

// The condition of a typed pattern: stars at the start, the end or both match goods numbers
// ending, beginning or containing the rest; text without stars matches the mnemonic code from
// its start, or anywhere in it when matchMnemonicAnywhere; "*" alone gives " " (every goods).
BoundSql GoodsPatternCondition(const std::string& typed, bool matchMnemonicAnywhere);

struct GoodsPick {
  std::string hh;      // the chosen goods number
  bool exact = false;  // found by the exact number typed
};

// The typed path: the exact number first, then the pattern; nothing when the dialog was
// cancelled or nothing matched, which nothingMatched (when given) tells apart. Dialog and
// database failures throw adodb::Error.
std::optional<GoodsPick> FindTypedGoods(Session& session, const BoundSql& baseStatement, const std::string& typed,
                                        bool matchMnemonicAnywhere, bool* nothingMatched = nullptr);
// Whether the exact goods number is one the base statement offers (the operator's goods scope,
// no other accounting's goods, stock as the list asks), without showing anything.
bool GoodsOffered(Session& session, const BoundSql& baseStatement, const std::string& hh);
// The list path: the whole list of the base statement.
std::optional<GoodsPick> FindGoodsFromList(Session& session, const BoundSql& baseStatement);

}  // namespace storeadjust
