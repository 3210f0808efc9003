#pragma once
// The first column of a query's first row, with the query's ? marks bound to `values`: Empty when
// the query returns no row. A refused statement throws adodb::Error (nothing is shown). The
// engines' single-value reads go through it so that no value becomes statement text.
#include <string_view>

#include "adodb/BoundValues.h"
#include "adodb/Connection.h"
#include "adodb/Recordset.h"
#include "adodb/Variant.h"

namespace storeadjust {

inline adodb::Variant FirstBoundValue(adodb::Connection& connection, std::string_view sql,
                                      const adodb::BoundValues& values) {
  auto rs = connection.OpenRecordset(sql, values);
  if (rs->RecordCount() < 1) return {};
  rs->MoveFirst();
  return rs->Value(std::size_t{0});
}

}  // namespace storeadjust
