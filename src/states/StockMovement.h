#pragma once
// The per-line blocks of the state changes, on the session connection inside the state change's
// transaction: the stock check of a warehouse, and the out-warehouse's issue and its reversal,
// the in-warehouse's receipt and its reversal, each split into its batch-stock (phk), balance
// (ywbalance) and goods-place steps so the one-step audit can interleave both sides.
//
// Statements throw adodb::Error. A step that must stop the state change (a missing stock row, a
// shortage) writes its refusal into the outcome and answers Stop; the caller rolls back. Nothing
// here asks: a shortage the user may accept, and has not accepted yet, stops with the question
// left in PendingShortage for the caller to ask once the transaction is rolled back.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "adodb/BoundValues.h"
#include "adodb/ResultSet.h"
#include "adodb/Variant.h"
#include "host/CollatedKeys.h"
#include "host/Session.h"
#include "lines/BillLineValues.h"
#include "states/StateChange.h"

namespace storeadjust {

enum class LineStep { Go, SkipLine, Stop };

// What the stock check read from the stock row.
struct StockRow {
  double sl = 0;
  std::string kh;        // phk.kh, when the query selects it
  double sellPrice = 0;  // phk.sellprice, when the query selects it
};

// A shortage the user is to be asked about: the question, and the key under which the answer Yes
// is carried into the next run (the line, the warehouse and the stock it found, so a shortage that
// grew meanwhile is asked again).
struct ShortageQuestion {
  std::string key;
  std::string text;
};

class StockMovement {
 public:
  StockMovement(Session& session, const StateSettings& settings, const std::set<std::string>& acceptedShortages,
                StateOutcome& outcome, std::string lsh);
  StockMovement(const StockMovement&) = delete;
  StockMovement& operator=(const StockMovement&) = delete;

  // True when the line moves batch rows (batches kept, goods not kept by amount only).
  bool MovesBatches(const BillLineValues& line) const;
  // Reads whether the goods are kept by amount only (then the line moves no quantity); once per
  // goods in a run, as a bill's lines repeat their goods and the flag cannot change under its lock.
  // Stops, refused, a line of batch-kept goods whose goods are kept by amount only since: moved by
  // amount, the batch and quantity the line shows would not move, and a reversal would not give
  // back what the audit moved. With `issued` (the bill's goods have left the out-warehouse), the
  // same of a line without a batch whose goods are kept by quantity since: issued by amount only,
  // its quantity would arrive, or come back, from nowhere.
  LineStep ReadMoneyOnly(BillLineValues& line, bool issued);

  // The stock row the query selects (phk, or ywbalance as "sl"), checked against the line's
  // quantity (what `warehouse` loses). No row: an issue is refused, a reversal skips the line. A
  // shortage is refused, or, when the settings allow it, goes on if the user accepted it in an
  // earlier run and otherwise stops with the question pending. A shortage that only the bill's own
  // earlier lines on the same stock row explain says so and names those lines.
  LineStep CheckStock(const BillLineValues& line, const std::string& warehouse, const std::string& query,
                      const adodb::BoundValues& values, bool issuing, StockRow& row);
  // CheckStock of the line's batch row in the warehouse, selecting `columns` of phk.
  LineStep CheckBatchStock(const BillLineValues& line, const std::string& warehouse, const char* columns, bool issuing,
                           StockRow& row);
  const std::optional<ShortageQuestion>& PendingShortage() const { return pendingShortage_; }

  // The steps that move a line's stock. Without shortages allowed each one that lowers a
  // warehouse's stock only takes what is there when it runs: a row another clerk emptied since
  // the check is refused (Stop), not overdrawn.
  //
  // The out-warehouse gives the line's quantity. A negative line's goods come back to the
  // out-warehouse, whose batch row is made when gone.
  LineStep IssueBatch(const BillLineValues& line);
  LineStep IssueBalance(const BillLineValues& line);
  LineStep AllocateOutPlaces(const BillLineValues& line);
  LineStep UnIssueBatch(const BillLineValues& line);
  LineStep UnIssueBalance(const BillLineValues& line, bool currentYearOnly);
  // The line's out-warehouse place rows are the record of what its issue took from each place:
  // they are given back whether or not the warehouse keeps goods places now.
  LineStep UnIssuePlaces(const BillLineValues& line);
  // Removes the line's out-warehouse place rows, giving the places nothing back.
  void ForgetIssuedPlaces(const BillLineValues& line);

