#pragma once
// Storing one line of a transfer bill: the header written or refreshed, the line inserted or
// updated, the in-warehouse goods places of the line replaced, all in one transaction on the
// session connection. Stock is not touched: lines move stock only when the bill is audited.
//
// A new bill takes its serial inside the transaction: the counter is locked, the serial built,
// skipped while a header already holds it (another clerk's bill), and the counter advanced, so
// two clerks saving at the same moment get two serials and neither header is overwritten.
#include <optional>
#include <string>
#include <vector>

#include "host/Session.h"
#include "lines/BillHeader.h"
#include "lines/BillLineValues.h"
#include "lines/GoodsPlaceRows.h"
#include "lines/MeasureUnit.h"

namespace storeadjust {

// The stored figures of a line, from what the entry row shows: quantities in the unit entered and
// in base units, the amount and retail total rounded to 2 places, the retail total without tax
// and the difference between retail total and amount with tax.
struct LineFigures {
  double enteredQty = 0;  // srsl
  double baseQty = 0;     // sl
  double amount = 0;      // je
  double retailTotal = 0;     // lsze
  double retailTotalNet = 0;  // wslsze
  double taxDifference = 0;   // cj
};

// unitCoefficient x enteredQty is the base quantity; lineAmount is the amount stored, amountShown
// the amount field (the tax difference is taken from what the clerk saw); taxRate in percent.
LineFigures FiguresOf(double enteredQty, double unitCoefficient, double lineAmount, double retailTotal,
                      double amountShown, double taxRate);

struct LineToSave {
  // The bill: a new one takes a fresh serial; otherwise lsh names it.
  bool newBill = false;
  // The bill was begun in the clerk's editor (新增) rather than opened from the list (修改).
  bool billBegunHere = false;
  std::string lsh;
  // The clerk sees stored lines of the bill. A stored bill whose header has gone was deleted with
  // its lines when the clerk saw some; when the clerk saw none, the header went as one without
  // lines, which any clerk's list refresh removes, and is written again.
  bool billShowsLines = false;
  std::string billDate;  // "YYYY-MM-DD"
  std::string outWarehouse, inWarehouse, remark, operatorName;
  // The date, remark and operator as the clerk's screen loaded them: a field the clerk left as it
  // was keeps what is stored, which another clerk may have changed since. None writes them all.
  std::optional<HeaderFields> headerAsLoaded;
  // The line: an amended one keeps its number dh; a new one gets the next number of the bill.
  bool amend = false;
  std::string dh;
  // An amended line as it was stored when loaded (ReadBillLine); none to write it whatever it
  // holds now.
  std::optional<BillLineValues> amendedAsLoaded;
  std::string hh, goodsName, unitName;
  // The unit the quantity was entered in, when taken from the goods' units: one removed from them
  // or counted anew meanwhile would store an entered quantity that disagrees with the base one.
  std::optional<MeasureUnit> listedUnit;
  // Whether the goods were kept by amount only when the row took them, which decided its batch and
  // figures; none to store the line however the goods are kept now.
  std::optional<bool> amountOnly;
  std::string batchNo, batchLine;  // empty for goods without batches
  // The bill date ("YYYY-MM-DD") the batch's expiry was judged against, the clerk's word given
  // there for an expired one; none when the caller judged none. A bill whose stored date another
  // clerk moved since is saved only while the batch has not expired on that date.
  std::optional<std::string> expiryJudgedOn;
  // The batch had expired on that date and the clerk's word was given. Without it, a batch whose
  // expiry another clerk moved into the past meanwhile is refused as on a date moved.
  bool expiredAccepted = false;
  // Stored lines of the bill (dh) whose batch the clerk let leave expired on the date this save
  // moves the bill to.
  std::vector<std::string> expiredLinesAccepted;
  // The line moves more than the losing warehouse (the out-warehouse, or the in-warehouse for a
  // return) held when it was judged, on the site's leave to do so (bz3): that leave withdrawn
  // meanwhile, the line is saved only while the stock now covers it. Without it the stock must
  // still cover the line, or be below zero: another clerk may have taken it since, or lifted a
  // stock that was below zero to less than the line.
  bool shortageAccepted = false;
  // Where the losing warehouse's stock was weighed for the line: the save weighs it again, since
  // another clerk may have taken the stock since. An amended line saved without its quantity
  // weighed again was weighed when it was stored: only what it takes beyond the stored line, from
  // the same warehouse and batch, is weighed. Never for a line whose stock nobody weighed.
  enum class StockWeighed { Never, AtEntry, WhenStored };
  StockWeighed stockWeighed = StockWeighed::Never;
  // The clerk let the line take more than its batch held when the quantity step weighed it.
  bool batchShortAccepted = false;
  double price = 0;
  double retailPrice = 0;
  LineFigures figures;
  bool enteredQtyIsNull = false;  // srsl stays NULL, as the amended line was stored
  // The in-warehouse's goods places of the line, when it keeps them.
  bool inWarehouseKeepsPlaces = false;
  std::vector<std::string> goodsPlaces;
};

enum class LineSaveOutcome {
  Saved,
  BillAudited,  // the bill was audited (or pre-audited) meanwhile: nothing written
  LineGone,     // the amended line was deleted meanwhile: nothing written, no goods places
  LineChanged,  // the amended line was changed meanwhile, or deleted and its number given again
  BillGone,     // the bill was deleted meanwhile (and perhaps made anew by another maker): nothing written
  WarehousesKept,  // other lines are stored between the header's warehouses, which the line would change
  HeldByApproval,  // its approval flow holds it (submitted or approved meanwhile): nothing written
  GoodsGone,       // the goods were removed from the goods master meanwhile: nothing written
  UnitChanged,     // the line's unit was removed from the goods' units or counted anew meanwhile
  KeepingChanged,  // the goods were switched to or from being kept by amount only meanwhile
  PlaceGone,       // a goods place of the line was removed from the in-warehouse's places meanwhile
  PlaceShort,      // goods going back would leave a place more of the batch than it now holds
  PlacesNeeded,    // the in-warehouse was switched to goods places meanwhile, and the line has none
  BatchExpired,    // the line's batch has expired on the bill's date (moved meanwhile, or its expiry moved)
  StoredLineExpired,  // the save moves the bill's date past the expiry of a stored line's batch
  ShortageForbidden,  // the stock no longer covers the line, and the site forbids shortages now (bz3)
  ShortageToAccept,   // the stock no longer covers the line, which the clerk did not accept: ask, then save
  BatchGone,          // the line's batch is no longer in the out-warehouse: nothing written
  BatchShortToAccept,  // the batch no longer covers the line, which the clerk did not accept: ask, then save
  NoRight,         // the operator no longer holds the right the line is saved on (see StoreLine): nothing written
  OutsideScope,    // a warehouse of the line was taken out of the operator's data scope meanwhile
};

struct SavedLine {
  LineSaveOutcome outcome = LineSaveOutcome::Saved;
  std::string lsh;  // the bill's serial (a new bill's fresh one)
  std::string dh;   // the line's number
  std::string placeNo{};   // PlaceGone: the place removed
  std::string billDate{};  // BatchExpired: the bill's date as stored
  bool outWarehouse = true;  // OutsideScope: the out-warehouse (else the in-warehouse) is outside it
  PlaceShortage shortage{};  // PlaceShort: the place and what it holds now
  // StoredLineExpired: the stored line, its batch and the days past its expiry on the new date.
  std::string expiredLine{}, expiredBatch{};
  long expiredDays = 0;
};

// Stores the line; on any failure rolls everything back and throws adodb::Error (a duplicate
// key, IsDuplicateKey, when another clerk stored the same key at the same moment). A line of a
// stored bill is written only while the bill is there, open and not held by its approval flow, and
// an amended one only while it still exists, all read inside the transaction. The warehouses of a bill with other lines stored
// stay as its header names them.
SavedLine StoreLine(Session& session, const LineToSave& line);

// True when lines of the stored bill other than savedDh (empty for a new line) keep the header's
// warehouses from becoming these: its lines move stock between the warehouses they were stored with.
bool WarehousesKeptByLines(Session& session, const std::string& lsh, const std::string& outWarehouse,
                           const std::string& inWarehouse, const std::string& savedDh);

// The goods' unit of this code as they keep it now (not deleted), with its name and counted
// coefficient, as their unit list would give it; nothing when they keep none of that code.
std::optional<MeasureUnit> UnitKeptNow(Session& session, const std::string& hh, const std::string& code);

// True when the goods still keep the unit the row took (`now`, as UnitKeptNow reads it) at the
// coefficient the row counts it with; a coefficient of a line's own (not listed) is the line's
// whatever the unit's is now.
bool KeptAsTaken(const std::optional<MeasureUnit>& now, const MeasureUnit& taken);

// The number a new line of the bill gets: one more than the largest stored (numbers start at
// 1001). Reads on the session connection, so inside a transaction it sees the transaction's lines.
std::string NextLineNumber(Session& session, const std::string& lsh);

}  // namespace storeadjust
