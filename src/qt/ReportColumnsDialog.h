#pragma once
// 列属性定义: every column of the report in screen order, ticked when shown; 上移 and 下移 move the
// chosen one. Apply (what OK does) hands the order and the ticks to the grid. At least one column
// stays shown: OK with none ticked says so and keeps the dialog open; Apply then changes nothing.
#include <QDialog>

class QListWidget;

namespace storeadjust {
class QvGrid;
}

namespace storeadjust::qt {

class ReportColumnsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ReportColumnsDialog(QvGrid& grid, QWidget* parent = nullptr);

  QListWidget* Columns() const { return list_; }
  // Moves the current item one place (-1 up, +1 down).
  void MoveCurrent(int steps);
  void Apply();

 public slots:
  void accept() override;

 private:
  bool AnyTicked() const;

  QvGrid& grid_;
  QListWidget* list_ = nullptr;
};

}  // namespace storeadjust::qt
