#include "qt/FirstExpiringBatch.h"

#include "adodb/Recordset.h"
#include "lines/BatchExpiry.h"

namespace storeadjust::qt {

long FirstExpiringBatch(const adodb::Recordset& rows, std::optional<adodb::Date> billDate) {
  const std::optional<std::size_t> column = ExpiryColumn(rows);
  if (!column) return 0;
  long first = 0;
  adodb::Date earliest;
  for (long position = 0; position < rows.RecordCount(); ++position) {
    const adodb::Row row = rows.RowAt(rows.RowIndexAt(position));
    const std::optional<adodb::Date> expiry = ExpiryDay(row.at(*column));
    if (!expiry || (billDate && *expiry < adodb::Date{billDate->year, billDate->month, billDate->day})) continue;
    if (first == 0 || *expiry < earliest) {
      first = position + 1;
      earliest = *expiry;
    }
  }
  return first;
}

}  // namespace storeadjust::qt
