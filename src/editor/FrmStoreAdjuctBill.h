#pragma once
// The bill editor: one transfer bill's header, its entry row, its lines grid and its goods
// information panel. Opened modally by the browser with one request: a new bill, or a stored
// serial to amend or to view only.
//
// The form's methods are spread over files named after what they hold:
//   FrmStoreAdjuctBill.cpp  life (load, new bill, close), keys, focus moves, timers
//   EditorScreen.cpp        the controls and their captions
//   EditorSettings.cpp      the settings and list statements read on load
//   EditorCommands.cpp      clicks on the buttons
//   EditorToolbar.cpp       the toolbar's buttons and its dispatcher
//   NewBillSerial.cpp       GetNewLSH, AddNewLSH
//   BillLoading.cpp         AmendAddNew, FillLinesGrid
//   GoodsInfoPanel.cpp      ShowGoodsInfo, ApplyDecimalPlaces and the places the grids show
//   WarehouseEntry.cpp      Enter in the two warehouse fields
//   GoodsEntry.cpp          the goods field: finding and taking a goods item
//   UnitsAndPrices.cpp      LoadDefaultUnit, the unit, price, amount and retail-total keys
//   QuantityStep.cpp        Enter in the quantity field: stock test, batch choice, price step
//   EntryMessages.cpp       the entry row's refusals, questions and status notes, numbers read from fields
//   EntryFigures.cpp        the entry row's value and the fields that show it
//   LineSave.cpp            保 存: the entry row checked and stored as a line
//   LineCommands.cpp        修改 and 删除 of a stored line
//   UnsavedInput.cpp        what the clerk typed and has not stored, asked about before it is lost
//   GoodsPlaceCommands.cpp  the goods-place dialog and its two buttons
//   StateCommands.cpp       审核, 反审, 确认, 反确认, 记帐 and 审批
//   BillStateShown.cpp      the state stamp, the lines' totals and which commands are greyed out
// Handlers trap their own errors and report them through the session's user interface; nothing
// here throws to the caller of a user action.
#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "adodb/Variant.h"
#include "editor/EditorRequest.h"
#include "host/GridNumberPlaces.h"
#include "host/BoundSql.h"
#include "host/FormModel.h"
#include "host/GridModel.h"
#include "host/HeldRights.h"
#include "host/RecordsetGrid.h"
#include "host/Session.h"
#include "host/UserInterface.h"
#include "lines/BatchChoice.h"
#include "lines/BillHeader.h"
#include "lines/BillHeaderState.h"
#include "lines/EntryRow.h"
#include "lines/LineChanges.h"
#include "lines/LineSaving.h"
#include "states/StateChange.h"

namespace adodb {
class Error;
}

namespace storeadjust {

// The key guide the status bar shows. F6 runs un-audit, and the guide says so: a clerk who reads
// "审核" there would reverse the bill he meant to audit. The toolbar takes no keyboard focus, so
// its commands have keys of their own: F4 audits, F10 reprints, in two-step mode F11 confirms and
// F12 un-confirms (kTwoStepKeys follows the guide then), and in the EP edition F5 submits the
// bill for approval (kApprovalKey). Del deletes a line only in the lines grid (in a box it edits
// the text), and the guide names what it deletes: a clerk reading "删除" alone looks for the bill's.
inline constexpr const char* kEditorKeyGuide =
    "F2 → 新增 | F3 → 修改 | Del → 删除明细 | F4 → 审核 | F6 → 反审 | F8 → 记帐 | F9 → 打印 | F10 → 重打 | ESC → 退出";
inline constexpr const char* kTwoStepKeys = " | F11 → 确认 | F12 → 反确认";
inline constexpr const char* kApprovalKey = " | F5 → 审批";

// Said by Enter in a warehouse field and by the save, both of which keep a bill's warehouses once
// it has lines.
inline constexpr const char* kWarehousesKept = "此单据已有明细，不能更改仓库!";

class FrmStoreAdjuctBill : public FormModel {
 public:
  FrmStoreAdjuctBill(Session& session, EditorRequest request);

  // Opened to view only: every change to the bill's lines is refused.
  bool IsViewOnly() const { return request_.mode == EditorRequest::Mode::View; }
  // The session the editor runs in (views name its operator in the title).
  const Session& CurrentSession() const { return session_; }

  void Click(const std::string& name) override;
  GridModel* Grid(const std::string& name) override;
  void SelectRow(const std::string& grid, long row) override;
  void FireTimers() override;

