#include "host/ScriptedUserInterface.h"

#include <algorithm>

#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "adodb/Recordset.h"
#include "host/BillSlip.h"
#include "host/FormModel.h"
#include "host/QvGrid.h"
#include "host/TranscriptText.h"

namespace storeadjust {

namespace {

bool HasYesAndNo(int buttons) {
  int set = buttons & 7;
  return set == 3 || set == 4;  // Yes/No/Cancel, Yes/No
}

std::string AnswerName(int answer) {
  switch (answer) {
    case mb::kYes: return "Yes";
    case mb::kNo: return "No";
    default: return "OK";
  }
}

std::string ItemsText(const std::vector<std::string>& items) {
  std::string text;
  for (const auto& item : items) text += (text.empty() ? "" : ";") + item;
  return text;
}

// Removes the form from the open list when its modal run ends, however it ends.
class OpenFormEntry {
 public:
  OpenFormEntry(std::vector<FormModel*>& forms, FormModel& form) : forms_(forms), form_(form), previous_(form.OnClosed) {
    forms_.push_back(&form_);
  }
  ~OpenFormEntry() {
    form_.OnClosed = previous_;
    auto it = std::find(forms_.rbegin(), forms_.rend(), &form_);
    if (it != forms_.rend()) forms_.erase(std::next(it).base());
  }
  OpenFormEntry(const OpenFormEntry&) = delete;
  OpenFormEntry& operator=(const OpenFormEntry&) = delete;
  const std::function<void()>& Previous() const { return previous_; }

