#pragma once
// A transfer bill as its printed slip shows it: the header with the warehouses' names, and the
// lines with the goods' name, pack size (规格), unit, batch and expiry. The print components read
// slips through the connection they are handed and lay them out; nothing here draws.
#include <string>
#include <vector>

#include "host/GridNumberPlaces.h"

namespace adodb {
class Connection;
}

namespace storeadjust {

struct BillSlipLine {
  std::string lineNumber;     // dh
  std::string goodsNumber;    // hh
  std::string goodsName;      // the line's pm, else the goods master's
  std::string packSize;       // 规格, yw_kck.gg
  std::string unit;           // the base unit: the line's dw when entered in it, else the goods' pdw
  std::string batch;          // ph
  std::string expiry;         // the batch's xq in the out-warehouse, YYYY-MM-DD; empty when unknown
  double quantity = 0;
  double price = 0;           // per the base unit
  double amount = 0;
  double retailTotal = 0;
  // Where the keepers take and lay the goods: "出 A01:5 A02:3 入 B01:8", the places the audit
  // issued from and those chosen to receive into; empty for a line on no goods place.
  std::string goodsPlaces;
};

struct BillSlipTotals {
  double quantity = 0;
  // Whether the lines are all in one unit: 5 克 and 2 千克 add up to no quantity, so the slip
  // shows none then.
  bool oneUnit = true;
  double amount = 0;
  double retailTotal = 0;
};

struct BillSlip {
  std::string serial;
  std::string date;  // kdrq, YYYY-MM-DD
  std::string outWarehouseId, outWarehouseName;
  std::string inWarehouseId, inWarehouseName;
  std::string remark;
  std::string maker;    // czry
  std::string auditor;  // the out-warehouse audit's PreShry in two-step mode, else shry
  std::vector<BillSlipLine> lines;  // in line-number order
  // The site's places (sys_var SLWS, wsjws), so that the slip shows its figures as the editor's
  // grid does; none when the site has no settings row.
  NumberPlaces places;
  // The site keeps the bill's amount total from its clerks (profile ForbiddenViewBatchPrice), as the
  // editor's goods panel and totals row do: the slip prints none either.
  bool hidesAmountTotal = false;
};

// The totals of lines [first, first + count) of the slip (clipped to its lines).
BillSlipTotals SlipTotals(const BillSlip& slip, std::size_t first = 0, std::size_t count = static_cast<std::size_t>(-1));

// "A|B|C" as the print request carries it -> {"A", "B", "C"}; empty pieces are dropped.
std::vector<std::string> SplitSerials(const std::string& serials);

// The slips of the serials, in the order given, read from the header and line tables named (as
// the print request names them, blanks around the name allowed), all as they stood at one moment.
// Throws adodb::Error when a serial names no stored bill or one without lines ("流水号为:X的单据不
// 存在!"), when a table name is not a plain name, or when the database refuses a read.
std::vector<BillSlip> ReadBillSlips(adodb::Connection& connection, const std::string& headerTable,
                                    const std::string& lineTable, const std::vector<std::string>& serials);

}  // namespace storeadjust
