#include "browse/FrmStoreAdjuctBillBrow.h"

#include "host/BusyPointer.h"

#include <algorithm>
#include <exception>
#include <functional>

#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "browse/MarkedBillPosting.h"
#include "browse/SerialList.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "host/DataHelpers.h"
#include "host/ErrorText.h"
#include "host/KeyCodes.h"
#include "host/MessageTitles.h"
#include "host/Rights.h"
#include "host/Settings.h"
#include "lines/BillDeletion.h"
#include "lines/BillHeaderState.h"
#include "lines/HeadersWithoutLines.h"
#include "lines/StoredBillLines.h"

namespace storeadjust {

namespace {

// A NULL flag (another program's header) is an unaudited header here as in the editor's clean-up
// on closing, the bill deletion and the audit: left, it would stay listed until an editor closes.
constexpr const char* kHeadersWithoutLines =
    "From CKDBDZK A LEFT JOIN ckdbdzkMX B ON A.LSH=B.LSH WHERE B.LSH IS NULL AND IsNull(A.SHBZ,0)=0";

}  // namespace

const std::vector<ToolbarButtonInfo>& FrmStoreAdjuctBillBrow::ToolbarButtons() {
  static const std::vector<ToolbarButtonInfo> buttons = {
      {"新增", "添加新记录"}, {"修改", "修改当前单据"},     {"删除", "删除当前记录"}, {"查看", "查看"},
      {"报表", "报表"},       {"重打", "重打单据"},         {"预览", "单据预览"},     {"打印", "单据打印"},
      {"编码", "财务编码"},   {"选择", "选择需打印的单据"}, {"存量", "库存分布"},     {"审核", "单据审核"},
      {"过账", "单据过账"},   {"记账", "单据记账"},         {"刷新", "刷新记录"},     {"退出", "退出本界面"},
  };
  return buttons;
}

// The toolbar takes no keyboard focus, so every command of it that has no key has its menu item:
// the clerk without a mouse reaches 选择, 过账, 存量 and 编码 through Alt+F and Alt+V.
const std::vector<MenuInfo>& FrmStoreAdjuctBillBrow::Menus() {
  static const std::vector<MenuInfo> menus = {
      {"文件(&F)", {"mnuNew", "mnuInvertMarks", "mnuPostOneByOne", "-", "mnuExit"}},
      {"查看(&V)", {"mnuBrowInput", "mnuReport", "mnuPrint", "mnuCd", "-", "mnuStock", "mnuFinanceCode"}},
      {"帮助(&H)", {"mnuAbout"}},
  };
  return menus;
}

FrmStoreAdjuctBillBrow::FrmStoreAdjuctBillBrow(Session& session)
    : FormModel("FrmStoreAdjuctBillBrow"), session_(session) {
  Caption = "仓库调拨单--浏览";
  DeclareControls();
  grid_.WhenMarked([this](const std::string& lsh) { ReadMarkedBillLines(lsh); });
}

void FrmStoreAdjuctBillBrow::DeclareControls() {
  for (const auto& button : ToolbarButtons()) {
    AddControl(button.key, ControlKind::ToolbarButton, button.key);
    MutableControl(button.key).toolTip = button.toolTip;
  }
  AddControl(kGrid, ControlKind::Grid);
  AddControl(kStatusPanel, ControlKind::StatusPanel);
  AddControl(kKeyGuidePanel, ControlKind::StatusPanel);
  SetText(kKeyGuidePanel, kBrowserKeyGuide);
  const std::pair<const char*, const char*> menuItems[] = {
      {"mnuNew", "单据"},       {"mnuExit", "退出"}, {"mnuBrowInput", "报表浏览"}, {"mnuReport", "打印预览"},
      {"mnuPrint", "打印"},     {"mnuCd", "重新打印"}, {"mnuAbout", "关于(&A)..."},
      {"mnuInvertMarks", "选择需打印的单据"}, {"mnuPostOneByOne", "单据过账"}, {"mnuStock", "库存分布"},
      {"mnuFinanceCode", "财务编码"},
  };
  for (const auto& [name, caption] : menuItems) AddControl(name, ControlKind::MenuItem, caption);
  AddControl("LblFind", ControlKind::Label, "查找:");
  AddControl(kFind, ControlKind::TextBox);
  MutableControl(kFind).toolTip = "流水号、仓库编号或名称、备注 (Ctrl+F；回车查找，Esc 清除)";
  AddControl("LblKdrqRange", ControlKind::Label, "开单日期:");
  AddControl(kDateFrom, ControlKind::DatePicker);
  AddControl("LblKdrqTo", ControlKind::Label, "至");
  AddControl(kDateTo, ControlKind::DatePicker);
}

GridModel* FrmStoreAdjuctBillBrow::Grid(const std::string& name) { return name == kGrid ? &grid_ : nullptr; }

// --- load and close --------------------------------------------------------------------------

void FrmStoreAdjuctBillBrow::FormLoad() {
  Caption = "仓库调拨单--浏览";
  try {
    std::string template1;
    std::string template2;
    LoadSession(template1, template2);
    const BoundSql filter = GetDataScopeFilter(session_);
    session_.SysVarRs = OpenRsSeparate(session_, "select * from sys_Var");
    layout_ = IsProfileFlagOn(GetProfileValue(session_, "GL", "StartStoreAdjustOK")) ? BrowserLayout::TwoStep
                                                                                    : BrowserLayout::OneStep;
    listTemplate_ = layout_ == BrowserLayout::TwoStep ? template1 : template2;
    scopeFilter_ = filter;
    ReadRights();
    OpenList(BuildBrowserListQuery(listTemplate_, filter, layout_));
  } catch (const std::exception& error) {
    ShowInformation(ErrorText(error));
  }
  SetFocus(kGrid);
}

void FrmStoreAdjuctBillBrow::LoadSession(std::string& template1, std::string& template2) {
  template1 = CompleteBrowserTemplate(
      GetFieldValue(session_, "Select IsNull(FSQL,'') FSQL From GLSelect Where FDH='仓库调拨浏览1'", "FSQL").TextOrEmpty(),
      session_.OptCode, BrowserLayout::TwoStep);
  template2 = CompleteBrowserTemplate(
      GetFieldValue(session_, "Select IsNull(FSQL,'') FSQL From GLSelect Where FDH='仓库调拨浏览2'", "FSQL").TextOrEmpty(),
      session_.OptCode, BrowserLayout::OneStep);
  session_.ModuleRightGuid =
      GetFieldValue(session_, "select Guid from rightmodel Where OldRightModel='A10402'", "Guid").TextOrEmpty();
  session_.OptGuid =
      GetFieldValue(session_, "Select Guid From Operators Where Code=?", "Guid", {adodb::BoundText(session_.OptCode)})
          .TextOrEmpty();
  session_.DataScopeFlags = GetDataScopeFlags(session_);
}

void FrmStoreAdjuctBillBrow::OpenList(const BoundSql& query) {
  auto rs = std::make_shared<adodb::Recordset>();
  rs->OnMoveComplete = [this](adodb::Recordset&) { FollowListPosition(); };
  rs->Open(query.text, query.values, session_.Conn, adodb::adOpenStatic, adodb::adLockOptimistic);
  rsMain_ = rs;
  grid_.Attach(rs);
  if (rs->RecordCount() > 0) rs->MoveFirst();
  ShowPosition();
  ShowAvailability();
}

void FrmStoreAdjuctBillBrow::FormUnload() {
  if (rsMain_ && rsMain_->State() == adodb::adStateOpen) rsMain_->Close();
  rsMain_.reset();
  grid_.Attach(nullptr);
}

// --- list position and status bar -------------------------------------------------------------

void FrmStoreAdjuctBillBrow::ShowPosition() {
  if (!rsMain_ || rsMain_->State() != adodb::adStateOpen) return;
  const long position = std::max(0L, rsMain_->AbsolutePosition());
  SetText(kStatusPanel,
          "总记录:" + std::to_string(rsMain_->RecordCount()) + ":当前记录: " + std::to_string(position));
}

// The grid's current row is the list's current row, as in a bound grid.
void FrmStoreAdjuctBillBrow::FollowListPosition() {
  const long position = rsMain_ ? rsMain_->AbsolutePosition() : -1;
  if (position >= 1 && position < grid_.Rows()) {
    grid_.Row = position;
    grid_.NotifyCurrent();
  }
  ShowPosition();
  ShowAvailability();
}

void FrmStoreAdjuctBillBrow::SelectRow(const std::string& grid, long row) {
  FormModel::SelectRow(grid, row);
  if (grid == kGrid && row >= 1 && rsMain_ && rsMain_->State() == adodb::adStateOpen) {
    rsMain_->SetAbsolutePosition(row);
  }
}

// --- commands ---------------------------------------------------------------------------------

void FrmStoreAdjuctBillBrow::Click(const std::string& name) {
  static const std::map<std::string, std::function<void(FrmStoreAdjuctBillBrow&)>> commands = {
      {"新增", &FrmStoreAdjuctBillBrow::NewBill},
      {"修改", &FrmStoreAdjuctBillBrow::AmendBill},
      {"mnuNew", &FrmStoreAdjuctBillBrow::AmendBill},
      {"删除", &FrmStoreAdjuctBillBrow::DeleteMarkedBills},
      {"查看", &FrmStoreAdjuctBillBrow::ViewBill},
      {"选择", &FrmStoreAdjuctBillBrow::InvertMarks},
      {"mnuInvertMarks", &FrmStoreAdjuctBillBrow::InvertMarks},
      {"记账", &FrmStoreAdjuctBillBrow::PostBills},
      {"审核", &FrmStoreAdjuctBillBrow::AuditMarkedBills},
      {"过账", &FrmStoreAdjuctBillBrow::PostMarkedBillsOneByOne},
      {"mnuPostOneByOne", &FrmStoreAdjuctBillBrow::PostMarkedBillsOneByOne},
      // The clerk refreshes to see what others did, not to lose his place in a long list; a bill
      // gone meanwhile leaves him at the top, as before.
      {"刷新",
       [](FrmStoreAdjuctBillBrow& form) {
         const std::string current = form.CurrentSerial();
         form.RefreshList();
         form.MoveToBill(current);
       }},
      {"打印", &FrmStoreAdjuctBillBrow::PrintMarkedBills},
      {"mnuPrint", &FrmStoreAdjuctBillBrow::PrintMarkedBills},
      {"预览", &FrmStoreAdjuctBillBrow::PreviewMarkedBills},
      {"mnuReport", &FrmStoreAdjuctBillBrow::PreviewMarkedBills},
      {"重打", &FrmStoreAdjuctBillBrow::ReprintBills},
      {"mnuCd", &FrmStoreAdjuctBillBrow::ReprintBills},
      {"报表", &FrmStoreAdjuctBillBrow::BrowseReport},
      {"mnuBrowInput", &FrmStoreAdjuctBillBrow::BrowseReport},
      {"存量", &FrmStoreAdjuctBillBrow::ShowStockDistribution},
      {"mnuStock", &FrmStoreAdjuctBillBrow::ShowStockDistribution},
      {"编码", &FrmStoreAdjuctBillBrow::ExplainFinanceCode},
      {"mnuFinanceCode", &FrmStoreAdjuctBillBrow::ExplainFinanceCode},
      {"mnuAbout", &FrmStoreAdjuctBillBrow::ShowAbout},
      {"退出", [](FrmStoreAdjuctBillBrow& form) { form.Close(); }},
      {"mnuExit", [](FrmStoreAdjuctBillBrow& form) { form.Close(); }},
  };
  Control(name);  // an unknown name is an error
  auto command = commands.find(name);
  if (command != commands.end()) command->second(*this);
  NotifyChanged();
}

bool FrmStoreAdjuctBillBrow::Allowed(const char* right) { return HoldsModuleRight(session_, right); }

void FrmStoreAdjuctBillBrow::NewBill() {
  if (!Allowed("新增")) return;
  const std::string before = CurrentSerial();
  const std::string worked = OpenEditor({EditorRequest::Mode::New, {}});
  RefreshOnBill(worked, before);
}

void FrmStoreAdjuctBillBrow::AmendBill() {
  if (!Allowed("修改")) return;
  OpenEditorForCurrentBill(false);
}

void FrmStoreAdjuctBillBrow::ViewBill() { OpenEditorForCurrentBill(true); }

// Without a current bill (an empty list) the editor opens a new bill, view-only when asked so.
void FrmStoreAdjuctBillBrow::OpenEditorForCurrentBill(bool viewOnly) {
  EditorRequest request;
  request.mode = viewOnly ? EditorRequest::Mode::View : EditorRequest::Mode::Amend;
  try {
    const bool onABill = rsMain_ && rsMain_->State() == adodb::adStateOpen && rsMain_->RecordCount() > 0 &&
                         !rsMain_->BOF() && !rsMain_->EOF();
    if (onABill) request.lsh = rsMain_->Value("流水号").TextOrEmpty();
  } catch (const std::exception& error) {
    ShowInformation(ErrorText(error));
    return;
  }
  if (!request.lsh.empty() && RefuseDeletedBill(request.lsh)) return;
  const std::string worked = OpenEditor(request);
  RefreshOnBill(worked, request.lsh);
}

// A bill another clerk deleted since the list was read would open on nothing, with the load's
// error, and a line saved there would make the bill again: the clerk is told, and the list is
// read again. A header that cannot be read leaves the opening as it was.
bool FrmStoreAdjuctBillBrow::RefuseDeletedBill(const std::string& lsh) {
  bool exists = true;
  try {
    if (session_.Conn) exists = ReadBillHeader(*session_.Conn, lsh, false).exists;
  } catch (const std::exception&) {
  }
  if (exists) return false;
  ShowInformation("流水号为[" + lsh + "]的单据已被其他操作员删除!");
  RefreshOnBill(lsh, lsh);
  return true;
}

std::string FrmStoreAdjuctBillBrow::OpenEditor(const EditorRequest& request) {
  FrmStoreAdjuctBill editor(session_, request);
  ShowModal(*session_.Ui, editor);
  const std::string worked = editor.CurrentSerial();
  // The clerk has seen there the lines of a bill he had marked, and may have changed them himself:
  // his mark stands for them as the editor last listed them, not for a change another clerk made
  // after that.
  for (const std::string& lsh : {request.lsh, worked}) {
    const std::vector<BillLineValues>* seen = editor.LinesLastListed(lsh);
    if (seen && grid_.MarkedBills().contains(lsh)) markedLines_[lsh] = *seen;
  }
  return worked;
}

std::vector<long> FrmStoreAdjuctBillBrow::MarkedRows() const {
  std::vector<long> rows;
  for (long row = 1; row < grid_.Rows(); ++row) {
    if (grid_.IsMarked(row)) rows.push_back(row);
  }
  return rows;
}

// An audited bill is not deleted; rather than pass over it in silence, the serials left are named
// once the loop is done, over the list read again, and so are those another clerk deleted first.
// A Yes with no bill marked is told so, and the list is refreshed as always. A deletion that
// fails shows its error and ends the command there: the rows after it are not processed and stay
// marked. The bills before it have gone, or been kept, for good: the list is read again and those
// kept are named all the same, or the clerk, whose marks on them are cleared, could not tell them
// from the bills deleted.
void FrmStoreAdjuctBillBrow::DeleteMarkedBills() {
  if (!Allowed("删除")) return;
  if (session_.Ui->MsgBox("您确定要删除吗？[Y/N]", mb::kYesNo + mb::kQuestion + mb::kDefaultButton2, "提示:") !=
      mb::kYes) {
    return;
  }
  const std::string current = CurrentSerial();
  if (MarkedRows().empty()) TellNothingMarked("删除");
  KeptBills kept;
  try {
    DeleteMarkedRows(kept);
  } catch (const std::exception& error) {
    session_.Ui->MsgBox(ErrorText(error), mb::kExclamation, kSystemTitle);
  }
  grid_.NotifyContents();
  RefreshOnBill(current, "");
  if (kept.noRight) ShowNoRightMsg(session_);
  if (!kept.audited.empty()) {
    session_.Ui->MsgBox("流水号为:" + NamedSerials(kept.audited) + "\n此单据已审核，不能删除！", mb::kExclamation, kSystemTitle);
  }
  if (!kept.heldByApproval.empty()) {
    session_.Ui->MsgBox("流水号为:" + NamedSerials(kept.heldByApproval) + "\n单据已经审批，不能删除！", mb::kInformation,
                        kSystemTitle);
  }
  // Gone from the list as the clerk meant, but not by his hand: he is told, as on opening such a bill.
  if (!kept.linesChanged.empty()) {
    ShowInformation("流水号为:" + NamedSerials(kept.linesChanged) +
                    "\n此单据的明细在选定后已被他人修改，没有删除，请查看后重新选定！");
  }
  if (!kept.gone.empty()) {
    ShowInformation("流水号为:" + NamedSerials(kept.gone) + "的单据已被其他操作员删除!");
  }
}

void FrmStoreAdjuctBillBrow::DeleteMarkedRows(KeptBills& kept) {
  std::vector<std::string> handled;  // a bill listed on several rows is deleted, or named, once
  for (long row : MarkedRows()) {
    const std::string serial = grid_.TextMatrix(row, 1);
    if (std::find(handled.begin(), handled.end(), serial) != handled.end()) {
      grid_.SetMarked(row, false);
      continue;
    }
    handled.push_back(serial);
    const auto shown = markedLines_.find(serial);
    const BillDeletionResult result = DeleteBill(session_, serial, shown == markedLines_.end() ? nullptr : &shown->second);
    if (result == BillDeletionResult::NoRight) {
      kept.noRight = true;
      return;
    }
    grid_.SetMarked(row, false);
    if (result == BillDeletionResult::Audited) kept.audited.push_back(serial);
    if (result == BillDeletionResult::HeldByApproval) kept.heldByApproval.push_back(serial);
    if (result == BillDeletionResult::NotFound) kept.gone.push_back(serial);
    if (result == BillDeletionResult::LinesChanged) kept.linesChanged.push_back(serial);
  }
}

// The list shows no lines, but the clerk marks a bill as he knows it (he has opened it, or another
// clerk has left it alone since the list was read): a bill another clerk is still adding lines to
// is not his to throw away with them. The lines stay as they were at the mark when the list is
// read again, which shows no lines either: a change another clerk made after the mark would
// otherwise be taken as seen. A read that fails leaves the deletion uncompared, as before.
void FrmStoreAdjuctBillBrow::ReadMarkedBillLines(const std::string& lsh) {
  markedLines_.erase(lsh);
  try {
    if (session_.Conn) markedLines_[lsh] = BillLinesAsListed(*session_.Conn, lsh);
  } catch (const std::exception&) {
  }
}

// Marks given back stand for the lines they were set on, kept since: read again now, they would
// take as seen a change another clerk made since.
void FrmStoreAdjuctBillBrow::RestoreMarks(const std::vector<long>& rows) {
  for (long row : rows) grid_.SetMarked(row, true, false);
  grid_.NotifyContents();
}

void FrmStoreAdjuctBillBrow::InvertMarks() {
  BusyPointer busy(*session_.Ui);
  grid_.InvertMarks();
  grid_.NotifyContents();
}

// The marked bills are posted together: a failure posts none of them, and leaves them marked for
// the clerk to post again, as they were before he asked.
void FrmStoreAdjuctBillBrow::PostBills() {
  if (!Allowed("记帐")) return;
  if (!AskMarkedBillsQuestion("你确实要将所选单据记账吗?")) return;
  const std::string current = CurrentSerial();
  const std::vector<long> marked = MarkedRows();
  const std::vector<std::string> serials = TakeMarkedSerials();
  if (serials.empty()) return TellNothingMarked("记账");
  BillsNotPosted notPosted;
  try {
    notPosted = PostMarkedBills(session_, serials, layout_ == BrowserLayout::TwoStep, &markedLines_);
  } catch (const std::exception& error) {
    RestoreMarks(marked);
    ShowInformation(ErrorText(error));
    return;
  }
  if (notPosted.noRight) {
    RestoreMarks(marked);
    return ShowNoRightMsg(session_);
  }
  RefreshOnBill(current, "");
  if (!notPosted.empty()) session_.Ui->MsgBox(NotPostedMessage(notPosted), mb::kInformation, kSystemTitle);
}

void FrmStoreAdjuctBillBrow::RefreshList() {
  BusyPointer busy(*session_.Ui);
  try {
    RemoveHeadersWithoutLines(session_, kHeadersWithoutLines);
    if (!rsMain_) throw adodb::Error::Closed();
    rsMain_->Requery();
    grid_.Reload();
    if (rsMain_->RecordCount() > 0) rsMain_->MoveFirst();
    ShowPosition();
    ShowAvailability();
  } catch (const std::exception& error) {
    ShowInformation(ErrorText(error));
  }
}

// A column never sorted, or last sorted ascending, is sorted descending; one last sorted
// descending is sorted ascending.
void FrmStoreAdjuctBillBrow::SortByColumn(long col) {
  const SortDirection last = sortDirections_.count(col) ? sortDirections_[col] : SortDirection::None;
  SortColumnBy(col, last == SortDirection::Descending ? SortDirection::Ascending : SortDirection::Descending);
}

// A header clicked with the left button sorts as a clerk expects of any list: ascending first.
void FrmStoreAdjuctBillBrow::SortByHeaderClick(long col) {
  const SortDirection last = sortDirections_.count(col) ? sortDirections_[col] : SortDirection::None;
  SortColumnBy(col, last == SortDirection::Ascending ? SortDirection::Descending : SortDirection::Ascending);
  NotifyChanged();
}

void FrmStoreAdjuctBillBrow::SortByKey(long col, bool ascending) {
  SortColumnBy(std::max(col, 1L), ascending ? SortDirection::Ascending : SortDirection::Descending);
  NotifyChanged();
}

bool FrmStoreAdjuctBillBrow::SortDescending() const {
  const auto found = sortDirections_.find(sortColumn_);
  return found != sortDirections_.end() && found->second == SortDirection::Descending;
}

// The record set sorts its own rows: nothing is read again.
void FrmStoreAdjuctBillBrow::SortColumnBy(long col, SortDirection next) {
  if (!rsMain_ || rsMain_->State() != adodb::adStateOpen || col < 1 || col >= grid_.Cols()) return;
  try {
    rsMain_->SortByColumn(static_cast<std::size_t>(col - 1), next == SortDirection::Descending);
    sortDirections_[col] = next;
    sortColumn_ = col;
    grid_.NotifyContents();
    FollowListPosition();
  } catch (const std::exception& error) {
    session_.Ui->MsgBox(ErrorText(error), mb::kCritical, kSystemTitle);
  }
}

// --- mouse and keys -------------------------------------------------------------------------

void FrmStoreAdjuctBillBrow::RightClick(const std::string& grid, long row, long col) {
  if (grid == kGrid && row == 0) SortByColumn(col);
  NotifyChanged();
}

// Double-clicking a bill's row opens it for amending, as activating the row did.
void FrmStoreAdjuctBillBrow::DoubleClick(const std::string& grid, long row, long col) {
  (void)col;
  if (grid != kGrid || row < 1 || row >= grid_.Rows()) return;
  SelectRow(grid, row);
  AmendBill();
  NotifyChanged();
}

void FrmStoreAdjuctBillBrow::FormKeyDown(int& keyCode, int shift) {
  if (keyCode == 'F' && (shift & key::kCtrlMask) != 0) {
    keyCode = 0;
    SetFocus(kFind);
    return;
  }
  // In the find fields Enter finds, Esc clears and the other keys edit: the list's keys wait. The
  // function keys edit nothing, so their commands run from there as from the list: the clerk who
  // found a bill opens it with F3 at once, as the status bar promises.
  if (IsFindControl(KeyControl())) {
    if (FindKeyDown(keyCode)) {
      keyCode = 0;
    } else if (const char* command = keyCode != key::kDelete ? CommandOfKey(keyCode) : nullptr) {
      keyCode = 0;
      Click(command);
    }
    return;
  }
  switch (keyCode) {
    case key::kEscape:
      keyCode = 0;
      Close();
      break;
    case key::kReturn:
      keyCode = 0;
      NewBill();
      break;
    case key::kSpace:
      keyCode = 0;
      ToggleMarkOnCurrentRow();
      break;
    default:
      if (const char* command = CommandOfKey(keyCode)) {
        keyCode = 0;
        Click(command);
      }
      break;
  }
}

// The toolbar takes no keyboard focus, so these keys are the clerk's way to its commands without
// the mouse; they are the editor's keys for the same commands. Each runs as the click does, with
// its own right and state checks.
const char* FrmStoreAdjuctBillBrow::CommandOfKey(int keyCode) {
  switch (keyCode) {
    case key::kF1 + 1: return "新增";
    case key::kF1 + 2: return "修改";
    case key::kF1 + 3: return "审核";
    case key::kF1 + 4: return "刷新";
    case key::kF1 + 6: return "查看";
    case key::kF1 + 7: return "记账";
    case key::kF1 + 8: return "打印";
    case key::kF1 + 9: return "重打";
    case key::kDelete: return "删除";
    default: return nullptr;
  }
}

void FrmStoreAdjuctBillBrow::ToggleMarkOnCurrentRow() {
  if (grid_.Row < 1 || grid_.Row >= grid_.Rows()) return;
  grid_.SetMarked(grid_.Row, !grid_.IsMarked(grid_.Row));
}

void FrmStoreAdjuctBillBrow::ShowInformation(const std::string& text) {
  session_.Ui->MsgBox(text, mb::kInformation, kSystemTitle);
}

}  // namespace storeadjust