 private:
  std::vector<FormModel*>& forms_;
  FormModel& form_;
  std::function<void()> previous_;
};

}  // namespace

void ScriptedUserInterface::QueueAnswer(int answer) { answers_.push_back(answer); }
void ScriptedUserInterface::QueueChoice(long row) { choices_.push_back(row); }
void ScriptedUserInterface::QueuePlaces(GoodsPlaceAnswer answer) { places_.push_back(std::move(answer)); }

std::string ScriptedUserInterface::DescribeQueued() const {
  std::vector<std::string> parts;
  for (int a : answers_) parts.push_back("answer " + AnswerName(a));
  for (long c : choices_) parts.push_back(c == 0 ? "choose cancel" : "choose " + std::to_string(c));
  for (const auto& p : places_) parts.push_back(p.confirmed ? "places " + Quoted(ItemsText(p.items)) : "places cancel");
  std::string text;
  for (const auto& part : parts) text += (text.empty() ? "" : ", ") + part;
  return text;
}

FormModel* ScriptedUserInterface::FindOpenForm(const std::string& name) const {
  for (auto it = openForms_.rbegin(); it != openForms_.rend(); ++it) {
    if ((*it)->Name() == name) return *it;
  }
  return nullptr;
}

void ScriptedUserInterface::RequireNoTransaction(const std::string& what) const {
  if (!InTransaction || !InTransaction()) return;
  throw ScriptError(what + " shown while the session connection is inside a transaction");
}

int ScriptedUserInterface::MsgBox(const std::string& text, int buttons, const std::string& title) {
  RequireNoTransaction("message box " + Quoted(text));
  std::string line = "msgbox " + std::to_string(buttons) + " " + Quoted(title) + " " + Quoted(text) + " -> ";
  int answer = mb::kOk;
  if (HasYesAndNo(buttons)) {
    if (answers_.empty()) {
      boxes_.push_back({text, buttons, title, 0});
      Write(line + "?");
      throw ScriptError("a question was asked with no answer queued");
    }
    answer = answers_.front();
    answers_.pop_front();
  }
  boxes_.push_back({text, buttons, title, answer});
  Write(line + AnswerName(answer));
  return answer;
}

void ScriptedUserInterface::WriteSelection(const std::string& query, bool modeFlag, long rowCount,
                                           const std::string& taken) const {
  Write("select " + std::string(modeFlag ? "1" : "0") + " " + std::to_string(rowCount) + " -> " + taken);
  Write("  sql: " + EscapeLineBreaks(query));
}

long ScriptedUserInterface::ChooseRow(const SelectionRequest& request, adodb::Recordset& rows) {
  RequireNoTransaction("selection dialog");
  const std::string& query = request.query;
  const bool modeFlag = request.modeFlag;
  long count = rows.RecordCount();
  if (choices_.empty()) {
    WriteSelection(query, modeFlag, count, "?");
    throw ScriptError("a selection dialog was shown with no choice queued");
  }
  long row = choices_.front();
  choices_.pop_front();
  if (row > count) {
    WriteSelection(query, modeFlag, count, std::to_string(row) + "?");
    throw ScriptError("choose " + std::to_string(row) + ": the dialog lists " + std::to_string(count) + " rows");
  }
  WriteSelection(query, modeFlag, count, row == 0 ? "cancel" : std::to_string(row));
  return row;
}

void ScriptedUserInterface::ShowWaitStatus(const std::string& text) {
  waitStatuses_.push_back(text);
  Write(text.empty() ? "status" : "status " + text);
}

void ScriptedUserInterface::NoteSelectionNotShown(const SelectionRequest& request, long rowCount) {
  WriteSelection(request.query, request.modeFlag, rowCount, rowCount == 1 ? "auto" : "cancel");
}

GoodsPlaceAnswer ScriptedUserInterface::ShowGoodsPlaces(const GoodsPlaceRequest& request) {
  RequireNoTransaction("goods-place dialog");
  std::string line = "places " + request.billType + " " + request.warehouseId + " " + request.billSerial + " " +
                     request.lineKey + " " + request.quantity + " " + (request.viewOnly ? "1" : "0") + " -> ";
  if (request.viewOnly) {
    Write(line + "cancel");  // viewing: the user looks and closes, nothing is chosen
    return {};
  }
  if (places_.empty()) {
    Write(line + "?");
    throw ScriptError("a goods-place dialog was opened to allocate with no places queued");
  }
  GoodsPlaceAnswer answer = places_.front();
  places_.pop_front();
  Write(line + (answer.confirmed ? "ok" : "cancel"));
  return answer;
}

// The bills are read as the print component reads them, after the line: a bill that is gone by
// then makes printing fail as it would on the desktop.
void ScriptedUserInterface::Print(const PrintRequest& request) {
  RequireNoTransaction("print dialog");
  Write("print " + std::to_string(request.billKind) + " " + Quoted(request.serials));
  if (!request.connection) throw adodb::Error::Closed();
  const auto& parameters = request.textParameters;
  ReadBillSlips(*request.connection, parameters.size() > 0 ? parameters[0] : std::string(),
                parameters.size() > 1 ? parameters[1] : std::string(), SplitSerials(request.serials));
}

void ScriptedUserInterface::Reprint(const ReprintRequest& request) {
  RequireNoTransaction("reprint dialog");
  Write("reprint " + std::to_string(request.start)); }

void ScriptedUserInterface::RunReportCommand(QvGrid& grid, int command) {
  RequireNoTransaction("report command dialog");
  (void)grid;
  Write("reportcommand " + std::to_string(command));
}

void ScriptedUserInterface::NoteReportLoaded(const QvGrid& grid) {
  Write("report " + Quoted(grid.ReportCode()) + " " + Quoted(grid.ReportName()) + " " + grid.StartDate() + " " +
        grid.EndDate() + " " + std::to_string(grid.LoadedRowCount()));
}

void ScriptedUserInterface::MarkClosed(FormModel& form) {
  auto it = std::find(openForms_.rbegin(), openForms_.rend(), &form);
  if (it == openForms_.rend()) return;
  openForms_.erase(std::next(it).base());
  Write("closed " + form.Name());
}

void ScriptedUserInterface::RunModal(FormModel& form) {
  RequireNoTransaction("form " + form.Name());
  if (!ModalLoop) throw ScriptError("form " + form.Name() + " was shown modally with nothing to drive it");
  OpenFormEntry entry(openForms_, form);
  form.OnClosed = [this, &form, previous = entry.Previous()] {
    MarkClosed(form);
    if (previous) previous();
  };
  Write("open " + form.Name());
  ModalLoop(form);
}

}  // namespace storeadjust
