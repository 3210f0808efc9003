// The goods field TxtHH: F7 lists the out-warehouse's goods, Enter finds what was typed (an
// exact goods number, a pattern with stars, a mnemonic code), and a goods item found is taken
// into the entry row: its facts, its price, its unit, the amounts, the goods panel and the
// focus on the next field to fill.
#include "editor/FrmStoreAdjuctBill.h"
#include "editor/GoodsLookup.h"
#include "host/KeyCodes.h"
#include "host/OperatorScope.h"
#include "lines/BatchChoice.h"
#include "lines/GoodsFacts.h"
#include "lines/StoredEntryRow.h"

namespace storeadjust {

namespace {

constexpr int kF7 = key::kF1 + 6;

}  // namespace

void FrmStoreAdjuctBill::TxtHHKeyDown(int keyCode) {
  if (keyCode == key::kUp) return SetFocus("TxtBZ");
  if (keyCode != kF7 && keyCode != key::kReturn) return;
  const bool typedPath = keyCode == key::kReturn;
  if (!GoodsFieldsFilled(typedPath)) return;
  std::optional<GoodsPick> pick;
  bool nothingMatched = false;
  try {
    const BoundSql base = GoodsBaseStatementForEntry();
    pick = typedPath ? FindTypedGoods(session_, base, Text("TxtHH"), IsChkZjm, &nothingMatched)
                     : FindGoodsFromList(session_, base);
  } catch (const std::exception& error) {
    return ShowLookupFailure(error);
  }
  if (!pick) {
    if (nothingMatched) ShowStatusNote("没有找到符合“" + Text("TxtHH") + "”的商品");
    // A list looked at and closed leaves the row as it was: a row still holding its goods (F7 on
    // a line being amended, Enter on the goods shown) keeps unit, batch and figures, and the field
    // names that goods again rather than standing empty beside them. Text typed over has voided
    // the row, and goes.
    SetText("TxtHH", entry_.HasGoods() ? entry_.goods : "");
    SetFocus("TxtHH");
    return;
  }
  if (!pick->exact) SetText("TxtHH", pick->hh);
  TakeGoods(pick->hh);
}

// The list path needs only the warehouses; the typed path needs something typed too.
bool FrmStoreAdjuctBill::GoodsFieldsFilled(bool typedPath) {
  if (typedPath && Text("TxtHH").empty()) {
    Refuse("货号不能为空!");
    return false;
  }
  for (const char* warehouse : {"TxtBcCkID", "txtBrCKid"}) {
    if (Text(warehouse).empty()) {
      Refuse("仓库不能为空!", warehouse);
      return false;
    }
  }
  return true;
}

BoundSql FrmStoreAdjuctBill::GoodsBaseStatementForEntry() {
  const std::string scope = OperatorScopeCondition(session_, "A.HH", kGoodsScope);
  return GoodsBaseStatement(GoodsSelectSql, Text("TxtBcCkID"), Text("Chk1") == "1", scope);
}

// The goods' own facts, read from the goods master (a goods without a balance row in the
// out-warehouse has stock 0, never the previous goods' facts); then its price, its unit, the
// price of that unit and the amounts.
void FrmStoreAdjuctBill::TakeGoods(const std::string& hh) {
  VoidEntryRow();
  TakeGoodsFacts(hh);
  ShowFigure("TxtSl", 0);
  SetPriceAndNextField();
  const bool unitChosen = LoadDefaultUnit() == UnitTaken::Chosen;
  SetPriceAndNextField();
  ShowAmountsAfterLookup();
  if (IsCkdbdDj) {
    ShowFigure("TxtDj", 0);
    ShowFigure("TxtJe", 0);
    SetFocus("TxtSl");
  }
  KeepAmendedLineTakenAgain(unitChosen);
  std::string lsh = Text("TxtLSH");
  ShowGoodsInfo(lsh, Text("TxtHH"));
}

// Enter in 货号 of a line taken with F3 looks its goods up again. Taken again in the line's own
// unit, the goods are the line as it was loaded: its quantity, price, amounts, batch and places,
// not the goods' cost price beside a quantity of 0. The clerk who passes through the field changed
// nothing, and the save would otherwise store a line he never meant to change (or none at all, its
// quantity gone). The line keeps its own name and retail price: taken from a goods master that
// renamed the goods or priced them anew since, the line saved as it was got the new retail price
// beside the retail total worked from its own. Its own unit counted anew since F3 (the
// administrator changed the coefficient) is still its own: the row stays the line as loaded, at
// the coefficient it was loaded with, and the save sends the clerk to the unit as it does for the
// row left alone. At the new coefficient the row lost its quantity, and a clerk passing through
// with Enter, Yes to "确定数量为零？" among them, stored the line as 0. So does a unit list closed
// without a choice, or none shown (the administrator deleted the line's unit, leaving the goods
// one unit or none): the clerk chose no other unit, and the base unit the row would take lost its
// quantity. A unit deleted since F3 then sends the clerk to the unit at the save, as for the row
// left alone. Another unit chosen is a change the clerk made: the line is entered anew in it. A line
// read in the base unit its name stands for is in the unit of that name the administrator added
// since: read after the addition, it would have been read in that very unit.
void FrmStoreAdjuctBill::KeepAmendedLineTakenAgain(bool unitChosen) {
  const MeasureUnit listed = entry_.unit;
  const auto ownUnit = [&](const MeasureUnit& loaded) {
    if (!unitChosen || listed.code == loaded.code) return true;
    return loaded.code.empty() && !loaded.name.empty() && adodb::CompareValues(listed.name, loaded.name) == 0;
  };
  if (lineAsLoaded_ && ownUnit(lineAsLoaded_->unit)) entry_.unit = lineAsLoaded_->unit;
  const EntryRow* loaded = AmendedLineInItsUnit();
  if (!loaded) {
    entry_.unit = listed;
    return;
  }
  EntryRow kept = WithGoodsLookedUpAgain(*loaded, entry_.facts);
  kept.outStockQty = entry_.outStockQty;
  entry_ = std::move(kept);
  ShowEntryRow();
}

// The row takes the goods' facts and its stock in the out-warehouse; false, the row left without
// goods, when the master has no such goods. The goods field shows the number as the master spells
// it, which is what the line stores: "0012 " or "ab01" typed finds 0012 or AB01, as the database
// compares numbers.
bool FrmStoreAdjuctBill::TakeGoodsFacts(const std::string& hh) {
  const auto facts = ReadGoodsFacts(session_, hh);
  if (facts) {
    entry_.goods = facts->number;
    entry_.facts = *facts;
    SetText("TxtHH", facts->number);
  }
  entry_.outStockQty = ReadOutStock(session_, hh, Text("TxtBcCkID")).value_or(0);
  SetRetailTotalEditable(entry_.facts.amountOnly);
  // Goods kept by amount only are stored with no quantity: a quantity typed before the goods were
  // known is not left showing in the field they lock.
  if (entry_.facts.amountOnly) ShowFigure("TxtSl", 0);
  return facts.has_value();
}

// The cost price of the row's unit goes into the price field; batch-priced goods skip it (their
// price comes with the batch), the others stop there so the clerk may change it.
void FrmStoreAdjuctBill::SetPriceAndNextField() {
  if (!entry_.HasGoods()) return;
  ShowFigure("TxtDj", UnitPrice(entry_.facts.costPrice));
  SetFocus(entry_.facts.batchPriced ? "TxtSl" : "TxtDj");
}

void FrmStoreAdjuctBill::ShowAmountsAfterLookup() {
  double quantity = 0;
  double price = 0;
  adodb::ParseNumber(Text("TxtSl"), quantity);
  adodb::ParseNumber(Text("TxtDj"), price);
  ShowFigure("TxtJe", quantity * price);
  ShowFigure("TxtLsze", RetailTotalOf(quantity));
}

// A goods number typed over without Enter, then a quantity: the step goes on with the typed
// goods in its base unit, shown as the lookup shows a goods taken (its panel, its price unless the
// clerk typed one), so the price and amounts seen before saving are that goods' own. False when
// the lookup would not offer the number (no such goods, outside the operator's goods scope).
bool FrmStoreAdjuctBill::TakeTypedGoods() {
  if (entry_.HasGoods()) return true;
  if (!GoodsOffered(session_, GoodsBaseStatementForEntry(), Text("TxtHH"))) return false;
  if (!TakeGoodsFacts(Text("TxtHH"))) return false;
  if (IsCkdbdDj) ShowFigure("TxtDj", 0);
  else if (Text("TxtDj").empty()) ShowFigure("TxtDj", UnitPrice(entry_.facts.costPrice));
  std::string lsh = Text("TxtLSH");
  ShowGoodsInfo(lsh, entry_.goods);
  return true;
}

}  // namespace storeadjust