  // The in-warehouse takes the line's quantity; a sell price given is copied into an existing
  // batch row.
  LineStep ReceiveBatch(const BillLineValues& line, std::optional<double> sellPrice);
  // The sell price of the line's batch row in the warehouse (NULL as 0); none without the row.
  std::optional<double> BatchSellPrice(const BillLineValues& line, const std::string& warehouse);
  LineStep ReceiveBalance(const BillLineValues& line);
  // Into a warehouse that keeps goods places, the line's in-warehouse rows are booked; into one
  // that keeps none (switched off since the line was saved), they are removed: left, the reversal
  // would take from the places what the receipt never gave them. So after a receipt the rows are
  // what it booked, and the reversal takes them back whether or not the warehouse keeps places now.
  LineStep ReceivePlaces(const BillLineValues& line);
  LineStep UnReceiveBatch(const BillLineValues& line, const StockRow& row);
  LineStep UnReceiveBalance(const BillLineValues& line);
  LineStep UnReceivePlaces(const BillLineValues& line);

  // True when the warehouse keeps goods places (read once per warehouse and state change).
  bool KeepsPlaces(const std::string& warehouse);

 private:
  adodb::ResultSet Rows(const std::string& sql, const adodb::BoundValues& values);
  bool HasRow(const std::string& sql, const adodb::BoundValues& values);
  // The values of kLinePlaces' marks: the line's goods-place rows of the bill type.
  adodb::BoundValues LinePlaceRows(const char* billType, const BillLineValues& line) const;
  // Whether the line has goods-place rows of the bill type (the bill's read once per run, in one
  // statement: most warehouses keep no places, and older databases have no index on the rows).
  bool HoldsPlaceRows(const char* billType, const BillLineValues& line);
  // Adds ("+") or takes ("-") the quantity the line's rows of the bill type give each place to or
  // from the place's balance, made first for a place that has none for the batch. Without
  // shortages allowed, a place the change would leave holding less than none of the batch
  // refuses it (Stop) before anything of it is written.
  LineStep ChangePlaceBalances(const char* billType, const BillLineValues& line, const char* sign);
  // The values of kBatchKey's marks: the line's batch in the warehouse.
  adodb::BoundValues BatchKey(const BillLineValues& line, const std::string& warehouse) const;
  // The stock row the line draws on in the warehouse: warehouse, goods, batch and batch line.
  using RowKey = std::tuple<std::string, std::string, std::string, std::string>;
  RowKey StockKey(const BillLineValues& line, const std::string& warehouse) const;
  std::string ShortageText(const BillLineValues& line, const std::string& warehouse, const char* verdict,
                           const std::string& cause) const;
  std::string MissingStockText(const BillLineValues& line, const std::string& warehouse) const;
  std::string ShortageCause(const BillLineValues& line, const std::string& warehouse, double held) const;
  LineStep RefuseShortage(const BillLineValues& line, const std::string& warehouse, const std::string& cause);
  bool Guarded(double taken) const;
  std::string TakeGuard(double taken, const char* column, adodb::BoundValues& values) const;
  double BalanceTaken(const BillLineValues& line, double taken) const;
  LineStep TakeStock(const BillLineValues& line, const std::string& warehouse, const std::string& update,
                     adodb::BoundValues values, double taken, const char* column, long* changed = nullptr);
  LineStep TakeBalance(const BillLineValues& line, const std::string& warehouse, const std::string& update,
                       const adodb::BoundValues& values, double taken);
  bool CopyBatchRow(const BillLineValues& line, const std::string& from, const std::string& to, const std::string& kh);
  std::string CopiedPhkColumns() const;
  std::optional<LineStep> InsertBalance(const BillLineValues& line, const std::string& warehouse);
  LineStep RefuseGoodsGone(const BillLineValues& line);
  // Runs `update` (a change of the line's goods' balance row in `warehouse`, bound to `values`),
  // making the row first when there is none.
  LineStep UpdateBalanceOf(const BillLineValues& line, const std::string& warehouse, const std::string& update,
                           const adodb::BoundValues& values);

  Session& session_;
  const StateSettings& settings_;
  const std::set<std::string>& acceptedShortages_;
  StateOutcome& outcome_;
  const std::string lsh_;
  std::map<std::string, bool> keepsPlaces_;
  std::map<std::string, bool> moneyOnly_;
  // (BillType, dh) of the bill's goods-place rows, compared as the database compares them: rows
  // another program stored may name a line 'x ' whose own number reads 'x'.
  std::optional<std::set<std::tuple<std::string, std::string>, CollatedLess>> placeRows_;
  // The bill's lines already checked in this run, by the stock row they draw on: (dh, quantity).
  // Keyed as the database compares: a line whose keys another program stored padded draws on the
  // same row.
  std::map<RowKey, std::vector<std::pair<std::string, double>>, CollatedLess> drawn_;
  std::optional<ShortageQuestion> pendingShortage_;
};

}  // namespace storeadjust