  // Prepares a new, unsaved bill: a fresh serial, empty header and entry row, an empty grid.
  // False when the operator may not add bills or no serial could be made (said to the clerk).
  bool AddNew();
  // Loads the stored bill whose serial is id into the header, the grid and the goods panel. The
  // grid's current row is line currentDh when given, else the one it was on (Del and F3 act on it).
  void AmendAddNew(std::string& id, const std::string& currentDh = {});
  // Advances the counter the serial came from (after a new bill's first line is stored).
  void AddNewLSH();
  // Deletes line dh of bill lsh after asking, with its goods places; refuses a bill past entry.
  void Delete(const std::string& lsh, const std::string& dh);
  // Selects the whole text of a text box: the view is told through OnSelectAll.
  void subTxtGotFocus(const std::string& textBox);

  // Raised with a text box's name when its whole text is to be selected (views select it).
  std::function<void(const std::string&)> OnSelectAll;

  // --- settings read on load, used by the entry and line work --------------------------------
  std::string OutStockSelectSql;
  std::string InStockSelectSql;
  std::string GoodsSelectSql;
  std::string BatchSelectSql;
  std::string ForbiddenViewBatchPrice = "0";  // "1" hides the amount total of the goods panel
  bool IsBz3 = false;
  bool IsChkZjm = false;
  bool IsStartStoreAdjustOK = false;  // two-step states: audit, then confirm
  bool IsCkdbdDj = false;             // transfers carry no price: the grid shows 0 price and amount
  std::string PhkColumnList;

  // --- the line being entered: filled by the goods, unit and quantity steps and F3 ----------
  const EntryRow& Entry() const { return entry_; }
  // The bill the editor holds (a new bill's prepared serial until its first line is saved).
  const std::string& CurrentSerial() const { return lsh_; }
  // The lines of bill `lsh` as the grid last listed them; none when it never listed them readably.
  const std::vector<BillLineValues>* LinesLastListed(const std::string& lsh) const {
    const auto seen = linesSeen_.find(lsh);
    return seen == linesSeen_.end() ? nullptr : &seen->second;
  }

  // The lines grid's row to bring into view after it was filled: the current row when the grid
  // lists its bill again, the last row when it lists another.
  long LinesGridShownRow() const { return linesShownRow_; }

 protected:
  void FormLoad() override;
  bool QueryUnload() override;
  void FormUnload() override;
  void FormKeyDown(int& keyCode, int shift) override;
  void ControlKeyDown(const std::string& control, int& keyCode, int shift) override;
  void ControlGotFocus(const std::string& control) override;
  void ControlChange(const std::string& control) override;
  void ControlLostFocus(const std::string& control) override;

 private:
  enum class Timer { Tmr, Tmr2 };

  // EditorScreen.cpp
  void DeclareControls();
  void DeclareHeaderControls();
  void DeclareEntryControls();
  void DeclareButtons();

  // EditorSettings.cpp
  std::string LoadListStatement(const std::string& sql, const std::string& defaultSql);
  void LoadListStatements();
  void LoadProfileSettings();
  void ReadSystemVariables();
  void BuildPhkColumnList(std::string& list);

  // FrmStoreAdjuctBill.cpp
  void ShowSerial(const std::string& lsh);
  void ClearGoodsPanel();
  void ClearEntryRow();
  void ClearHeaderForNewBill();
  void EnableTimer(Timer timer);
  void TxtBZKeyDown(int keyCode);
  void LinesRowChanged(long previousRow);

  // WarehouseEntry.cpp
  void TxtBcCkIDKeyDown(int keyCode);
  void txtBrCKidKeyDown(int keyCode);
  void EnterWarehouse(bool outSide);
  void TellWarehousesKept();
  bool BillWarehousesAllowed();

  // GoodsEntry.cpp
  void TxtHHKeyDown(int keyCode);
  bool GoodsFieldsFilled(bool typedPath);
  BoundSql GoodsBaseStatementForEntry();
  void TakeGoods(const std::string& hh);
  void KeepAmendedLineTakenAgain(bool unitChosen);
  bool TakeGoodsFacts(const std::string& hh);
  void SetPriceAndNextField();
  void ShowAmountsAfterLookup();
  bool TakeTypedGoods();

