#include "qt/FirstExpiringBatch.h"

#include <optional>
#include <string>

#include "adodb/Recordset.h"

namespace storeadjust::qt {

namespace {

bool IsExpiryColumn(const std::string& name) {
  if (name == "效期") return true;
  return name.size() == 2 && (name[0] == 'x' || name[0] == 'X') && (name[1] == 'q' || name[1] == 'Q');
}

std::optional<std::size_t> ExpiryColumn(const adodb::Recordset& rows) {
  for (std::size_t column = 0; column < rows.FieldCount(); ++column) {
    if (IsExpiryColumn(rows.Column(column).name)) return column;
  }
  return std::nullopt;
}

// A batch without an expiry, or with text that is no date, says nothing about when it expires.
std::optional<adodb::Date> ExpiryOf(const adodb::Variant& value) {
  if (value.IsNull() || value.IsEmpty()) return std::nullopt;
  try {
    return value.AsDate();
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace

long FirstExpiringBatch(const adodb::Recordset& rows) {
  if (rows.State() == 0) return 0;
  const std::optional<std::size_t> column = ExpiryColumn(rows);
  if (!column) return 0;
  long first = 0;
  adodb::Date earliest;
  for (long position = 0; position < rows.RecordCount(); ++position) {
    const adodb::Row row = rows.RowAt(rows.RowIndexAt(position));
    const std::optional<adodb::Date> expiry = ExpiryOf(row.at(*column));
    if (expiry && (first == 0 || *expiry < earliest)) {
      first = position + 1;
      earliest = *expiry;
    }
  }
  return first;
}

}  // namespace storeadjust::qt
