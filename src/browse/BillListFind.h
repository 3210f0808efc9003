#pragma once
// What the clerk narrows the browser's list to: a text found anywhere in the serial, in either
// warehouse's code or name, or in the remark, and a range of bill dates with either end open.
// The condition joins the data-scope condition at the template's "[选择条件]"; what the clerk
// typed is bound to its ? marks, never written into the statement, and matched as typed (a %, _
// or [ is that character, not a wildcard).
#include <optional>
#include <string>

#include "adodb/Date.h"
#include "host/BoundSql.h"

namespace storeadjust {

struct BillListFind {
  std::string text;
  std::optional<adodb::Date> from, to;  // bill dates, both ends included, in either order
  bool IsEmpty() const { return text.empty() && !from && !to; }
};

// " and (...)" with its values, or empty. The header's columns are qualified by header (the
// template's alias of ckdbdzk, or its name), or left unqualified when header is empty.
BoundSql FindCondition(const BillListFind& find, const std::string& header);

}  // namespace storeadjust
