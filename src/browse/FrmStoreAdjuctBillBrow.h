#pragma once
// The bill browser, the module's main window: lists the unposted transfer bills within the
// operator's data scope and is the starting point of every other screen. Loading it completes
// the session (ModuleRightGuid, OptGuid, DataScopeFlags, SysVarRs). From it the user opens the
// editor for a new bill, for amending or for viewing, deletes and posts the marked bills, marks
// rows (Space, 选择) and sorts the list by clicking a column header (left: ascending first, then
// each way in turn; right: descending first). The find box TxtFind (Ctrl+F; Enter applies, Esc
// clears) and the bill-date range DTPKdrqFrom..DTPKdrqTo narrow the list. After the editor closes
// the list shows the bill that was open. Commands the operator's rights or the current bill's
// state rule out are greyed out with the reason (BrowserAvailability.cpp).
//
// Controls: the grid Vs, the status panels StatusBar1Keys (the key guide) and StatusBar1 (record
// count and position), one toolbar button per key (the key is its caption: 新增, 修改 ...; F2,
// F3, F7, F4, Del, F5, F8 and F9 run the commands the guide names) and the menu items mnuNew,
// mnuExit, mnuBrowInput, mnuReport, mnuPrint, mnuCd, mnuAbout, and mnuInvertMarks,
// mnuPostOneByOne, mnuStock, mnuFinanceCode for the toolbar's commands without a key. Click
// takes any of these names.
//
// Failures of load, refresh and post are shown with the information icon (64, "系统提示") and
// end the command where it failed; a failed deletion uses the exclamation mark (48), a failed
// sort the critical icon (16).
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "adodb/Recordset.h"
#include "browse/BillListGrid.h"
#include "browse/BillListQuery.h"
#include "editor/EditorRequest.h"
#include "browse/BillListFind.h"
#include "host/FormModel.h"
#include "host/HeldRights.h"
#include "host/Session.h"
#include "states/StateChange.h"

namespace storeadjust {

struct ToolbarButtonInfo {
  const char* key;  // also the caption and the control's name
  const char* toolTip;
};

struct MenuInfo {
  const char* caption;
  std::vector<const char*> items;  // control names; "-" is a separator
};

class FrmStoreAdjuctBillBrow : public FormModel {
 public:
  static constexpr const char* kGrid = "Vs";
  static constexpr const char* kStatusPanel = "StatusBar1";
  // The status bar's first panel: the keys of the list's commands.
  static constexpr const char* kKeyGuidePanel = "StatusBar1Keys";
  static constexpr const char* kBrowserKeyGuide =
      "Enter/F2 → 新增 | F3 → 修改 | F7 → 查看 | F4 → 审核 | Del → 删除 | 空格 → 选中 | F5 → 刷新 | F8 → 记账 | "
      "F9 → 打印 | F10 → 重打 | Ctrl+F → 查找 | ESC → 退出";
  static constexpr const char* kFind = "TxtFind";
  static constexpr const char* kDateFrom = "DTPKdrqFrom";
  static constexpr const char* kDateTo = "DTPKdrqTo";

  explicit FrmStoreAdjuctBillBrow(Session& session);

  // The toolbar in order, and the menu bar, for views to lay out.
  static const std::vector<ToolbarButtonInfo>& ToolbarButtons();
  static const std::vector<MenuInfo>& Menus();

  GridModel* Grid(const std::string& name) override;
  BillListGrid& ListGrid() { return grid_; }
  // The list record set (null before load and after close).
  const std::shared_ptr<adodb::Recordset>& List() const { return rsMain_; }
  BrowserLayout Layout() const { return layout_; }
  // The session the browser runs in (views name its operator in the title).
  const Session& CurrentSession() const { return session_; }

  void Click(const std::string& name) override;
  void SelectRow(const std::string& grid, long row) override;
  void RightClick(const std::string& grid, long row, long col) override;
  void DoubleClick(const std::string& grid, long row, long col) override;