  // EntryFigures.cpp
  void ShowUnit();
  void ShowBatch();
  void ShowFigure(const std::string& field, double value);
  void ShowFigureAsKept(const std::string& field);
  void RemarkOnOneLine();
  void TakeFigureFromField(const std::string& field);
  bool TakeFiguresFromFields();
  void AmountFollowsPriceAndQuantity();
  void ShowEntryRow();
  void VoidEntryRow();
  void GoodsTypedOver();
  const EntryRow* AmendedLineInItsUnit() const;
  const EntryRow* AmendedLineUnchanged(double price, double quantity) const;
  void ShowStoredAmounts(const EntryRow& loaded);  // its amount and retail total
  double UnitPrice(double basePrice) const;
  double RetailTotalOf(double quantity) const;  // of a quantity in the row's unit
  BillHeader HeaderOfBill();
  // Whether the row's line is saved with a batch on this site (its goods not kept by amount only).
  bool CarriesBatch(const EntryRow& row) const;

  // UnitsAndPrices.cpp
  // How the row came by its unit: taken from the goods' unit list, the list closed without a choice,
  // or no list to choose from (a goods with one unit or none).
  enum class UnitTaken { Chosen, Cancelled, NotListed };
  UnitTaken LoadDefaultUnit(bool keepUnitOnCancel = false);
  void txtJlKeyDown(int keyCode);
  void TxtDjKeyDown(int keyCode);
  void TxtJeKeyDown(int keyCode);
  void TxtLszeKeyDown(int keyCode);
  void SetRetailTotalEditable(bool editable);
  void GoToSave();

  // QuantityStep.cpp
  void TxtSlKeyDown(int keyCode);
  void QuantityStep();
  bool EntryWarehousesValid();
  std::optional<StockVerdict> StockVerdictFor(double baseQuantity);
  bool ChooseBatch();
  adodb::Date BillDate() const;
  bool ExpiredBatchAccepted(EntryBatch& batch);
  bool BatchCoversQuantity(double baseQuantity);
  void PriceStep(double quantity);

  // EntryMessages.cpp
  void Refuse(const std::string& text, const std::string& focus = {});
  bool Ask(const std::string& question);
  void ShowLookupFailure(const std::exception& error);
  void ShowStatusNote(const std::string& text);
  void RestoreKeyGuide();
  std::string KeyGuide() const;
  std::optional<double> NumberInField(const std::string& field);
  bool AmountsOfQuantityFit(double quantity);

  // EditorCommands.cpp
  void Cmd_Add_Click();
  void Cmd_Amend_Click();
  void Cmd_Delete_Click();
  void Cmd_Save_Click();
  void Cmd_SaveReckoning_Click();
  void Cmd_Print_Click();
  void Reprint();
  void CmdGoodsPlace_Click();
  void Command1_Click();

  // LineSave.cpp
  void SaveLine();
  bool LineMayBeSaved();
  bool BatchExpiryAcceptedOnBillDate();
  bool StoredBillAudited();
  void RefuseAuditedBill();
  bool RefuseViewOnly(const std::string& change);
  bool RefuseUnder(const std::string& title, const std::string& text, const std::string& focus);
  bool BillEditableInApproval(const std::string& refusal);
  bool PlacesCoverLine(const LineGoodsPlaces& placed, double lineQty);
  void StoreEntryRow(const LineToSave& line);
  void SaveOnStoredBillDate(LineToSave line, const std::string& storedDate);
  void ShowVoidSave(const std::string& message, const std::string& note);
  void ShowSaveFailure(const adodb::Error& error);

  // LineCommands.cpp
  void AmendLine(const std::string& lsh, const std::string& dh);
  void ReallocateLinePlaces(const std::string& lsh, const std::string& dh, const StoredLine& line);
  void LoadLineIntoEntryRow(const std::string& lsh, const std::string& dh);
  void ShowGoodsOfCurrentLine();
  void ListLinesAsStored(const std::string& note);
  static std::string LineGoneNote(const std::string& dh);
  void RefuseLineChange(const char* text);
  void RefusePlacesOfBillMovedOn(const std::string& lsh, const std::string& dh);
  // Whether the grid's line dh was listed with its goods places (nothing when the grid lists none).
  std::optional<bool> PlacesKeptAsListed(const std::string& dh) const;
  // True when the line numbered dh is `stored` (read by ReadBillLine) as the grid lists it.
  bool LineListedAsStored(const std::string& dh, const std::optional<BillLineValues>& stored) const;

  // UnsavedInput.cpp
  void HeaderShownAsStored();
  // The stored bill's date, remark and operator as last loaded.
  HeaderFields HeaderAsLoaded() const;
  void EntryRowShownAsStored();
  bool TypedOver(const std::string& field) const;
  bool EntryRowTypedIn() const;
  bool LineEntered() const;
  bool CouldBeSaved() const;
  std::vector<std::pair<std::string, std::string>> TypedHeaderFields() const;
  std::string UnsavedInput(bool withHeader) const;
  // True when nothing typed would be lost by `command`, or the clerk said Yes to losing it.
  bool MayDropUnsavedInput(const std::string& command, bool withHeader = true);
  void DropUnsavedInput();

