#include "qt/ReportColumnsDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <QMessageBox>
#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "host/QvGrid.h"
#include "host/UserInterface.h"
#include "qt/ClassicMessageBox.h"
#include "qt/ScreenFit.h"

namespace storeadjust::qt {

namespace {
constexpr int kColumnRole = Qt::UserRole;
}

ReportColumnsDialog::ReportColumnsDialog(QvGrid& grid, QWidget* parent) : QDialog(parent), grid_(grid) {
  setWindowTitle(QStringLiteral("列属性定义"));
  ResizeWithinScreen(*this, QSize(320, 420));
  auto* layout = new QHBoxLayout(this);
  list_ = new QListWidget(this);
  for (std::size_t column : grid.ColumnOrder()) {
    auto* item = new QListWidgetItem(QString::fromStdString(grid.Columns()[column].name), list_);
    item->setData(kColumnRole, static_cast<qulonglong>(column));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(grid.Columns()[column].visible ? Qt::Checked : Qt::Unchecked);
  }
  // On the column the clerk stands on, the one he means to move or hide.
  const std::vector<std::size_t>& order = grid.ColumnOrder();
  const std::optional<std::size_t> current = grid.CurrentColumn();
  const auto at = current ? std::find(order.begin(), order.end(), *current) : order.end();
  if (list_->count() > 0) list_->setCurrentRow(at == order.end() ? 0 : static_cast<int>(at - order.begin()));
  layout->addWidget(list_, 1);

  auto* side = new QVBoxLayout;
  auto* up = new QPushButton(QStringLiteral("上移"), this);
  auto* down = new QPushButton(QStringLiteral("下移"), this);
  side->addWidget(up);
  side->addWidget(down);
  side->addStretch(1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
  side->addWidget(buttons);
  layout->addLayout(side);
  connect(up, &QPushButton::clicked, this, [this] { MoveCurrent(-1); });
  connect(down, &QPushButton::clicked, this, [this] { MoveCurrent(1); });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void ReportColumnsDialog::MoveCurrent(int steps) {
  const int from = list_->currentRow();
  const int to = from + steps;
  if (from < 0 || to < 0 || to >= list_->count()) return;
  QListWidgetItem* item = list_->takeItem(from);
  list_->insertItem(to, item);
  list_->setCurrentRow(to);
}

void ReportColumnsDialog::Apply() {
  if (!AnyTicked()) return;
  std::vector<std::size_t> order;
  std::vector<bool> shown;
  for (int row = 0; row < list_->count(); ++row) {
    order.push_back(static_cast<std::size_t>(list_->item(row)->data(kColumnRole).toULongLong()));
    shown.push_back(list_->item(row)->checkState() == Qt::Checked);
  }
  grid_.SetColumnOrder(order);
  for (std::size_t i = 0; i < order.size(); ++i) grid_.SetColumnVisible(order[i], shown[i]);
}

bool ReportColumnsDialog::AnyTicked() const {
  for (int row = 0; row < list_->count(); ++row) {
    if (list_->item(row)->checkState() == Qt::Checked) return true;
  }
  return false;
}

// A report of no columns is no report: 确定 used to close the dialog without a word and drop what
// the clerk had moved too. He is told, and stays on his list to tick one.
void ReportColumnsDialog::accept() {
  if (!AnyTicked()) {
    std::unique_ptr<QMessageBox> box(
        MakeClassicMessageBox(QStringLiteral("至少要显示一列!"), mb::kExclamation, QStringLiteral("系统提示"), this));
    RunClassicMessageBox(*box);
    list_->setFocus();
    return;
  }
  Apply();
  QDialog::accept();
}

}  // namespace storeadjust::qt
