// The unit, price, amount and retail-total fields of the entry row: the unit offered for the
// goods, and the keys that compute amounts and move the clerk along price -> quantity -> save,
// or, for goods kept by amount only, price -> amount -> retail total -> save.
#include "editor/FrmStoreAdjuctBill.h"
#include "editor/MeasureUnits.h"
#include "host/DataHelpers.h"
#include "host/KeyCodes.h"
#include "host/LenientValues.h"
#include "lines/LineSaving.h"

namespace storeadjust {

// The base unit (coefficient 1, no unit code or name) unless another unit was chosen. With
// keepUnitOnCancel, a list closed without a choice (or none to open, while the goods still keep
// the row's unit) leaves the row's unit as it was. A line being amended offers its own unit first:
// the clerk who passes through the list to change the quantity keeps the unit he saved the line
// in, not the goods' default.
FrmStoreAdjuctBill::UnitTaken FrmStoreAdjuctBill::LoadDefaultUnit(bool keepUnitOnCancel) {
  std::optional<MeasureUnit> unit;
  bool cancelled = false;
  const std::string held = entry_.AmendsLineOf(Text("TxtHH")) ? entry_.storedUnitCode : std::string();
  try {
    unit = ChooseMeasureUnit(session_, Text("TxtHH"), &cancelled, held);
    // No list to choose from (the goods keep one unit, or none): no other unit was chosen either.
    // A row in a unit the goods still keep stays in it; the base unit would count its quantity
    // anew, and a line of 2 中包 passed through with Enter was stored as 2 盒. Counted anew since,
    // the unit is taken as the list would give it, at its new coefficient. A line taken with F3
    // still in its own unit, which another clerk has deleted since, keeps it as a list closed
    // without a choice keeps it: counted in the base unit, it was priced at the goods' cost price
    // though the clerk changed nothing.
    if (!unit && !cancelled && keepUnitOnCancel && entry_.HasGoods()) {
      std::optional<MeasureUnit> now = UnitKeptNow(session_, entry_.goods, entry_.unit.code);
      const bool ownUnitGone = !now && !entry_.unit.listed && entry_.AmendsLineOf(Text("TxtHH"));
      cancelled = ownUnitGone || KeptAsTaken(now, entry_.unit);
      if (!cancelled) unit = std::move(now);
    }
  } catch (const std::exception& error) {
    ShowLookupFailure(error);
  }
  if (cancelled && keepUnitOnCancel) {
    ShowUnit();
    return UnitTaken::Cancelled;
  }
  entry_.unit = unit.value_or(MeasureUnit{});
  // A line stored with a coefficient of its own (its quantity and base quantity, which its unit's
  // coefficient does not join) and its own unit chosen again keeps that coefficient, as F3 showed
  // it: the clerk passing through the list changed nothing, and the unit's coefficient would have
  // moved another quantity, or (not being the line as loaded) lost its quantity and amounts.
  const bool ownUnitAgain = lineAsLoaded_ && !lineAsLoaded_->unit.listed && lineAsLoadedLsh_ == lsh_ &&
                            entry_.AmendsLineOf(Text("TxtHH")) && lineAsLoaded_->storedLine == entry_.storedLine &&
                            lineAsLoaded_->storedValues == entry_.storedValues &&
                            lineAsLoaded_->goods == Text("TxtHH") && lineAsLoaded_->unit.code == entry_.unit.code;
  if (ownUnitAgain) entry_.unit = lineAsLoaded_->unit;
  ShowUnit();
  return cancelled ? UnitTaken::Cancelled : unit ? UnitTaken::Chosen : UnitTaken::NotListed;
}

void FrmStoreAdjuctBill::txtJlKeyDown(int keyCode) {
  if (keyCode == key::kReturn) {
    // The clerk who opens the unit list on a row and closes it with Esc changes nothing: the row
    // keeps its unit, and with it its price, amounts and the batch judged for its quantity.
    if (LoadDefaultUnit(true) == UnitTaken::Cancelled) return SetFocus("TxtSl");
    // Goods kept by amount only carry no quantity: a line taken with F3 in another unit is stored
    // without one, and the quantity it was stored with no longer stands in the field they lock.
    if (entry_.facts.amountOnly && !AmendedLineInItsUnit()) ShowFigure("TxtSl", 0);
    double basePrice = NumberOrZero(
        GetFieldValue(session_, "select cbj as dj from yw_kck where hh=?", "dj", {adodb::BoundText(Text("TxtHH"))}));
    // Goods priced by batch cost what the batch held by the row cost, in any unit: the unit
    // chosen again (or changed and back) leaves the batch as it was, and a line saved then would
    // carry the goods' cost price beside a batch bought at another.
    if (entry_.facts.batchPriced && entry_.batch && entry_.batch->price > 0) basePrice = entry_.batch->price;
    // Transfers without prices store 0: the unit's price would be shown and never kept. A line
    // taken with F3 whose own unit is chosen again, its batch unchanged, keeps its stored price.
    const EntryRow* loaded = AmendedLineInItsUnit();
    const bool ownPrice = loaded && loaded->SameBatchAs(entry_);
    ShowFigure("TxtDj", IsCkdbdDj ? 0 : ownPrice ? loaded->price : UnitPrice(basePrice));
    AmountFollowsPriceAndQuantity();
    SetFocus("TxtSl");
  }
  if (keyCode == key::kUp) SetFocus("TxtHH");
  if (keyCode == key::kDown) SetFocus("TxtSl");
}

// Amount-only goods go on to the amount; other goods get price x quantity and go on to the
// quantity.
void FrmStoreAdjuctBill::TxtDjKeyDown(int keyCode) {
  if (keyCode == key::kReturn || keyCode == key::kDown) {
    if (entry_.facts.amountOnly) return SetFocus("TxtJe");
    if (!NumberInField("TxtDj") || !NumberInField("TxtSl")) return;
    AmountFollowsPriceAndQuantity();
    SetFocus("TxtSl");
  }
  if (keyCode == key::kUp) SetFocus("TxtHH");
}

// For goods kept by amount only the amount is what the clerk types, and the line is stored with
// it, as with every figure the fields show. The retail total follows as amount over price; with
// no price to divide by it is left for the clerk to type.
void FrmStoreAdjuctBill::TxtJeKeyDown(int keyCode) {
  if (keyCode == key::kUp) SetFocus(entry_.facts.amountOnly ? "TxtDj" : "TxtSl");
  if (keyCode != key::kReturn) return;
  if (Control("TxtLsze").locked) return GoToSave();
  const auto amount = NumberInField("TxtJe");
  if (!amount) return;
  const auto price = NumberInField("TxtDj");
  if (!price) return;
  ShowFigure("TxtJe", *amount);  // in cents, as the line keeps it
  // A line taken with F3 and passed through as it was keeps the retail total it was stored with.
  const EntryRow* unchanged = AmendedLineUnchanged(*price, entry_.quantity);
  if (unchanged && unchanged->amount == *amount) {
    ShowFigure("TxtLsze", unchanged->retailTotal);
  } else if (*price != 0) {
    ShowFigure("TxtLsze", *amount / *price);
  }
  SetFocus("TxtLsze");
}

void FrmStoreAdjuctBill::TxtLszeKeyDown(int keyCode) {
  if (keyCode == key::kUp) SetFocus("TxtJe");
  if (keyCode == key::kReturn) GoToSave();
}

// The row ends on 保 存. Greyed (the bill audited, or opened to view), the button cannot take the
// focus, and Enter would seem to do nothing: the clerk is told why, and stays in his field.
void FrmStoreAdjuctBill::GoToSave() {
  if (Control("Cmd_Save").enabled) return SetFocus("Cmd_Save");
  ShowStatusNote(DisabledReason("Cmd_Save"));
}

// Goods kept by amount only take a retail total and no quantity (the line stores none); other goods
// the other way round.
void FrmStoreAdjuctBill::SetRetailTotalEditable(bool editable) {
  SetLocked("TxtLsze", !editable);
  SetLocked("TxtSl", editable);
}

}  // namespace storeadjust
