#pragma once
// The first column of a query's first row on a connection, for the engines' single-value reads:
// Empty when the query returns no row. A refused statement throws adodb::Error (nothing is shown).
#include <string_view>

#include "adodb/BoundValues.h"
#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "adodb/ResultSet.h"
#include "adodb/Variant.h"

namespace storeadjust {

// values are those of the query's ? marks, in order.
inline adodb::Variant FirstValue(adodb::Connection& connection, std::string_view sql,
                                 const adodb::BoundValues& values = {}) {
  // The backend's rows themselves: a record set (cursor, kept text and values for a requery)
  // would be built and dropped for one value, once per bill line.
  const adodb::ResultSet result = connection.GetBackend().Query(sql, values);
  if (result.rows.empty()) return {};
  if (result.columns.empty()) throw adodb::Error::ItemNotFound();
  return result.rows[0][0];
}

}  // namespace storeadjust