  // The commands, as the toolbar and menus run them.
  void NewBill();
  void AmendBill();
  void ViewBill();
  void DeleteMarkedBills();
  void InvertMarks();
  void PostBills();
  void AuditMarkedBills();
  void PostMarkedBillsOneByOne();
  void RefreshList();
  void SortByColumn(long col);
  // A left click on the header of grid column col: ascending, then each way in turn.
  void SortByHeaderClick(long col);
  // Ctrl+Up or Ctrl+Down on grid column col (the mark column sorts by the serial beside it).
  void SortByKey(long col, bool ascending);
  // The grid column the list is sorted by (0: the query's order) and its direction.
  long SortColumn() const { return sortColumn_; }
  bool SortDescending() const;
  // BrowserFind.cpp: the list narrowed to what the find box and the date range hold, or all of it.
  void ApplyFind();
  void ClearFind();
  // BrowserPrinting.cpp
  void PrintMarkedBills();
  void PreviewMarkedBills();
  void ReprintBills();
  // BrowserReport.cpp
  void BrowseReport();
  // BrowserInformation.cpp
  void ShowStockDistribution();
  void ExplainFinanceCode();
  void ShowAbout();

 protected:
  void FormLoad() override;
  void FormUnload() override;
  void FormKeyDown(int& keyCode, int shift) override;
  void ControlChange(const std::string& control) override;

 private:
  enum class SortDirection { None, Ascending, Descending };

  void SortColumnBy(long col, SortDirection direction);
  // BrowserFind.cpp
  bool IsFindControl(const std::string& control) const;
  bool FindKeyDown(int keyCode);
  void ReopenList(const BillListFind& find);
  std::string CurrentSerial() const;
  void MoveToBill(const std::string& serial);
  void RefreshOnBill(const std::string& worked, const std::string& fallback);
  // BrowserAvailability.cpp
  void ReadRights();
  void ShowAvailability();
  std::string AmendReason();

  void DeclareControls();
  void LoadSession(std::string& template1, std::string& template2);
  void OpenList(const BoundSql& query);
  void ShowPosition();
  void FollowListPosition();
  bool Allowed(const char* right);
  void OpenEditorForCurrentBill(bool viewOnly);
  bool RefuseDeletedBill(const std::string& lsh);
  // Returns the serial of the bill the editor held last.
  std::string OpenEditor(const EditorRequest& request);
  void ToggleMarkOnCurrentRow();
  static const char* CommandOfKey(int keyCode);
  std::vector<long> MarkedRows() const;
  // The marked bills that deleting kept, by why.
  struct KeptBills {
    std::vector<std::string> audited, heldByApproval;
    std::vector<std::string> gone;  // deleted by another clerk since they were listed
    std::vector<std::string> linesChanged;  // another clerk added, changed or deleted lines since
    bool noRight = false;  // 删除 was taken away meanwhile: that row and the rows after it stay marked
  };
  // Deletes the bills of the marked rows in grid order, unmarking each one handled; the bills
  // kept are named in `kept`. Throws the first failure, leaving that row marked.
  void DeleteMarkedRows(KeptBills& kept);
  // A marked bill's lines as they stand when it is marked (or as the editor last listed them, when
  // the clerk has been through them there since): what a command on the marked bills may act on.
  void ReadMarkedBillLines(const std::string& lsh);
  void RestoreMarks(const std::vector<long>& rows);
  void ShowInformation(const std::string& text);

  // MarkedBillStates.cpp
  std::vector<std::string> TakeMarkedSerials();
  std::map<std::string, ShownWarehouses> MarkedBillsWarehouses() const;
  bool AskMarkedBillsQuestion(const char* question);
  bool AskForMarkedBills(const std::string& command, const char* question);
  void TellNothingMarked(const std::string& command);
  void ShowRefusedBills(const char* heading, const std::vector<std::string>& refusals);
  std::string ApprovalRefusal(const std::string& lsh);

  Session& session_;
  BillListGrid grid_;
  std::shared_ptr<adodb::Recordset> rsMain_;
  BrowserLayout layout_ = BrowserLayout::OneStep;
  std::map<std::string, std::vector<BillLineValues>> markedLines_;  // by serial, see ReadMarkedBillLines
  std::map<long, SortDirection> sortDirections_;  // by grid column: the direction it was last sorted in
  long sortColumn_ = 0;                           // the grid column sorted by last
  std::string listTemplate_;                      // the list query before "[选择条件]" is filled
  BoundSql scopeFilter_;                          // the data-scope condition
  BillListFind listFind_;                         // what the list is narrowed to by the find row
  HeldRights rights_;
};

}  // namespace storeadjust
