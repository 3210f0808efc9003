// The entry row's value and the fields that show it. The goods, unit, batch and goods places
// live in the value only; the figures (price, quantity, amount, retail total) are what the
// fields show, taken into the value as they are typed and read again by the save. Typing over
// the goods field voids everything that belonged to the previous goods.
#include <string>

#include "editor/FrmStoreAdjuctBill.h"
#include "host/LenientValues.h"
#include "host/NumberHelpers.h"
#include "lines/BoundColumns.h"
#include "lines/GoodsPlaceRows.h"
#include "lines/LineOf.h"

namespace storeadjust {

namespace {

bool IsFigureField(const std::string& field) {
  return field == "TxtDj" || field == "TxtSl" || field == "TxtJe" || field == "TxtLsze";
}

// The figure an amended line holds for the field, as stored.
std::optional<double> StoredFigure(const std::string& field, const std::optional<BillLineValues>& stored) {
  if (!stored) return std::nullopt;
  if (field == "TxtDj") return stored->dj;
  if (field == "TxtSl") return stored->srsl;
  if (field == "TxtJe") return stored->je;
  if (field == "TxtLsze") return stored->lsze;
  return std::nullopt;
}

// A quantity in a unit finer than the base one goes into sl with fewer places than it was typed
// with: 12.34 克 of goods kept in 千克 is stored as 0.0123, and the line moved 12.3 克 priced and
// listed as 12.34 (the grid then showed 0.0123 千克 at a price per 千克 of nobody's making). It is
// shown as the base quantity keeps it, where a quantity in the unit gives that exactly.
double QuantityAsKept(double value, double coefficient) {
  const double entered = StoredQuantity(value);
  if (coefficient == 0 || coefficient == 1) return entered;
  const auto exactly = [coefficient](double quantity) {
    const double base = coefficient * quantity;
    return SameFigure(StoredQuantity(base), base);
  };
  if (exactly(entered)) return entered;
  const double back = StoredQuantity(StoredQuantity(coefficient * entered) / coefficient);
  return exactly(back) ? back : entered;
}

// A figure is shown as the line will keep it: the price at its money column's 4 places, the
// quantity at its decimal column's 4, the amount and retail total in cents. A per-gram price of
// 0.12036 showed whole was stored as 0.1204, and the amount worked from it (30.09 for 250 克) was
// then no longer price x quantity: the grid listed 120.4 per 千克 beside it, and F3 with Enter in
// the quantity moved the amount to 30.10. A quantity of 0.12345 at 1000 showed an amount of 123.45
// and was stored as 0.1235 beside it. An amended line keeps a figure as it was stored, whatever its
// places (a price another program stored with 6, an amount with 4): the line is saved as it was.
double AsLineKeepsIt(const std::string& field, double value, const std::optional<BillLineValues>& stored,
                     double coefficient) {
  if (const auto kept = StoredFigure(field, stored); kept && *kept == value) return value;
  if (field == "TxtDj") return StoredMoney(value);
  if (field == "TxtSl") return QuantityAsKept(value, coefficient);
  if (field == "TxtJe" || field == "TxtLsze") return RoundTo(value, 2);
  return value;
}

// The figure written as the grid and the stored line give it back: a sign, whole digits without
// leading zeros, places. "-0" or "-0.00" showed a negative nothing (the desktop pads it to
// "-0.00") where the line keeps 0; "+5", " 5", "1e3" and ".5" showed other text than the grid.
bool InPlainForm(const std::string& text, double value) {
  std::size_t i = text.starts_with('-') ? 1 : 0;
  if (i == 1 && value == 0) return false;
  const std::size_t whole = text.find_first_not_of("0123456789", i);
  const std::size_t wholeEnd = whole == std::string::npos ? text.size() : whole;
  if (wholeEnd == i || (text[i] == '0' && wholeEnd > i + 1)) return false;
  if (wholeEnd == text.size()) return true;
  return text[wholeEnd] == '.' && wholeEnd + 1 < text.size() &&
         text.find_first_not_of("0123456789", wholeEnd + 1) == std::string::npos;
}

}  // namespace

void FrmStoreAdjuctBill::ShowUnit() {
  SetText("txtJl", entry_.unit.code);
  SetText("txtDw", entry_.unit.name);
  SetText("txtXs", adodb::FormatNumber(entry_.unit.coefficient));
}

// The batch the line will be saved with, so the clerk sees which one it is before he saves:
// the one an amended line holds, or the one just chosen. Goods kept by amount only, or a site
// without batches, save none: an amended line stored with a batch before its goods were switched
// to amount only showed that batch, and was saved without it.
void FrmStoreAdjuctBill::ShowBatch() {
  SetText("TxtPh", entry_.batch && CarriesBatch(entry_) ? entry_.batch->number : std::string());
}

bool FrmStoreAdjuctBill::CarriesBatch(const EntryRow& row) const {
  BillHeader site;
  site.goodsCarryBatches = !session_.isNotPh;
  return LineCarriesBatch(site, row);
}

void FrmStoreAdjuctBill::ShowFigure(const std::string& field, double value) {
  SetText(field, adodb::FormatNumber(AsLineKeepsIt(field, value, entry_.storedValues, entry_.unit.coefficient)));
  TakeFigureFromField(field);
}

// A figure typed with more places than its column keeps is shown as kept once the clerk is done
// with it (he leaves the field, presses Enter, or saves), so the line he saves is the one he sees.
// A figure already as kept and in plain form keeps the text typed ("25.10" stays).
void FrmStoreAdjuctBill::ShowFigureAsKept(const std::string& field) {
  double value = 0;
  if (!adodb::ParseNumber(Text(field), value)) return;
  const double kept = AsLineKeepsIt(field, value, entry_.storedValues, entry_.unit.coefficient);
  if (kept == value && InPlainForm(Text(field), value)) return;
  ShowFigure(field, value);
}

// A field that holds no number leaves the value as it was; the save refuses such a field.
void FrmStoreAdjuctBill::TakeFigureFromField(const std::string& field) {
  double value = 0;
  if (!adodb::ParseNumber(Text(field), value)) return;
  if (field == "TxtDj") entry_.price = value;
  if (field == "TxtSl") entry_.quantity = value;
  if (field == "TxtJe") entry_.amount = value;
  if (field == "TxtLsze") entry_.retailTotal = value;
}

// The numbers the fields show, each refused (with the focus sent there) when it is none. With
// transfers carrying no price, price and amount are not read: they are stored as 0.
bool FrmStoreAdjuctBill::TakeFiguresFromFields() {
  std::vector<std::string> fields{"TxtSl", "TxtLsze"};
  if (!IsCkdbdDj) fields.insert(fields.end(), {"TxtDj", "TxtJe"});
  for (const std::string& field : fields) {
    if (!NumberInField(field)) return false;
    ShowFigureAsKept(field);
    TakeFigureFromField(field);
  }
  return true;
}

// For goods kept by quantity the amount is price x quantity and the retail total is retail
// price x quantity in base units, whichever of price and quantity was changed last; goods kept
// by amount only keep what the clerk typed. Transfers without prices show an amount of 0.
void FrmStoreAdjuctBill::AmountFollowsPriceAndQuantity() {
  if (entry_.facts.amountOnly) return;
  double price = 0;
  double quantity = 0;
  ShowFigureAsKept("TxtSl");  // in the unit chosen now
  if (!adodb::ParseNumber(Text("TxtSl"), quantity)) return;
  if (!IsCkdbdDj && !adodb::ParseNumber(Text("TxtDj"), price)) return;
  // A price typed with more places than the line keeps is shown, and worked with, as kept.
  price = AsLineKeepsIt("TxtDj", price, entry_.storedValues, entry_.unit.coefficient);
  if (!IsCkdbdDj) ShowFigure("TxtDj", price);
  entry_.price = price;
  entry_.quantity = quantity;
  // Enter passing through the price of a line taken with F3 and left as it was: its amounts stay as
  // stored, though another program stored them other than price x quantity.
  if (const EntryRow* loaded = AmendedLineUnchanged(price, quantity)) return ShowStoredAmounts(*loaded);
  ShowFigure("TxtJe", price * quantity);
  if (entry_.HasGoods()) ShowFigure("TxtLsze", RetailTotalOf(quantity));
}

// The whole value shown: after F3 loaded a stored line.
void FrmStoreAdjuctBill::ShowEntryRow() {
  SetText("TxtHH", entry_.goods);
  ShowUnit();
  ShowBatch();
  ShowFigure("TxtDj", IsCkdbdDj ? 0 : entry_.price);
  ShowFigure("TxtJe", IsCkdbdDj ? 0 : entry_.amount);
  ShowFigure("TxtSl", entry_.quantity);
  ShowFigure("TxtLsze", entry_.retailTotal);
  SetRetailTotalEditable(entry_.facts.amountOnly);
}

// The line F3 took into the row, as it showed it, while the row still amends that very line of the
// bill on screen with its goods in its unit; nothing otherwise.
const EntryRow* FrmStoreAdjuctBill::AmendedLineInItsUnit() const {
  if (!lineAsLoaded_ || !entry_.IsAmendment() || lineAsLoadedLsh_ != lsh_) return nullptr;
  const EntryRow& loaded = *lineAsLoaded_;
  if (loaded.storedLine != entry_.storedLine || loaded.storedValues != entry_.storedValues) return nullptr;
  const bool same = loaded.goods == entry_.goods && loaded.unit.code == entry_.unit.code &&
                    loaded.unit.coefficient == entry_.unit.coefficient;
  return same ? &loaded : nullptr;
}

// The row still holds the amended line's goods, unit, batch, price and quantity as F3 showed them:
// nothing the amounts are worked from has changed, so the stored amounts are the row's.
const EntryRow* FrmStoreAdjuctBill::AmendedLineUnchanged(double price, double quantity) const {
  const EntryRow* loaded = AmendedLineInItsUnit();
  const bool unchanged =
      loaded && loaded->quantity == quantity && loaded->price == price && loaded->SameBatchAs(entry_);
  return unchanged ? loaded : nullptr;
}

void FrmStoreAdjuctBill::ShowStoredAmounts(const EntryRow& loaded) {
  ShowFigure("TxtJe", loaded.amount);
  ShowFigure("TxtLsze", loaded.retailTotal);
}

void FrmStoreAdjuctBill::VoidEntryRow() {
  entry_.VoidGoods();
  ShowUnit();
  ShowBatch();
  SetRetailTotalEditable(false);
}

// The price of one unit of the row: the base price times the unit's coefficient (a coefficient
// of 0, which no unit should have, prices as the base unit, as the batch list reads it).
double FrmStoreAdjuctBill::UnitPrice(double basePrice) const {
  const double coefficient = entry_.unit.coefficient == 0 ? 1 : entry_.unit.coefficient;
  return coefficient * basePrice;
}

// The retail price times the quantity in base units as the line keeps it (sl, at its 4 places): 7 in
// a line's own coefficient of 6.7473684 moves 47.2316, and 12.5 x 47.23157 gave 590.39 beside a
// retail price and quantity whose product is 590.40.
double FrmStoreAdjuctBill::RetailTotalOf(double quantity) const {
  return entry_.facts.retailPrice * StoredQuantity(quantity * entry_.unit.coefficient);
}

// The price and amounts shown were the goods looked up before: they go with it, so that what
// the clerk types next, or the typed goods' own price, is what the row holds.
void FrmStoreAdjuctBill::GoodsTypedOver() {
  VoidEntryRow();
  for (const char* figure : {"TxtDj", "TxtJe", "TxtLsze"}) SetText(figure, "");
}

// The remark is one line on the screen, where a line break or tab pasted into it shows as a
// blank: stored as it came, it broke the bill's remark in the list, the lines and the printed slip
// where the clerk saw none. Each such character is the blank he saw.
void FrmStoreAdjuctBill::RemarkOnOneLine() {
  std::string text = Text("TxtBZ");
  bool changed = false;
  for (char& c : text) {
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) continue;
    c = ' ';
    changed = true;
  }
  if (changed) SetText("TxtBZ", text);
}

