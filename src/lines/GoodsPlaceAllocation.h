#pragma once
// The goods-place dialog's rules, apart from any screen: the goods places of one warehouse with
// the goods' current quantity in each, the quantities the clerk spreads over them, their total
// against the quantity to place, and the items the dialog answers.
//
// The dialog is a component outside the editor: it reads once, when made, through a connection
// of its own opened from the request's connection string, so it never sees nor joins a
// transaction the editor has open. Reading failures throw adodb::Error.
//
// Rows: every goods place of the warehouse (GoodsPlace, by number); viewing, then any place the
// goods has a balance in or the allocation names that the list lacks. Allocating offers only the
// listed places: the save refuses a place the list lacks, so an allocation carried in on one is
// left out and named in the summary, for the clerk to place that quantity again. The current quantity is the goods'
// CurrQuantity in that place of the line's batch when the request names it, else summed over all
// batches (viewing the places of a warehouse).
// The allocation starts from the items handed in; when none are handed in and the line is stored,
// from the line's BillGoodsPlace rows of the request's bill type. Either way only this warehouse's
// places are taken: an allocation made while the bill named another in-warehouse is not carried over.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "host/UserInterface.h"

namespace adodb {
class Connection;
}

namespace storeadjust {

// The line key the editor hands over for a line not stored yet.
inline constexpr const char* kNewLineKey = "DH999999999";

struct GoodsPlaceRow {
  std::string guid;    // GoodsPlaceGuid
  std::string number;  // GoodsPlaceNo
  std::string name;    // empty for a place GoodsPlace does not list
  double current = 0;  // the goods' quantity in this place now
  double allocated = 0;
  bool listed = false;  // GoodsPlace lists it: only such a place may be given goods
};

class GoodsPlaceAllocation {
 public:
  explicit GoodsPlaceAllocation(const GoodsPlaceRequest& request);

  // A typed quantity: blank is 0; text that is not a number, or a number of the other sign than
  // the quantity to place, is none. A negative line (goods going back) is placed in negatives.
  std::optional<double> ReadQuantity(const std::string& text) const;

  const std::vector<GoodsPlaceRow>& Rows() const { return rows_; }
  bool ViewOnly() const { return viewOnly_; }
  // The base unit the quantities count in; empty when the request did not name it.
  const std::string& UnitName() const { return unitName_; }

  // False, changing nothing, when the text is no quantity (ReadQuantity), the row does not
  // exist, or the dialog only views.
  bool SetQuantity(std::size_t row, const std::string& text);

  double Total() const;
  bool TotalsAgree() const;
  // A place the allocation takes more of the line's batch from than it holds (goods going back);
  // nullptr when none does, or the batch is not known.
  const GoodsPlaceRow* OverdrawnRow() const;
  // Only an allocation that places exactly the quantity, taking from no place more than it
  // holds, may be confirmed; viewing confirms nothing.
  bool MayConfirm() const { return !viewOnly_ && TotalsAgree() && !OverdrawnRow(); }
  // "合计 5.00 / 应分配 8.00 盒" (with the base unit when the request names it), followed by why it cannot be confirmed while the totals differ.
  std::string Summary() const;
  // A quantity as the dialog shows it: at the site's quantity places, as the line's 数量 shows.
  std::string Shown(double quantity) const;

  // "GoodsPlaceGuid,WarehouseId,GoodsPlaceNo,Quantity" for each row with a quantity, in row order.
  std::vector<std::string> Items() const;

 private:
  GoodsPlaceRow& RowFor(const std::string& guid, const std::string& number);
  void ReadPlaces(adodb::Connection& connection, const GoodsPlaceRequest& request);
  void ReadStoredRows(adodb::Connection& connection, const GoodsPlaceRequest& request);
  void TakeItems(const std::vector<std::string>& items);
  // The row an allocation of this place adds to; none, noting the place, when allocating and the
  // list lacks it.
  GoodsPlaceRow* AllocatedRow(const std::string& guid, const std::string& number);

  std::string warehouseId_;
  std::string quantityToPlace_;     // as handed in, shown as it came
  std::optional<double> required_;  // that quantity as a number; none when it is not one
  std::string unitName_;         // the base unit the quantity counts in
  int quantityPlaces_ = 0;       // the site's quantity places (SLWS)
  bool viewOnly_ = false;
  bool batchKnown_ = false;
  std::vector<GoodsPlaceRow> rows_;
  std::vector<std::string> unlisted_;  // numbers of places an allocation named that the list lacks
};

}  // namespace storeadjust
