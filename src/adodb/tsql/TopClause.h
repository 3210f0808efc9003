#pragma once
// TOP n, TOP (expression), TOP ... PERCENT, TOP ... WITH TIES and OFFSET ... FETCH, as the LIMIT
// clause that follows the statement's ORDER BY in SQLite.
#include <optional>
#include <string>
#include <string_view>

namespace adodb::tsql {

struct TopRows {
  std::string count;  // a number as written, or "(expression)" translated
  bool literal = true;
  bool percent = false;
  bool withTies = false;
};

// The parts of the select the LIMIT needs when it must count rows: the whole select core, its
// FROM ... HAVING part and the ORDER BY items, all translated.
struct LimitContext {
  std::string_view core;
  std::string_view sources;
  std::string_view orderItems;  // empty without ORDER BY
  bool orderByPosition = false;  // an ORDER BY item is a column number
  bool distinct = false;
};

// "LIMIT ..." for the TOP clause of a single select core.
std::string TopLimit(const TopRows& top, const LimitContext& context);

// "LIMIT fetch OFFSET offset" (LIMIT -1 when there is no FETCH); both translated expressions.
std::string OffsetFetchLimit(const std::string& offset, const std::optional<std::string>& fetch);

}  // namespace adodb::tsql
