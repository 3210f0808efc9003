// What the clerk typed and has not stored: a stored bill's header fields typed over, and a line
// entered as far as its quantity (or a stored line amended), each compared with what the editor
// itself last put there (a bill loaded or started, a line loaded or saved). A command that would
// throw it away asks first, before it does anything; No leaves the screen as it was, typed text
// included. Goods only looked up, or a new bill's warehouses and date, are the start of work,
// given up without a word as before; so is whatever the clerk could not have saved anyway (a bill
// viewed or past entry, a new bill without the right to add one).
#include <algorithm>

#include "editor/FrmStoreAdjuctBill.h"

namespace storeadjust {

namespace {

struct HeaderField {
  const char* name;
  const char* label;
  const char* shownWith;  // the name box filled from the id, kept along with it
};

constexpr HeaderField kHeaderFields[] = {{"DTPKdrq", "开单日期", nullptr},
                                         {"TxtBcCkID", "拨出仓库", "txtBcCkName"},
                                         {"txtBrCKid", "拨入仓库", "txtBrCkName"},
                                         {"TxtBZ", "备注", nullptr}};

constexpr const char* kEntryFields[] = {"TxtHH", "txtJl", "TxtDj", "TxtSl", "TxtJe", "TxtLsze"};

}  // namespace

void FrmStoreAdjuctBill::HeaderShownAsStored() {
  for (const HeaderField& field : kHeaderFields) {
    shownAsStored_[field.name] = Text(field.name);
    if (field.shownWith) shownAsStored_[field.shownWith] = Text(field.shownWith);
  }
  shownAsStored_["TxtCzryName"] = Text("TxtCzryName");  // not typed, but the save compares it
}

HeaderFields FrmStoreAdjuctBill::HeaderAsLoaded() const {
  const auto shown = [this](const char* field) {
    const auto found = shownAsStored_.find(field);
    return found == shownAsStored_.end() ? std::string() : found->second;
  };
  return {shown("DTPKdrq"), shown("TxtBZ"), shown("TxtCzryName")};
}

void FrmStoreAdjuctBill::EntryRowShownAsStored() {
  for (const char* field : kEntryFields) shownAsStored_[field] = Text(field);
}

bool FrmStoreAdjuctBill::TypedOver(const std::string& field) const {
  const auto shown = shownAsStored_.find(field);
  return shown == shownAsStored_.end() ? !Text(field).empty() : shown->second != Text(field);
}

bool FrmStoreAdjuctBill::EntryRowTypedIn() const {
  return std::any_of(std::begin(kEntryFields), std::end(kEntryFields), [this](const char* f) { return TypedOver(f); });
}

// Goods taken and a quantity given (typed, or confirmed by the quantity step), or a stored line
// typed over: a line, not a look at some goods.
bool FrmStoreAdjuctBill::LineEntered() const {
  if (!EntryRowTypedIn() || !entry_.HasGoods()) return false;
  const bool quantityGiven = entry_.batch || entry_.stockJudged || entry_.quantity != 0;
  return quantityGiven || entry_.IsAmendment();
}

bool FrmStoreAdjuctBill::CouldBeSaved() const {
  return Control("Cmd_Save").enabled && (!newBill_ || rights_.Holds("新增"));
}

// The header fields typed over, with the name each warehouse id brought along.
std::vector<std::pair<std::string, std::string>> FrmStoreAdjuctBill::TypedHeaderFields() const {
  std::vector<std::pair<std::string, std::string>> typed;
  for (const HeaderField& field : kHeaderFields) {
    if (!TypedOver(field.name)) continue;
    typed.emplace_back(field.name, Text(field.name));
    if (field.shownWith) typed.emplace_back(field.shownWith, Text(field.shownWith));
  }
  return typed;
}

// Named as the clerk knows it: the header fields by their labels, the line by its goods.
std::string FrmStoreAdjuctBill::UnsavedInput(bool withHeader) const {
  if (!CouldBeSaved()) return {};
  std::string header;
  for (const HeaderField& field : kHeaderFields) {
    // A new bill's header is stored with its first line. Its warehouses and date are picked again
    // in moments; a remark is the clerk's own words, and goes only on his word.
    const bool kept = !newBill_ || std::string(field.name) == "TxtBZ";
    if (withHeader && kept && TypedOver(field.name)) header += (header.empty() ? "" : "、") + std::string(field.label);
  }
  std::string what = header.empty() ? "" : "表头的" + header;
  if (LineEntered()) {
    const std::string hh = Text("TxtHH");
    what += (what.empty() ? "" : "和") + std::string("正在录入的明细") + (hh.empty() ? "" : "(货号 " + hh + ")");
  }
  return what;
}

bool FrmStoreAdjuctBill::MayDropUnsavedInput(const std::string& command, bool withHeader) {
  const std::string what = UnsavedInput(withHeader);
  return what.empty() || Ask(what + "还没有保存," + command + "将丢失这些输入,是否继续？");
}

// Given up on the clerk's word: the fields show the bill as stored again, and nothing asks twice.
void FrmStoreAdjuctBill::DropUnsavedInput() {
  for (const HeaderField& field : kHeaderFields) {
    if (!TypedOver(field.name)) continue;
    SetText(field.name, shownAsStored_[field.name]);
    if (field.shownWith) SetText(field.shownWith, shownAsStored_[field.shownWith]);
  }
  if (LineEntered()) ClearEntryRow();
}

// Esc, 退出, the window's close box.
bool FrmStoreAdjuctBill::QueryUnload() { return MayDropUnsavedInput("退出"); }

}  // namespace storeadjust
