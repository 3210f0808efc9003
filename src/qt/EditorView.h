#pragma once
// The desktop window of the bill editor (FrmStoreAdjuctBill), top to bottom: the toolbar, the
// header fields on one grid of label/field pairs (serial, date, operator; the two warehouses
// with their goods-place buttons, the auditor; the remark across) with the bill's state stamp
// beside them, the entry row (goods, unit, price, quantity, amount, retail total; on a window
// too narrow for it, it goes on to a second line between two fields), the lines grid
// in its frame 调拨明细 (taking the height the window gains) over the row of its totals, the
// goods panel in its frame 附加信息 (one row high), the command buttons
// and the status bar. Every widget and toolbar action carries its control's name, so the
// FormBinder ties each to the model.
//
// Beyond the binder the view keeps these things of the classic controls: numeric fields show
// the number of decimal places the model gives them (while not being edited), light yellow
// while read-only and white while typed, the date picker reads in Chinese, a text box the
// model asks to select is selected whole, and the model's timers fire once the window shows and
// after each of its changes, so its deferred focus moves land on the shown window. The title
// names the bill's serial and the operator.
#include <functional>

#include "qt/FormView.h"

class QLineEdit;
class QTableView;

namespace storeadjust {
class FrmStoreAdjuctBill;
}

namespace storeadjust::qt {

class EditorView : public FormView {
  Q_OBJECT

 public:
  EditorView(FrmStoreAdjuctBill& form, QWidget* parent = nullptr);
  ~EditorView() override;

  QTableView* LinesView() const { return lines_; }
  QTableView* GoodsPanel() const { return goods_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildToolbar();
  void BuildHeader();
  void BuildEntryRow();
  void BuildGrids();
  void BuildButtons();
  void BuildStatusBar();
  void AfterModelChanged();
  void ShowNumericDecimals();
  void ShowNumericColours();
  void ScheduleTimers();
  void SelectAllOf(const std::string& control);
  void ScrollLinesToShownRow();
  void FitGoodsPanelHeight();

  FrmStoreAdjuctBill& editor_;
  QTableView* lines_ = nullptr;
  QTableView* goods_ = nullptr;
  std::function<void()> boundChanged_;
  bool timersScheduled_ = false;
};

// Registers the view for the form's name, so RunModal shows the editor in this window.
void RegisterEditorView();

}  // namespace storeadjust::qt