void FrmStoreAdjuctBill::ControlChange(const std::string& control) {
  if (control == "TxtHH") return GoodsTypedOver();
  if (control == "TxtBZ") return RemarkOnOneLine();
  if (IsFigureField(control)) TakeFigureFromField(control);
}

// A figure left is shown as kept. Only a price or quantity changed in the field moves the amount:
// an amount the clerk typed stands when he merely passes through them (Up from the amount lands in
// the quantity) on his way to 保 存.
void FrmStoreAdjuctBill::ControlLostFocus(const std::string& control) {
  if (!IsFigureField(control)) return;
  const bool changed = Text(control) != figureAtFocus_;
  ShowFigureAsKept(control);
  if ((control == "TxtDj" || control == "TxtSl") && changed) AmountFollowsPriceAndQuantity();
}

BillHeader FrmStoreAdjuctBill::HeaderOfBill() {
  BillHeader header;
  header.newBill = newBill_;
  header.begunHere = request_.mode == EditorRequest::Mode::New;
  header.lsh = lsh_;
  header.showsLines = vfgContent_.Rows() >= 2;
  header.billDate = Text("DTPKdrq");
  header.outWarehouse = Text("TxtBcCkID");
  header.inWarehouse = Text("txtBrCKid");
  header.remark = Text("TxtBZ");
  header.operatorName = Text("TxtCzryName");
  if (!newBill_) header.asLoaded = HeaderAsLoaded();
  header.goodsCarryBatches = !session_.isNotPh;
  header.transfersCarryPrices = !IsCkdbdDj;
  header.inWarehouseKeepsPlaces = KeepsGoodsPlaces(session_, header.inWarehouse);
  return header;
}

}  // namespace storeadjust
