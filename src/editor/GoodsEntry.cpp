// The goods field TxtHH: F7 lists the out-warehouse's goods, Enter finds what was typed (an
// exact goods number, a pattern with stars, a mnemonic code), and a goods item found is taken
// into the entry row: its facts, its price, its unit, the amounts, the goods panel and the
// focus on the next field to fill.
#include "editor/FrmStoreAdjuctBill.h"
#include "editor/GoodsLookup.h"
#include "host/KeyCodes.h"
#include "host/OperatorScope.h"

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
    const std::string base = GoodsBaseStatementForEntry();
    pick = typedPath ? FindTypedGoods(session_, base, Text("TxtHH"), IsChkZjm, &nothingMatched)
                     : FindGoodsFromList(session_, base);
  } catch (const std::exception& error) {
    return ShowLookupFailure(error);
  }
  if (!pick) {
    if (nothingMatched) ShowStatusNote("没有找到符合“" + Text("TxtHH") + "”的商品");
    SetText("TxtHH", "");
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

std::string FrmStoreAdjuctBill::GoodsBaseStatementForEntry() {
  const std::string scope = OperatorScopeCondition(session_, "A.HH", kGoodsScope);
  return GoodsBaseStatement(GoodsSelectSql, Text("TxtBcCkID"), Text("Chk1") == "1", scope);
}

void FrmStoreAdjuctBill::TakeGoods(const std::string& hh) {
  if (auto amountOnly = ReadAmountOnly(session_, hh)) {
    entry_.IsAmountOnly = *amountOnly;
    SetRetailTotalEditable(*amountOnly);
  }
  ReadGoodsFacts(hh);
  SetText("TxtSl", "0");
  SetPriceAndNextField(hh);
  LoadDefaultUnit();
  SetPriceAndNextField(Text("TxtHH"));
  ShowAmountsAfterLookup();
  if (IsCkdbdDj) {
    SetText("TxtDj", "0");
    SetText("TxtJe", "0");
    SetFocus("TxtSl");
  }
  std::string lsh = Text("TxtLSH");
  ShowGoodsInfo(lsh, Text("TxtHH"));
}

// Goods without a current balance in the out-warehouse keep the previous goods' facts.
void FrmStoreAdjuctBill::ReadGoodsFacts(const std::string& hh) {
  const auto facts = ReadGoodsBalance(session_, hh, Text("TxtBcCkID"));
  if (!facts) return;
  entry_.TaxRate = facts->taxRate;
  entry_.OutStockQty = facts->stockQty;
  entry_.RetailPrice = facts->retailPrice;
  entry_.GoodsName = facts->name;
}

// The cost price goes into the price field; batch-priced goods skip it (their price comes with
// the batch), the others stop there so the clerk may change it.
void FrmStoreAdjuctBill::SetPriceAndNextField(const std::string& hh) {
  const auto pricing = ReadGoodsPricing(session_, hh);
  if (!pricing) return;
  SetText("TxtDj", adodb::FormatNumber(pricing->costPrice));
  entry_.IsBatchPriced = pricing->batchPriced;
  SetFocus(pricing->batchPriced ? "TxtSl" : "TxtDj");
}

void FrmStoreAdjuctBill::ShowAmountsAfterLookup() {
  double quantity = 0;
  double price = 0;
  adodb::ParseNumber(Text("TxtSl"), quantity);
  adodb::ParseNumber(Text("TxtDj"), price);
  SetText("TxtJe", adodb::FormatNumber(quantity * price));
  entry_.LinePrice = price;
  entry_.LineAmount = quantity * entry_.LinePrice;
  SetText("TxtLsze", adodb::FormatNumber(quantity * entry_.RetailPrice * entry_.UnitCoefficient));
}

}  // namespace storeadjust
