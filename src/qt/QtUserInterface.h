#pragma once
// The desktop's UserInterface: classic message boxes as QMessageBox, the hourglass as the
// application's override cursor, the selection dialog, and screens run modally through the views
// registered for their names (FormViewRegistry), the goods-place dialog, the print and reprint
// components (PrintComponent, ReprintComponent) and the report grid's commands with their
// dialogs; long operations show their progress, waits for another clerk a note over the window.
// Needs a QApplication; use on its thread only.
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QString>
#include <memory>

#include "host/UserInterface.h"

class QWidget;

namespace storeadjust::qt {

class QtUserInterface : public UserInterface {
 public:
  // settingsOrganization: where dialogs remember their layout (QSettings organization).
  explicit QtUserInterface(QString settingsOrganization = QStringLiteral("StoreAdjust"));
  ~QtUserInterface() override;
  QtUserInterface(const QtUserInterface&) = delete;
  QtUserInterface& operator=(const QtUserInterface&) = delete;

  int MsgBox(const std::string& text, int buttons, const std::string& title) override;
  // Nests: each SetBusy(true) needs its SetBusy(false); extra false calls are ignored.
  void SetBusy(bool busy) override;
  // The dialog opens on the row the line being amended holds when it is listed; otherwise the
  // batch choice (modeFlag true) opens on the batch that expires first and has not expired on the
  // bill date (FirstExpiringBatch).
  long ChooseRow(const SelectionRequest& request, adodb::Recordset& rows) override;
  // A progress bar over the middle of the active window, without a way to stop: the operation
  // commits or rolls back whole. It is shown from inside the operation's transaction, so it is
  // painted at once (QWidget::repaint) without running the event loop, whose timers could start
  // a command in the middle of the transaction.
  void ShowProgress(const std::string& text, long done, long total) override;
  // The progress bar while one is shown (null otherwise).
  QProgressBar* Progress() const { return progress_.data(); }
  // A note along the bottom of the active window, over its status bar, with the hourglass: painted
  // at once (QWidget::repaint) without running the event loop, since the database calls it from
  // inside a waiting statement. Empty text takes it away and paints what it covered.
  void ShowWaitStatus(const std::string& text) override;
  // The note while one is shown (null otherwise).
  QLabel* WaitStatus() const { return waitStatus_.data(); }
  GoodsPlaceAnswer ShowGoodsPlaces(const GoodsPlaceRequest& request) override;
  void Print(const PrintRequest& request) override;
  void Reprint(const ReprintRequest& request) override;
  // The report grid's dialogs (ReportCommands), over the active window.
  void RunReportCommand(QvGrid& grid, int command) override;
  // Shows the view registered under form.Name() until the form closes; without one, says so
  // and closes the form.
  void RunModal(FormModel& form) override;

  int BusyDepth() const { return busyDepth_; }

 private:
  // The window the next dialog belongs to (the active modal window, else the active window).
  static QWidget* DialogParent();
  // Once a dialog has closed: the window it was over takes the keyboard again.
  static void GiveKeyboardBack(QWidget* window);
  void HideWaitStatus();
  static void RemoveOverlay(QWidget* overlay);

  QString organization_;
  int busyDepth_ = 0;
  QPointer<QProgressBar> progress_;  // a child of the window it is over, which may close first
  QPointer<QLabel> waitStatus_;  // a child of the window it is over, which may close first
  bool waitCursor_ = false;
};

}  // namespace storeadjust::qt
