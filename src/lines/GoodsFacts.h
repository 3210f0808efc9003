#pragma once
// What the goods master says about one goods item, as a line of a transfer bill stores it and
// the entry row steers by it. Read from yw_kck alone: a goods item without a balance row in the
// out-warehouse still has its own facts, never the previous goods' ones.
#include <optional>
#include <string>

#include "host/Session.h"

namespace storeadjust {

struct GoodsFacts {
  std::string number;        // hh as the goods master spells it, whatever spelling found it
  std::string name;          // pm
  std::string baseUnit;      // pdw, the unit quantities in base units are counted in
  double retailPrice = 0;    // lsj
  double taxRate = 0;        // zzsl, in percent
  double costPrice = 0;      // cbj, the price of one base unit
  bool amountOnly = false;   // fonlymoney: kept by amount only (NULL is false)
  bool batchPriced = false;  // jjff 5: a line's price is its batch's purchase price
};

// Nothing when no goods has the number, or when the read failed (its opener has shown why).
std::optional<GoodsFacts> ReadGoodsFacts(Session& session, const std::string& hh);

}  // namespace storeadjust
