#pragma once
// The first column of a query's first row on a connection, for the engines' single-value reads:
// Empty when the query returns no row. A refused statement throws adodb::Error (nothing is shown).
#include <string_view>

#include "adodb/BoundValues.h"
#include "adodb/Connection.h"
#include "adodb/Recordset.h"
#include "adodb/Variant.h"

namespace storeadjust {

// values are those of the query's ? marks, in order.
inline adodb::Variant FirstValue(adodb::Connection& connection, std::string_view sql,
                                 const adodb::BoundValues& values = {}) {
  auto rs = connection.OpenRecordset(sql, values);
  if (rs->RecordCount() < 1) return {};
  rs->MoveFirst();
  return rs->Value(std::size_t{0});
}

}  // namespace storeadjust
