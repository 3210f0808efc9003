#pragma once
// The UserInterface of tests and of the scenario player: nothing waits for a person. Every
// event is written as one transcript line to the sink (message boxes with their answer, shown
// selection dialogs with their query, goods-place dialogs, wait statuses, print, reprint calls,
// the report grid's loads and commands, forms opening and closing) and every box is kept for
// inspection.
//
// Answers come from three queues, each consumed in order by its own kind of event:
//  - answers (Yes/No) by message boxes that have Yes and No; a box with only OK consumes nothing;
//  - choices (a 1-based row, or 0 for cancel) by selection dialogs that are shown;
//  - goods places (items, or cancel) by goods-place dialogs opened to allocate, not to view.
// An event that needs an answer when its queue is empty throws ScriptError after writing its
// line: the scenario cannot go on. ScriptError deliberately does not derive from std::exception,
// so the module's own error traps (which catch adodb::Error) let it through to the player.
//
// RunModal hands the form to ModalLoop (the player's nested command loop) and keeps the list of
// open forms by name; without a ModalLoop it throws ScriptError.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "host/UserInterface.h"

namespace storeadjust {

class ScriptError {
 public:
  explicit ScriptError(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const { return message_; }

 private:
  std::string message_;
};

struct RecordedBox {
  std::string text;
  int buttons = 0;
  std::string title;
  int answer = 0;
};

class ScriptedUserInterface : public UserInterface {
 public:
  using LineSink = std::function<void(const std::string& line)>;
  explicit ScriptedUserInterface(LineSink sink = {}) : sink_(std::move(sink)) {}
  ScriptedUserInterface(const ScriptedUserInterface&) = delete;
  ScriptedUserInterface& operator=(const ScriptedUserInterface&) = delete;

  // --- queues -------------------------------------------------------------------------------
  void QueueAnswer(int answer);  // mb::kYes or mb::kNo
  void QueueChoice(long row);    // 1-based row, 0 for cancel
  void QueuePlaces(GoodsPlaceAnswer answer);
  bool HasQueued() const { return !answers_.empty() || !choices_.empty() || !places_.empty(); }
  // What is still queued, as the scenario commands that queued it ("answer Yes, choose 2").
  std::string DescribeQueued() const;

  // --- what happened ------------------------------------------------------------------------
  const std::vector<RecordedBox>& Boxes() const { return boxes_; }
  bool Busy() const { return busy_; }
  // Every wait status shown, in order; empty text where it was taken away.
  const std::vector<std::string>& WaitStatuses() const { return waitStatuses_; }
  // Open forms, outermost first.
  const std::vector<FormModel*>& OpenForms() const { return openForms_; }
  FormModel* FindOpenForm(const std::string& name) const;  // innermost of that name; null when none

  // Runs the commands that drive a modal form; returns when the form has closed.
  std::function<void(FormModel& form)> ModalLoop;

  // When set, tells whether the module's session connection is inside a transaction. A message
  // box, dialog, report command or modal form asked for then (the database locked while the user
  // reads) throws ScriptError: the module must ask first, then act.
  std::function<bool()> InTransaction;

  // --- UserInterface ------------------------------------------------------------------------
  int MsgBox(const std::string& text, int buttons, const std::string& title) override;
  void SetBusy(bool busy) override { busy_ = busy; }
  // Writes "status TEXT", or "status" alone when the status is taken away. Shown inside a
  // transaction too: it asks nothing.
  void ShowWaitStatus(const std::string& text) override;
  long ChooseRow(const SelectionRequest& request, adodb::Recordset& rows) override;
  void NoteSelectionNotShown(const SelectionRequest& request, long rowCount) override;
  GoodsPlaceAnswer ShowGoodsPlaces(const GoodsPlaceRequest& request) override;
  void Print(const PrintRequest& request) override;
  void Reprint(const ReprintRequest& request) override;
  // Records the command ("reportcommand N"); the grid is left as it was.
  void RunReportCommand(QvGrid& grid, int command) override;
  // Writes the report line: code, name, start, end and the number of rows loaded.
  void NoteReportLoaded(const QvGrid& grid) override;
  void RunModal(FormModel& form) override;

 private:
  void Write(const std::string& line) const {
    if (sink_) sink_(line);
  }
  void RequireNoTransaction(const std::string& what) const;
  void WriteSelection(const std::string& query, bool modeFlag, long rowCount, const std::string& taken) const;
  void MarkClosed(FormModel& form);

  LineSink sink_;
  std::deque<int> answers_;
  std::deque<long> choices_;
  std::deque<GoodsPlaceAnswer> places_;
  std::vector<RecordedBox> boxes_;
  std::vector<std::string> waitStatuses_;
  std::vector<FormModel*> openForms_;
  bool busy_ = false;
};

}  // namespace storeadjust
