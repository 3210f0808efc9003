#pragma once
// The desktop reprint dialog (单据重打) over a ReprintList: a part of the serial and a range of
// bill dates narrow the stored bills as they are typed; the user picks one or more rows (Ctrl and
// Shift extend the choice, 全选 takes all) and prints them through the print dialog or the
// preview; by keys, Down or Enter in the serial field goes to the list and Enter there previews.
// 打印 and 预览 are enabled only while a row is chosen. A failure to read the list or
// the bills is shown (16, "系统提示") and leaves the dialog open.
//
// The list must outlive the dialog. Tests replace the slip printer to see what would be printed.
#include <QDialog>
#include <functional>
#include <vector>

#include "host/BillSlip.h"
#include "qt/SlipPrinting.h"

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace storeadjust {
class ReprintList;
}

namespace storeadjust::qt {

class ReprintTableModel;

class ReprintDialogView : public QDialog {
  Q_OBJECT

 public:
  // Prints or previews the slips over the parent window.
  using SlipPrinter = std::function<void(const SlipReader& read, bool preview, QWidget* parent)>;

  explicit ReprintDialogView(ReprintList& list, QWidget* parent = nullptr);
  ~ReprintDialogView() override;

  void SetSlipPrinter(SlipPrinter printer) { printer_ = std::move(printer); }

  QLineEdit* SerialFilter() const { return serial_; }
  QCheckBox* DateFilter() const { return byDate_; }
  QDateEdit* FromDate() const { return from_; }
  QDateEdit* ToDate() const { return to_; }
  QTableView* Grid() const { return grid_; }
  QLabel* Count() const { return count_; }
  QPushButton* PrintButton() const { return print_; }
  QPushButton* PreviewButton() const { return preview_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ApplyFilters();
  void GoToList();
  void ShowChoice();
  void PrintChosen(bool preview);

  ReprintList& list_;
  ReprintTableModel* model_ = nullptr;
  SlipPrinter printer_;
  QLineEdit* serial_ = nullptr;
  QCheckBox* byDate_ = nullptr;
  QDateEdit* from_ = nullptr;
  QDateEdit* to_ = nullptr;
  QTableView* grid_ = nullptr;
  QLabel* count_ = nullptr;
  QPushButton* print_ = nullptr;
  QPushButton* preview_ = nullptr;
};

}  // namespace storeadjust::qt
