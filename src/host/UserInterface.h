#pragma once
// Everything the module shows that interrupts the user goes through this one interface: message
// boxes, the hourglass pointer, the selection dialog, the goods-place dialog, the print and
// reprint components and the report grid. The desktop implements it with Qt; tests and the
// scenario player use ScriptedUserInterface, which records every call and takes answers from a
// queue. Screens receive it in their constructor and never include a widget header.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "adodb/Date.h"
#include "adodb/Recordset.h"
#include "adodb/Variant.h"
#include "host/BoundSql.h"
#include "host/GridNumberPlaces.h"

namespace adodb {
class Connection;
}

namespace storeadjust {

class FormModel;
class QvGrid;

// Classic message-box numbers.
namespace mb {
inline constexpr int kOkOnly = 0;
inline constexpr int kYesNo = 4;
inline constexpr int kCritical = 16;
inline constexpr int kQuestion = 32;
inline constexpr int kExclamation = 48;
inline constexpr int kInformation = 64;
inline constexpr int kDefaultButton2 = 256;
inline constexpr int kOk = 1;   // answers
inline constexpr int kYes = 6;
inline constexpr int kNo = 7;
}  // namespace mb

// What the clerk chooses in a selection dialog, as the caller names it: {"仓库"}, {"批号", billDate}.
struct SelectionSubject {
  SelectionSubject() = default;
  SelectionSubject(std::string whatIsChosen, std::optional<adodb::Date> dateOfBill = std::nullopt)
      : what(std::move(whatIsChosen)), billDate(dateOfBill) {}

  std::string what;  // 仓库, 商品, 单位, 批号 …: titles the dialog ("请选择仓库"); each keeps its own size
  // The batch choice: the bill's date, against which the batches' expiries are marked.
  std::optional<adodb::Date> billDate;
  // The row the line being amended already holds, by the texts of the list's leading columns (the
  // unit's code; the batch number and batch line): the dialog offers it as the row Enter takes, so
  // a clerk who only passes through keeps it. Empty: the dialog's own choice.
  std::vector<std::string> heldRow;
  // The places the list's quantities and prices show with, by their captions as in the editor's
  // grid (the batch list's 数量 reads 15.50 beside the line's 15.50); none: every figure as stored.
  std::optional<NumberPlaces> places;
};

// What the selection dialog hands over with the rows its query gave.
struct SelectionRequest {
  std::string query;
  bool modeFlag = false;
  SelectionSubject subject;
  // The 1-based row of the rows listed that subject.heldRow names; 0 when it names none listed.
  long heldRowPosition = 0;
};

// What the goods-place dialog is handed, in the order the editor hands it over.
struct GoodsPlaceRequest {
  std::string connectionString;
  std::string warehouseId;
  std::string billSerial;
  std::string lineKey;   // the line number, or "DH999999999" for a line not stored yet
  std::string quantity;  // the quantity to place, in base units, as text
  std::string unitName;  // the base unit the quantity counts in (empty when not known)
  std::string goodsNumber;
  std::string operatorCode;
  std::string billType;  // "WarehouseIn" or "WarehouseOut"
  bool viewOnly = false;
  std::vector<std::string> items;  // "ID,X,NO,QTY" items handed in
  // The batch the line moves (empty texts for goods without batches), when the request allocates
  // a line: the places then show what they hold of it, the stock a return takes from.
  bool batchKnown = false;
  std::string batchNo, batchLine;
};

struct GoodsPlaceAnswer {
  bool confirmed = false;
  std::vector<std::string> items;  // "ID,X,NO,QTY" items the user confirmed
};

// What the print component is handed. It reads the bills itself, through `connection` (the
// session's open connection, so it sees what the caller has committed on it).
struct PrintRequest {
  std::shared_ptr<adodb::Connection> connection;
  std::vector<std::string> textParameters;  // by position: 0 header table, 1 line table, 5 operator code
  std::string operatorCode;
  bool modeFlag = true;
  int billKind = 60;
  std::string serials;  // one serial, or several joined by "|"
  // Which command asked: the preview command hands over the same values as printing, and the
  // desktop opens the preview window first instead of the print dialog.
  bool preview = false;
};

struct ReprintRequest {
  std::string category, connectionString, operatorCode, operatorName, sysDate;
  int commandTimeout = 0;
  int start = 13;
  // The operator's data scope, as the browser narrows its list and report with it (a condition on
  // the bill header's czry, empty for every bill): a clerk who sees only his own bills there
  // would otherwise read every other clerk's bills, prices and amounts in the reprint list.
  BoundSql dataScope;
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // buttons: the sum of button set, icon and default-button numbers; answers kOk/kYes/kNo.
  virtual int MsgBox(const std::string& text, int buttons, const std::string& title) = 0;
  // The hourglass pointer while a long operation runs.
  virtual void SetBusy(bool busy) = 0;

  // The selection dialog has already run the request's query; `rows` holds its result. Shows the
  // rows and returns the 1-based row the user took, or 0 when the user cancelled.
  virtual long ChooseRow(const SelectionRequest& request, adodb::Recordset& rows) = 0;
  // The selection dialog decided without showing itself: a lone row taken (rowCount 1) or no
  // row to take (rowCount 0). Nothing for the user to see; the scripted interface records it.
  virtual void NoteSelectionNotShown(const SelectionRequest& request, long rowCount) {
    (void)request;
    (void)rowCount;
  }

  // The progress of a long operation that cannot be stopped half-way (it commits or rolls back
  // whole): `text` names the step, done of total; total 0 ends the display. Nothing by default.
  virtual void ShowProgress(const std::string& text, long done, long total) {
    (void)text;
    (void)done;
    (void)total;
  }

  // A short note while the module waits for something outside it (another clerk's write lock);
  // empty text takes it away. Called from inside a database statement, perhaps with a transaction
  // open: it shows at once and asks nothing, and it must not run the event loop (the clerk's
  // keys and timers would start commands in the middle of the statement). Nothing by default.
  virtual void ShowWaitStatus(const std::string& text) { (void)text; }

  virtual GoodsPlaceAnswer ShowGoodsPlaces(const GoodsPlaceRequest& request) = 0;
  // Prints (or previews) the bills the request names. A failure to read them, or of the printing
  // itself, throws adodb::Error to the command that asked.
  virtual void Print(const PrintRequest& request) = 0;
  // Runs the reprint function: the user picks stored bills and prints them. Failures throw
  // adodb::Error.
  virtual void Reprint(const ReprintRequest& request) = 0;
  // One of the report grid's commands: 1 print preview, 2 export to a spreadsheet, 3 report
  // properties, 4 filter, 5 column definitions. The dialogs change the grid through its own
  // operations; a failure is shown here, not thrown.
  virtual void RunReportCommand(QvGrid& grid, int command) = 0;
  // The report grid has loaded its rows. Nothing to show; the scripted interface records it.
  virtual void NoteReportLoaded(const QvGrid& grid) { (void)grid; }

  // Runs a loaded form modally: returns when the form has closed. The desktop shows the form's
  // view and runs its event loop; the scenario player runs the following commands until the
  // form closes. Use ShowModal below rather than calling this directly.
  virtual void RunModal(FormModel& form) = 0;
};

// Form_Load, then the modal loop unless the form closed itself while loading.
void ShowModal(UserInterface& ui, FormModel& form);

}  // namespace storeadjust
