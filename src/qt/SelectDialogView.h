#pragma once
// The desktop selection dialog: the rows of a query in a grid headed by the column aliases, a
// filter box above that narrows the rows as the user types, Enter or a double click takes the
// current row, Esc cancels. Its size and column widths are remembered per column set (QSettings
// of the given organization) from one opening to the next. It shows what it is given: whether
// to show at all is decided before (SelectDialog in the host).
#include <QDialog>

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
  // rows must stay open and unchanged while the dialog lives.
  SelectDialogView(const adodb::Recordset& rows, QWidget* parent = nullptr,
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
  QString SettingsGroup() const;
  void RestoreLayout();
  void SaveLayout() const;

  const QString organization_;
  RecordsetTableModel* model_ = nullptr;
  QLineEdit* filter_ = nullptr;
  QTableView* grid_ = nullptr;
  QLabel* count_ = nullptr;
  long chosen_ = 0;
};

}  // namespace storeadjust::qt
