#pragma once
// The desktop selection dialog: the rows of a query in a grid headed by the column aliases, a
// filter box above that narrows the rows as the user types, Enter or a double click takes the
// current row, Esc cancels. It is titled after what is chosen ("请选择仓库") and opens as wide as
// its columns, each fitted to its header and rows, within the screen. A size the clerk gives it
// is kept per kind of choice, and a column he widens per column set (QSettings of the given
// organization), from one opening to the next. The batch choice marks expired and nearly
// expired batches (BatchListTableModel). It shows what it is given: whether to show at all is
// decided before (SelectDialog in the host).
#include <QDialog>
#include <QList>
#include <QSize>

#include "host/UserInterface.h"

class QLabel;
class QLineEdit;
class QTableView;

namespace adodb {
class Recordset;
}

namespace storeadjust::qt {

class RecordsetTableModel;

class SelectDialogView : public QDialog {
  Q_OBJECT

 public:
  // rows must stay open and unchanged while the dialog lives. A subject with a bill date marks
  // the batches' expiries.
  SelectDialogView(const adodb::Recordset& rows, const SelectionSubject& subject, QWidget* parent = nullptr,
                   QString settingsOrganization = QStringLiteral("StoreAdjust"));
  ~SelectDialogView() override;

  // Shows the dialog modally; the 1-based position of the chosen row in the set's order, or 0
  // when the user cancelled.
  long Choose();
  long ChosenRow() const { return chosen_; }
  // Before the user filters: makes the row at a 1-based position of the set's order the current
  // one, in view, so Enter takes it; 0 or a position past the end leaves the current row as it is.
  void SelectPosition(long position);

  QLineEdit* FilterBox() const { return filter_; }
  QTableView* Grid() const { return grid_; }
  RecordsetTableModel* Model() const { return model_; }

 public slots:
  void accept() override;  // takes the current row (nothing happens when no row is shown)
  void done(int result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ApplyFilter(const QString& text);
  void MoveCurrentRow(int step);
  void SelectFirstRow();
  void UpdateCount();
  void FitColumns();
  void WidenToRowsInView();
  void FitToColumns();
  QString SizeKey() const;
  QString ColumnsKey() const;
  QString ColumnSetName() const;
  void RestoreLayout();
  void SaveLayout() const;

  const QString organization_;
  const QString subject_;
  QList<int> fittedWidths_;  // each column's width fitted to its header and rows, at opening
  QSize fittedSize_;         // the size the dialog opened with before a kept size was applied
  RecordsetTableModel* model_ = nullptr;
  QLineEdit* filter_ = nullptr;
  QTableView* grid_ = nullptr;
  QLabel* count_ = nullptr;
  long chosen_ = 0;
};

}  // namespace storeadjust::qt