  // GoodsPlaceCommands.cpp
  std::optional<GoodsPlaceRequest> GoodsPlaceRequestFor(bool viewFlag, const std::string& warehouseId);
  bool RunGoodsPlaceDialog(GoodsPlaceRequest request, std::vector<std::string>& places);
  bool ShowGoodsPlaces(bool viewFlag, const std::string& warehouseId, std::vector<std::string>& places);
  void ViewGoodsPlaces(const std::string& warehouseId);

  // StateCommands.cpp
  bool MayRunStateCommand(const std::string& rightName);
  bool WarehousesShownAreTheLines(const std::string& command);
  bool ListsLines(const std::string& command);
  std::optional<ApprovalPassed> ApprovalAllowsAudit();
  void Audit();
  void UnAudit();
  void Confirm();
  void UnConfirm();
  // `readRuledOut`: see StateSettings; the editor then asks about the typed input itself.
  void RunStateChange(StateCommand command, const std::optional<ApprovalPassed>& approval = std::nullopt,
                      bool readRuledOut = false);
  void ShowStateOutcome(const StateOutcome& outcome);
  void ShowStateUnchanged(StateCommand command, const BillHeaderState& header);
  void SubmitApproval();

  // EditorToolbar.cpp
  void DeclareToolbar();
  void ShowApprovalButton();
  void ShowTwoStepButtons();
  void FollowSiteFlow();
  bool IsToolbarKey(const std::string& name) const;
  void Toolbar1_ButtonClick(const std::string& key);
  void RunShownToolbarButton(const std::string& key);

  // NewBillSerial.cpp
  void GetNewLSH();

  // BillLoading.cpp
  // The grid's current row becomes the first of linesToShow it lists, else the line it was on.
  void FillLinesGrid(const std::string& lsh, std::vector<std::string> linesToShow = {});
  long ListedLineRow(const std::vector<std::string>& lines) const;
  std::string LinesColumnList();
  std::vector<std::string> QuantityUnitsListed(const std::string& columns, const std::string& lsh) const;
  std::string DefaultLinesStatement() const;  // one mark: the serial
  void FillHeaderFields(adodb::Recordset& rs, const std::string& id);
  void ShowStoredAuditor();

  // BillStateShown.cpp
  void DeclareStateAndTotals();
  std::optional<BillHeaderState> ShowBillState();
  // The header as stored now; nullopt when it cannot be read (the command then finds out itself).
  std::optional<BillHeaderState> StoredHeader(const std::string& lsh) const;
  void ShowBillAsStored();
  void ShowLineTotals();
  void ShowCommandAvailability(const BillHeaderState& header);
  // The rights the commands are greyed by, read again when a command found one taken away.
  void ReadRights();
  void RefuseRightTakenAway();

  // GoodsInfoPanel.cpp
  void ShowGoodsInfo(const std::string& lsh, const std::string& hh);
  void RefreshGoodsInfo();
  void ShowGoodsRow(const std::string& hh);
  void ShowBillTotals(const std::string& lsh);
  void ApplyDecimalPlaces();
  NumberPlaces GridNumberPlaces() const;

  Session& session_;
  EditorRequest request_;
  std::string lsh_;      // the serial of the bill on screen
  bool newBill_ = true;  // the bill has no stored header yet
  // What the editor last put in each header and entry field itself; text unlike it was typed.
  std::map<std::string, std::string> shownAsStored_;
  EntryRow entry_;
  // The stored line F3 took into the entry row, as it showed it, with its bill's serial.
  std::optional<EntryRow> lineAsLoaded_;
  std::string lineAsLoadedLsh_;
  std::string figureAtFocus_;  // the price or quantity field's text when it got the focus
  RecordsetGrid vfgContent_;
  TextGrid vfgSpxx_;
  std::vector<Timer> timers_;  // enabled timers, in the order they were enabled
  long linesShownRow_ = 0;
  std::string linesSerial_;  // the bill whose lines the grid lists
  std::vector<std::string> quantityUnits_;  // of each listed line's 数量; empty: its 单位 shown
  // The lines the grid lists, as the state commands read them: what the clerk says Yes to.
  std::optional<std::vector<BillLineValues>> linesListed_;
  std::map<std::string, std::vector<BillLineValues>> linesSeen_;  // by serial: each bill's last listing
  std::string panelGoods_;  // the goods the information panel shows
  HeldRights rights_;       // read on load: the commands greyed out for want of a right
};

}  // namespace storeadjust
