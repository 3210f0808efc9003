#include "qt/ReportFilterDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "host/QvGrid.h"

namespace storeadjust::qt {

namespace {

// An empty cell has to be choosable too; the list shows it by name, the filter keeps it empty.
const QString kEmptyValue = QStringLiteral("(空白)");
constexpr int kValueRole = Qt::UserRole;

}  // namespace

ReportFilterDialog::ReportFilterDialog(QvGrid& grid, QWidget* parent)
    : QDialog(parent), grid_(grid), columns_(grid.ShownColumns()) {
  setWindowTitle(QStringLiteral("过滤数据"));
  resize(360, 420);
  auto* layout = new QVBoxLayout(this);
  column_ = new QComboBox(this);
  for (std::size_t column : columns_) column_->addItem(QString::fromStdString(grid.Columns()[column].name));
  auto* columnRow = new QHBoxLayout;
  columnRow->addWidget(new QLabel(QStringLiteral("列:"), this));
  columnRow->addWidget(column_, 1);
  layout->addLayout(columnRow);
  values_ = new QListWidget(this);
  layout->addWidget(values_, 1);

  auto* tickRow = new QHBoxLayout;
  auto* all = new QPushButton(QStringLiteral("全选"), this);
  auto* none = new QPushButton(QStringLiteral("全不选"), this);
  auto* clear = new QPushButton(QStringLiteral("清除过滤"), this);
  tickRow->addWidget(all);
  tickRow->addWidget(none);
  tickRow->addStretch(1);
  tickRow->addWidget(clear);
  layout->addLayout(tickRow);
  connect(all, &QPushButton::clicked, this, [this] { TickAll(true); });
  connect(none, &QPushButton::clicked, this, [this] { TickAll(false); });
  connect(clear, &QPushButton::clicked, this, [this] {
    ClearAll();
    QDialog::accept();
  });

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  connect(column_, &QComboBox::currentIndexChanged, this, [this] { ShowValues(); });
  ShowValues();
}

void ReportFilterDialog::ShowValues() {
  values_->clear();
  const int index = column_->currentIndex();
  if (index < 0) return;
  const std::size_t column = columns_[static_cast<std::size_t>(index)];
  const auto filter = grid_.Filters().find(column);
  for (const std::string& value : grid_.DistinctValues(column)) {
    auto* item = new QListWidgetItem(value.empty() ? kEmptyValue : QString::fromStdString(value), values_);
    item->setData(kValueRole, QString::fromStdString(value));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    const bool ticked = filter == grid_.Filters().end() || filter->second.count(value) != 0;
    item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
  }
}

void ReportFilterDialog::TickAll(bool ticked) {
  for (int row = 0; row < values_->count(); ++row) values_->item(row)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void ReportFilterDialog::Apply() {
  const int index = column_->currentIndex();
  if (index < 0) return;
  const std::size_t column = columns_[static_cast<std::size_t>(index)];
  std::vector<std::string> kept;
  for (int row = 0; row < values_->count(); ++row) {
    const QListWidgetItem* item = values_->item(row);
    if (item->checkState() == Qt::Checked) kept.push_back(item->data(kValueRole).toString().toStdString());
  }
  if (static_cast<int>(kept.size()) == values_->count()) {
    grid_.ClearFilter(column);
  } else {
    grid_.SetFilter(column, kept);
  }
}

void ReportFilterDialog::ClearAll() { grid_.ClearFilters(); }

void ReportFilterDialog::accept() {
  Apply();
  QDialog::accept();
}

}  // namespace storeadjust::qt
