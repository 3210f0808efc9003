#pragma once
// The bill a line is saved into, as the editor's header shows it, and the two settings that say
// how its lines are kept.
#include <optional>
#include <string>

namespace storeadjust {

// The header fields a clerk may change with any line saved.
struct HeaderFields {
  std::string billDate;  // "YYYY-MM-DD"
  std::string remark, operatorName;
};

struct BillHeader {
  bool newBill = false;  // the bill has no stored header yet: it takes a fresh serial
  // The clerk holds the bill by 新增 (begun in this editor) rather than by 修改 (opened from the
  // list): the right a line added to it is saved on.
  bool begunHere = false;
  bool showsLines = false;  // the editor lists stored lines of the bill
  std::string lsh;
  std::string billDate;  // "YYYY-MM-DD"
  std::string outWarehouse, inWarehouse, remark, operatorName;
  // Those fields as the editor loaded them from the stored bill; none for a bill not stored.
  std::optional<HeaderFields> asLoaded;
  bool goodsCarryBatches = true;        // the host's isNotPh turned off
  bool transfersCarryPrices = true;     // ISCKDBDDJ off: lines store their price and amount
  bool inWarehouseKeepsPlaces = false;  // the in-warehouse is managed by goods places
};

}  // namespace storeadjust
