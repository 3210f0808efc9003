#pragma once
// The desktop goods-place dialog (货位分配) over a GoodsPlaceAllocation: the places of the
// warehouse with the goods' current quantity, the quantity column to fill, and the total against
// the quantity to place under the grid, saying why it cannot be confirmed while they differ.
//
// Keyboard first: typing in the quantity column fills the current row; Enter confirms, from any
// row, once the totals agree, and otherwise moves on to the next row's quantity (staying on the
// last); Esc cancels anywhere. The
// confirm button is enabled only while the allocation may be confirmed, and accept() refuses
// otherwise, so no key or click confirms a wrong total. Viewing shows the rows read-only with one
// button that closes. The allocation must outlive the dialog; the caller takes its items after an
// accepted exec().
#include <QDialog>

class QLabel;
class QPushButton;
class QTableView;

namespace storeadjust {
class GoodsPlaceAllocation;
}

namespace storeadjust::qt {

class GoodsPlaceTableModel;

class GoodsPlaceDialogView : public QDialog {
  Q_OBJECT

 public:
  explicit GoodsPlaceDialogView(GoodsPlaceAllocation& allocation, QWidget* parent = nullptr);
  ~GoodsPlaceDialogView() override;

  QTableView* Grid() const { return grid_; }
  QLabel* Totals() const { return totals_; }
  QPushButton* ConfirmButton() const { return confirm_; }
  QPushButton* CloseButton() const { return close_; }

 public slots:
  void accept() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void MoveOn();
  void ShowTotals();

  GoodsPlaceAllocation& allocation_;
  GoodsPlaceTableModel* model_ = nullptr;
  QTableView* grid_ = nullptr;
  QLabel* totals_ = nullptr;
  QPushButton* confirm_ = nullptr;
  QPushButton* close_ = nullptr;
};

}  // namespace storeadjust::qt
