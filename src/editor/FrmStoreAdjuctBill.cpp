// The editor's life (new bill, close), its keys, the moves of focus and the two timers.
#include "editor/FrmStoreAdjuctBill.h"

#include <algorithm>
#include <utility>

#include "adodb/Error.h"
#include "editor/EditorToolbar.h"
#include "host/ErrorText.h"
#include "host/KeyCodes.h"
#include "host/Rights.h"
#include "host/UserInterface.h"
#include "lines/HeadersWithoutLines.h"

namespace storeadjust {

namespace {

constexpr int kDigitOne = '1';
constexpr const char* kEditorCaption = "仓库调拨单";

}  // namespace

FrmStoreAdjuctBill::FrmStoreAdjuctBill(Session& session, EditorRequest request)
    : FormModel("FrmStoreAdjuctBill"), session_(session), request_(std::move(request)) {
  Caption = kEditorCaption;
  DeclareControls();
}

// The title carries the serial too, so each window on the task bar names its bill, and says
// when the bill is only viewed: its keys that change it are refused only when pressed.
void FrmStoreAdjuctBill::ShowSerial(const std::string& lsh) {
  const std::string caption = std::string(kEditorCaption) + (IsViewOnly() ? "（查看）" : "");
  Caption = lsh.empty() ? caption : caption + " - " + lsh;
  SetText("TxtLSH", lsh);
}

GridModel* FrmStoreAdjuctBill::Grid(const std::string& name) {
  if (name == "VfgContent") return &vfgContent_;
  if (name == "VfgSpxx") return &vfgSpxx_;
  return nullptr;
}

// --- a new bill ------------------------------------------------------------------------------

bool FrmStoreAdjuctBill::AddNew() {
  try {
    if (!HoldsModuleRight(session_, "新增")) return false;
    newBill_ = true;
    GetNewLSH();
    ShowSerial(lsh_);
    ClearHeaderForNewBill();
    FillLinesGrid(lsh_);
    ClearGoodsPanel();
    SetText("DTPKdrq", adodb::Date{session_.SysDate.year, session_.SysDate.month, session_.SysDate.day}.ToText());
    ClearEntryRow();
    HeaderShownAsStored();
    EnableTimer(Timer::Tmr2);
    return true;
  } catch (const std::exception& error) {
    session_.Ui->MsgBox(ErrorText(error) + "\n获取流水号错误,请与管理员联系！", mb::kCritical, "错误:");
    return false;
  }
}

void FrmStoreAdjuctBill::ClearHeaderForNewBill() {
  SetText("TxtCzryName", session_.OptName);
  for (const char* field : {"TxtSh", "TxtBcCkID", "txtBcCkName", "txtBrCKid", "txtBrCkName", "TxtBZ"}) SetText(field, "");
}

// A new bill has no goods yet: the panel must not go on showing the previous bill's goods and
// totals, which a clerk would read as belonging to the new one.
void FrmStoreAdjuctBill::ClearGoodsPanel() {
  panelGoods_.clear();  // nor come back when a warehouse entered refreshes the panel
  vfgSpxx_.Clear();
  vfgSpxx_.NotifyContents();
}

// The row starts over: no goods, the base unit, no batch, no places, no stored line amended.
void FrmStoreAdjuctBill::ClearEntryRow() {
  entry_ = EntryRow{};
  for (const char* field : {"TxtHH", "TxtDj", "TxtSl", "TxtLsze", "TxtJe"}) SetText(field, "");
  ShowUnit();
  ShowBatch();
  EntryRowShownAsStored();
}

// --- closing -----------------------------------------------------------------------------------

// Headers whose bill never got a line are removed, of any operator; the close goes on whatever
// the database answers.
void FrmStoreAdjuctBill::FormUnload() {
  try {
    RemoveHeadersWithoutLines(session_,
                              "From Ckdbdzk A Left Join CkdbdzkMx B On A.Lsh=B.Lsh Where IsNull(A.Shbz,0)=0 And B.Lsh Is Null");
  } catch (const std::exception&) {
  }
  timers_.clear();
  pendingTimers_ = 0;
}

// --- timers: deferred focus moves once the window is shown ------------------------------------

void FrmStoreAdjuctBill::EnableTimer(Timer timer) {
  if (std::find(timers_.begin(), timers_.end(), timer) == timers_.end()) timers_.push_back(timer);
  pendingTimers_ = static_cast<int>(timers_.size());
}

void FrmStoreAdjuctBill::FireTimers() {
  std::vector<Timer> due;
  due.swap(timers_);
  pendingTimers_ = 0;
  for (Timer timer : due) {
    if (!IsOpen()) return;
    SetFocus(timer == Timer::Tmr ? "TxtHH" : "TxtBcCkID");
  }
}

// --- keys ----------------------------------------------------------------------------------------

// The form sees every key first; a key it acts on goes no further, so F3 in the lines grid
// amends once. Delete is not among them: in a text field it edits the text, and only in the
// lines grid does it delete a line (a clerk mending the remark must not be offered a line).
// Every key, also those the form takes itself (F3 loading a line), ends a note in the status line.
void FrmStoreAdjuctBill::FormKeyDown(int& keyCode, int shift) {
  (void)shift;
  RestoreKeyGuide();
  switch (keyCode) {
    case key::kF1 + 1: keyCode = 0; return Cmd_Add_Click();
    case key::kF1 + 2: keyCode = 0; return Cmd_Amend_Click();
    case key::kF1 + 3: keyCode = 0; return Toolbar1_ButtonClick("审核");
    case key::kF1 + 4: keyCode = 0; return RunShownToolbarButton("审批");
    case key::kF1 + 5: keyCode = 0; return Toolbar1_ButtonClick(kEditorToolbar[kF6ToolbarIndex - 1].key);
    case key::kF1 + 7: keyCode = 0; return Cmd_SaveReckoning_Click();
    case key::kF1 + 8: keyCode = 0; return Cmd_Print_Click();
    case key::kF1 + 9: keyCode = 0; return Toolbar1_ButtonClick("重打");
    case key::kF1 + 10: keyCode = 0; return RunShownToolbarButton("确认");
    case key::kF1 + 11: keyCode = 0; return RunShownToolbarButton("反确认");
    case key::kEscape: keyCode = 0; return Close();
    case key::kPageUp: keyCode = 0; return;
    default: return;
  }
}

// Confirmation and its reversal exist in two-step mode only, approval submission in the EP
// edition only: elsewhere their keys, like their hidden buttons, do nothing.
void FrmStoreAdjuctBill::RunShownToolbarButton(const std::string& key) {
  if (Control(key).visible) Toolbar1_ButtonClick(key);
}

void FrmStoreAdjuctBill::ControlKeyDown(const std::string& control, int& keyCode, int shift) {
  (void)shift;
  if (control == "TxtBcCkID") return TxtBcCkIDKeyDown(keyCode);
  if (control == "txtBrCKid") return txtBrCKidKeyDown(keyCode);
  if (control == "TxtBZ") return TxtBZKeyDown(keyCode);
  // Enter goes on from the date as from every other header field, to the warehouses below it.
  if (control == "DTPKdrq" && keyCode == key::kReturn) return SetFocus("TxtBcCkID");
  if (control == "TxtHH") return TxtHHKeyDown(keyCode);
  if (control == "txtJl") return txtJlKeyDown(keyCode);
  if (control == "TxtDj") return TxtDjKeyDown(keyCode);
  if (control == "TxtSl") return TxtSlKeyDown(keyCode);
  if (control == "TxtJe") return TxtJeKeyDown(keyCode);
  if (control == "TxtLsze") return TxtLszeKeyDown(keyCode);
  if (control == "Cmd_Add" && keyCode == kDigitOne) return Cmd_Add_Click();
  if (control == "VfgContent" && keyCode == key::kF1 + 2) return Cmd_Amend_Click();
  if (control == "VfgContent" && keyCode == key::kDelete) return Cmd_Delete_Click();
  // A focused button takes Enter as a click, so the entry row ends on 保 存 from the keyboard.
  if (keyCode == key::kReturn && Control(control).kind == ControlKind::Button) return Click(control);
}

void FrmStoreAdjuctBill::TxtBZKeyDown(int keyCode) {
  if (keyCode == key::kReturn) SetFocus("TxtHH");
  if (keyCode == key::kUp) SetFocus("txtBrCKid");
}

// --- focus ---------------------------------------------------------------------------------------

// Every field the clerk types in is selected whole when it takes the focus, so what he types
// replaces the value shown ("0" and then 50 gives 50, not 050), as the remark, the goods and the
// unit always did.
void FrmStoreAdjuctBill::ControlGotFocus(const std::string& control) {
  if (!HasControl(control)) return;
  const ControlState& state = Control(control);
  const bool typedIn = state.kind == ControlKind::TextBox || state.kind == ControlKind::NumericEdit;
  if (typedIn && !state.locked) subTxtGotFocus(control);
  if (control == "TxtDj" || control == "TxtSl") figureAtFocus_ = state.text;
}

void FrmStoreAdjuctBill::subTxtGotFocus(const std::string& textBox) {
  if (OnSelectAll) OnSelectAll(textBox);
}

// --- the lines grid ------------------------------------------------------------------------------

void FrmStoreAdjuctBill::SelectRow(const std::string& grid, long row) {
  const long previous = grid == "VfgContent" ? vfgContent_.Row : 0;
  FormModel::SelectRow(grid, row);
  if (grid == "VfgContent") LinesRowChanged(previous);
}

// A grid of one line shows its goods on every click; otherwise a move to another row does, and a
// click on the current row when the panel shows other goods (the bill opens on its first row with
// the last line's goods shown), so the highlighted line and the panel never disagree after a click.
void FrmStoreAdjuctBill::LinesRowChanged(long previousRow) {
  const long row = vfgContent_.Row;
  if (row < 1 || vfgContent_.Cols() <= 2) return;
  const std::string hh = vfgContent_.TextMatrix(row, 2);
  if (vfgContent_.Rows() != 2 && row == previousRow && hh == panelGoods_) return;
  std::string lsh = Text("TxtLSH");
  ShowGoodsInfo(lsh, hh);
}

}  // namespace storeadjust
