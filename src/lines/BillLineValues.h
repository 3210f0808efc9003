#pragma once
// One line of a bill as the state changes read it from their line query.
#include <cstddef>
#include <compare>
#include <string>
#include <vector>

#include "adodb/Recordset.h"

namespace storeadjust {

// One of a line's in-warehouse goods places, where the receipt puts that part of the line.
struct BillLinePlace {
  std::string guid, number, warehouse, goods, batchNo, batchLine;
  double quantity = 0;
  auto operator<=>(const BillLinePlace&) const = default;
  bool operator==(const BillLinePlace&) const = default;
};

// The values a command moves come first: they order a snapshot's lines. The rest are what else a
// screen listing the line may show (unit, quantity as entered, prices, name, remark) and the goods
// places the clerk chose for it: a command from that screen acts only on the lines as listed.
// The bill's header as a screen listing its lines shows it beside them: a command from that screen
// acts only on the bill as shown, not on one another clerk has since dated, remarked or made anew
// under the same number (a line save writes the header, so un-audit, save and audit again leaves
// the lines as they were).
struct BillHeaderShown {
  std::string date, remark, maker;  // kdrq, bz, czry
  auto operator<=>(const BillHeaderShown&) const = default;
  bool operator==(const BillHeaderShown&) const = default;
};

// Whether the line's in-warehouse kept goods places when the line was read, which decided whether
// its place rows were read with it. How the line was read, not what it is: any two compare equal,
// so a line read before the administrator flipped the switch is still the line stored, and a
// later read can be asked to read its places the same way (ReadBillLine).
struct PlacesReadAsKept {
  bool kept = false;
  friend bool operator==(PlacesReadAsKept, PlacesReadAsKept) { return true; }
  friend std::strong_ordering operator<=>(PlacesReadAsKept, PlacesReadAsKept) { return std::strong_ordering::equal; }
};

struct BillLineValues {
  std::string kh;  // the line's location code, added to (or removed from) the batch row's list
  std::string hh, dh, dcstockid, drstockid, ph, pcdh;
  double sl = 0;    // quantity in base units (0 for goods kept by amount only)
  double je = 0;    // amount at cost
  double lsze = 0;  // amount at retail
  bool moneyOnly = false;  // kept by amount only: no batch rows, no goods places, no quantity
  bool quantityIsNull = false;  // sl is NULL (another program wrote the line): no number to move
  std::string pm, dw, bz;
  double dj = 0, srsl = 0, lsj = 0, wslsze = 0, cj = 0;
  bool enteredIsNull = false;  // srsl is NULL: another program stored no quantity as entered
  std::vector<BillLinePlace> places;  // sorted; read by ReadBillLines, not by FromRow
  BillHeaderShown header;  // the same on every line of the bill; left empty by ReadBillLine
  PlacesReadAsKept placesRead;

  auto operator<=>(const BillLineValues&) const = default;
  bool operator==(const BillLineValues&) const = default;

  // Where a line query's columns stand, found once for all its rows.
  struct Columns {
    explicit Columns(const adodb::Recordset& rs);
    std::size_t kh, hh, dh, dcstockid, drstockid, ph, pcdh, sl, je, lsze, pm, dw, bz, dj, srsl, lsj, wslsze, cj;
    std::size_t billDate, billRemark, billMaker;
  };
  // The current row of a line query ("select *,a.hh,a.je,a.lsze,b.kdrq billkdrq,b.bz billbz,
  // b.czry billczry from ckdbdzkmx a inner join ckdbdzk b ..."): the line's own columns come
  // first, so a name shared with the header reads the line's value. NULL texts read as empty, NULL amounts as 0; a NULL quantity reads as 0 and
  // is marked, for the command that moves the line to refuse.
  static BillLineValues FromRow(const adodb::Recordset& rs, const Columns& columns);

  // Whether the line moves its goods from `out` to `in`, the ids compared as the server compares
  // text ("01 " is "01").
  bool MovesBetween(const std::string& out, const std::string& in) const;

  // Whether another program stored the line without its out- or in-warehouse (blank or NULL).
  bool LacksWarehouse() const;
};

}  // namespace storeadjust
