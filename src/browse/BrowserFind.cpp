// The browser's find box and bill-date range, and keeping the list on a bill by its serial when
// its rows are read again.
#include <string_view>

#include "adodb/Error.h"
#include "adodb/TextCompare.h"
#include "browse/FrmStoreAdjuctBillBrow.h"
#include "host/BusyPointer.h"
#include "host/ErrorText.h"
#include "host/KeyCodes.h"

namespace storeadjust {

namespace {

// The text without the blanks around it, the ideographic blank of a Chinese input method's
// full-width mode among them: a serial pasted from a document or typed after a Chinese word often
// brings one along, and none belongs to a term.
std::string FindTerm(std::string_view text) {
  constexpr std::string_view kWideBlank = "\u3000";
  for (;;) {
    text = adodb::Trimmed(text);
    if (text.starts_with(kWideBlank)) {
      text.remove_prefix(kWideBlank.size());
    } else if (text.ends_with(kWideBlank)) {
      text.remove_suffix(kWideBlank.size());
    } else {
      return std::string(text);
    }
  }
}

std::optional<adodb::Date> PickedDate(const std::string& text) {
  auto date = adodb::Date::Parse(text);
  if (!date || !date->IsValid()) return std::nullopt;
  return date;
}

}  // namespace

bool FrmStoreAdjuctBillBrow::IsFindControl(const std::string& control) const {
  return control == kFind || control == kDateFrom || control == kDateTo;
}

// Enter finds; Esc clears what narrows the list, and in an empty find box gives the keys back to
// the list (it never closes the browser from there). Other keys edit the field.
bool FrmStoreAdjuctBillBrow::FindKeyDown(int keyCode) {
  if (keyCode == key::kReturn) {
    ApplyFind();
    return true;
  }
  if (keyCode != key::kEscape) return false;
  const bool narrowed = !Text(kFind).empty() || !Text(kDateFrom).empty() || !Text(kDateTo).empty();
  if (narrowed) {
    ClearFind();
  } else {
    SetFocus(kGrid);
  }
  return true;
}

// A date picked narrows the list at once; the text waits for Enter, so typing stays quick.
void FrmStoreAdjuctBillBrow::ControlChange(const std::string& control) {
  if (control == kDateFrom || control == kDateTo) ApplyFind();
}

void FrmStoreAdjuctBillBrow::ApplyFind() {
  BillListFind find;
  find.text = FindTerm(Text(kFind));
  find.from = PickedDate(Text(kDateFrom));
  find.to = PickedDate(Text(kDateTo));
  ReopenList(find);
}

void FrmStoreAdjuctBillBrow::ClearFind() {
  for (const char* field : {kFind, kDateFrom, kDateTo}) SetText(field, "");
  ReopenList(BillListFind{});
}

// The list read again with the find condition beside the data scope, in the order it was
// sorted, on the bill that was current when it is still listed. Marks stay on the bills still listed.
void FrmStoreAdjuctBillBrow::ReopenList(const BillListFind& find) {
  if (listTemplate_.empty()) return;
  BusyPointer busy(*session_.Ui);
  const std::string current = CurrentSerial();
  const bool sorted = rsMain_ && !rsMain_->SortCriteria().empty() && sortColumn_ >= 1;
  try {
    OpenList(BuildBrowserListQuery(listTemplate_, scopeFilter_, layout_, find));
    listFind_ = find;
    if (sorted) rsMain_->SortByColumn(static_cast<std::size_t>(sortColumn_ - 1), SortDescending());
    grid_.NotifyContents();
    if (rsMain_->RecordCount() > 0) rsMain_->MoveFirst();
    MoveToBill(current);
  } catch (const std::exception& error) {
    ShowInformation(ErrorText(error));
  }
  NotifyChanged();
}

std::string FrmStoreAdjuctBillBrow::CurrentSerial() const {
  try {
    if (rsMain_ && rsMain_->State() == adodb::adStateOpen && !rsMain_->BOF() && !rsMain_->EOF()) {
      return rsMain_->Value("流水号").TextOrEmpty();
    }
  } catch (const std::exception&) {
  }
  return {};
}

// The list read again, on the bill the clerk worked on (in the editor, or the current one of a
// command on the marked bills), or failing that (a new bill that got no line) on `fallback`. A
// bill gone from the list (posted, deleted) leaves the clerk on the bill listed after the one he
// was on, else the one before, as he would go on down a long list; with none of them, the first.
void FrmStoreAdjuctBillBrow::RefreshOnBill(const std::string& worked, const std::string& fallback) {
  std::vector<std::string> nearby;
  try {
    const long here = rsMain_ && rsMain_->State() == adodb::adStateOpen ? rsMain_->AbsolutePosition() : 0;
    const std::size_t column = here >= 1 ? rsMain_->Fields("流水号").Index() : 0;
    for (const long near : {here + 1, here - 1}) {
      if (here < 1 || near < 1 || near > rsMain_->RecordCount()) continue;
      nearby.push_back(rsMain_->RowAt(rsMain_->RowIndexAt(near - 1))[column].TextOrEmpty());
    }
  } catch (const std::exception&) {
  }
  RefreshList();
  for (const std::string& serial : {worked, fallback}) {
    MoveToBill(serial);
    if (!serial.empty() && CurrentSerial() == serial) return;
  }
  for (const std::string& serial : nearby) {
    MoveToBill(serial);
    if (CurrentSerial() == serial) return;
  }
}

// Stays where it is when no listed bill has the serial.
void FrmStoreAdjuctBillBrow::MoveToBill(const std::string& serial) {
  if (serial.empty() || !rsMain_ || rsMain_->State() != adodb::adStateOpen) return;
  try {
    const std::size_t column = rsMain_->Fields("流水号").Index();
    for (long position = 1; position <= rsMain_->RecordCount(); ++position) {
      const adodb::Row row = rsMain_->RowAt(rsMain_->RowIndexAt(position - 1));
      if (row[column].TextOrEmpty() == serial) return rsMain_->SetAbsolutePosition(position);
    }
  } catch (const std::exception&) {
  }
}

}  // namespace storeadjust
