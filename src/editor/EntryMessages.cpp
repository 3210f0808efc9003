// How the entry row speaks to the clerk: its refusals (exclamation, OK) and questions (Yes/No,
// No the default) under "提示:", its notes in the status line, and the numbers it reads from its
// numeric fields.
#include <map>

#include "adodb/Variant.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "host/ErrorText.h"
#include "host/UserInterface.h"
#include "lines/BoundColumns.h"

namespace storeadjust {

namespace {

constexpr const char* kEntryTitle = "提示:";
constexpr const char* kQuantityTooLarge = "超出范围,折合基本单位后整数部分不能超过14位!";
constexpr const char* kMoneyTooLarge = "超出范围,绝对值不能超过922337203685477!";

// The numeric fields by the name their labels give them.
const std::map<std::string, std::string>& NumericFieldNames() {
  static const std::map<std::string, std::string> names{
      {"TxtDj", "单价"}, {"TxtSl", "数量"}, {"TxtJe", "金额"}, {"TxtLsze", "零售总额"}};
  return names;
}

}  // namespace

void FrmStoreAdjuctBill::Refuse(const std::string& text, const std::string& focus) {
  session_.Ui->MsgBox(text, mb::kExclamation, kEntryTitle);
  if (!focus.empty()) SetFocus(focus);
}

bool FrmStoreAdjuctBill::Ask(const std::string& question) {
  return session_.Ui->MsgBox(question, mb::kYesNo + mb::kQuestion + mb::kDefaultButton2, kEntryTitle) == mb::kYes;
}

// A lookup whose dialog, scope component or statement failed says so, rather than leaving the
// clerk at a field that did nothing.
void FrmStoreAdjuctBill::ShowLookupFailure(const std::exception& error) {
  session_.Ui->MsgBox(ErrorText(error), mb::kExclamation, kEntryTitle);
}

// What a lookup found nothing for is said in the status line, where it interrupts nothing: the
// entry row asks no more of the clerk than it did. The note stays until his next key.
void FrmStoreAdjuctBill::ShowStatusNote(const std::string& text) { SetText("StatusBar1", text); }

std::string FrmStoreAdjuctBill::KeyGuide() const {
  std::string guide = kEditorKeyGuide;
  if (IsStartStoreAdjustOK) guide += kTwoStepKeys;
  if (Control("审批").visible) guide += kApprovalKey;
  return guide;
}

void FrmStoreAdjuctBill::RestoreKeyGuide() {
  const std::string guide = KeyGuide();
  if (Text("StatusBar1") != guide) SetText("StatusBar1", guide);
}

// A field that holds no number (letters, two points, nothing at all) is never read as 0: the
// clerk is told, and the focus goes to the field to mend it. So is a number the line's column
// cannot hold (a quantity in the unit typed and in base units, a price or amount as money),
// before a batch or goods place is asked for: the save would end in the database's overflow.
std::optional<double> FrmStoreAdjuctBill::NumberInField(const std::string& field) {
  double value = 0;
  if (!adodb::ParseNumber(Text(field), value)) {
    Refuse(NumericFieldNames().at(field) + "必须是数字!", field);
    return std::nullopt;
  }
  if (field == "TxtSl" ? QuantityFits(value) && QuantityFits(value * entry_.unit.coefficient) : MoneyFits(value)) {
    return value;
  }
  Refuse(NumericFieldNames().at(field) + (field == "TxtSl" ? kQuantityTooLarge : kMoneyTooLarge), field);
  return std::nullopt;
}

// Enter in the quantity works out the amount and retail total from it: a quantity that fits its
// column may still give an amount that money cannot hold, which would first be met at the save.
bool FrmStoreAdjuctBill::AmountsOfQuantityFit(double quantity) {
  double price = 0;
  if (!IsCkdbdDj && !adodb::ParseNumber(Text("TxtDj"), price)) price = 0;
  if (MoneyFits(StoredMoney(price) * quantity) && MoneyFits(RetailTotalOf(quantity))) return true;
  Refuse("数量太大,金额" + std::string(kMoneyTooLarge), "TxtSl");
  return false;
}

}  // namespace storeadjust
