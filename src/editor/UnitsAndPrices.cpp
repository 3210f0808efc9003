// The unit, price, amount and retail-total fields of the entry row: the unit offered for the
// goods, and the keys that compute amounts and move the clerk along price -> quantity -> save,
// or, for goods kept by amount only, price -> amount -> retail total -> save.
#include "editor/FrmStoreAdjuctBill.h"
#include "editor/MeasureUnits.h"
#include "host/DataHelpers.h"
#include "host/KeyCodes.h"
#include "host/LenientValues.h"
#include "host/SqlLiterals.h"

namespace storeadjust {

// The base unit (coefficient 1, no unit code or name) unless another unit was chosen.
void FrmStoreAdjuctBill::LoadDefaultUnit() {
  std::optional<MeasureUnit> unit;
  try {
    unit = ChooseMeasureUnit(session_, Text("TxtHH"));
  } catch (const std::exception& error) {
    ShowLookupFailure(error);
  }
  if (!unit) unit = MeasureUnit{};
  entry_.UnitCoefficient = unit->coefficient;
  entry_.UnitName = unit->name;
  entry_.UnitCode = unit->code;
  SetText("txtJl", unit->code);
  SetText("txtDw", unit->name);
  SetText("txtXs", adodb::FormatNumber(unit->coefficient));
}

void FrmStoreAdjuctBill::txtJlKeyDown(int keyCode) {
  if (keyCode == key::kReturn) {
    LoadDefaultUnit();
    const double cost = NumberOrZero(
        GetFieldValue(session_, "select cbj as dj from yw_kck where hh='" + QuoteSql(Text("TxtHH")) + "'", "dj"));
    SetText("TxtDj", adodb::FormatNumber(entry_.UnitCoefficient * cost));
    SetFocus("TxtSl");
  }
  if (keyCode == key::kUp) SetFocus("TxtHH");
  if (keyCode == key::kDown) SetFocus("TxtSl");
}

// Amount-only goods go on to the amount; other goods get price x quantity and go on to the
// quantity.
void FrmStoreAdjuctBill::TxtDjKeyDown(int keyCode) {
  if (keyCode == key::kReturn || keyCode == key::kDown) {
    if (entry_.IsAmountOnly) return SetFocus("TxtJe");
    const auto price = NumberInField("TxtDj");
    if (!price) return;
    const auto quantity = NumberInField("TxtSl");
    if (!quantity) return;
    SetText("TxtJe", adodb::FormatNumber(*price * *quantity));
    SetFocus("TxtSl");
  }
  if (keyCode == key::kUp) SetFocus("TxtHH");
}

// For goods kept by amount only the amount is what the clerk types, so it is the amount the
// line is stored with, at the price the field shows. The retail total follows as amount over
// price; with no price to divide by it is left for the clerk to type.
void FrmStoreAdjuctBill::TxtJeKeyDown(int keyCode) {
  if (keyCode == key::kUp) SetFocus(entry_.IsAmountOnly ? "TxtDj" : "TxtSl");
  if (keyCode != key::kReturn) return;
  if (Control("TxtLsze").locked) return SetFocus("Cmd_Save");
  const auto amount = NumberInField("TxtJe");
  if (!amount) return;
  const auto price = NumberInField("TxtDj");
  if (!price) return;
  entry_.LinePrice = *price;
  entry_.LineAmount = *amount;
  if (*price != 0) SetText("TxtLsze", adodb::FormatNumber(*amount / *price));
  SetFocus("TxtLsze");
}

void FrmStoreAdjuctBill::TxtLszeKeyDown(int keyCode) {
  if (keyCode == key::kUp) SetFocus("TxtJe");
  if (keyCode == key::kReturn) SetFocus("Cmd_Save");
}

void FrmStoreAdjuctBill::SetRetailTotalEditable(bool editable) { SetLocked("TxtLsze", !editable); }

}  // namespace storeadjust
