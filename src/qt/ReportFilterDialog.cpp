#include "qt/ReportFilterDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "host/QvGrid.h"
#include "qt/ScreenFit.h"

namespace storeadjust::qt {

namespace {

// An empty cell has to be choosable too; the list shows it by name, the filter keeps it empty.
const QString kEmptyValue = QStringLiteral("(空白)");
constexpr int kValueRole = Qt::UserRole;

}  // namespace

ReportFilterDialog::ReportFilterDialog(QvGrid& grid, QWidget* parent)
    : QDialog(parent), grid_(grid), columns_(grid.ShownColumns()) {
  setWindowTitle(QStringLiteral("过滤数据"));
  ResizeWithinScreen(*this, QSize(360, 420));
  auto* layout = new QVBoxLayout(this);
  column_ = new QComboBox(this);
  for (std::size_t column : columns_) column_->addItem(QString::fromStdString(grid.Columns()[column].name));
  // The clerk filters by the column he stands on far more often than by the first one.
  if (const std::optional<std::size_t> current = grid.CurrentColumn()) {
    const auto at = std::find(columns_.begin(), columns_.end(), *current);
    if (at != columns_.end()) column_->setCurrentIndex(static_cast<int>(at - columns_.begin()));
  }
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

  connect(column_, &QComboBox::currentIndexChanged, this, [this] {
    KeepTicks();
    ShowValues();
  });
  ShowValues();
}

void ReportFilterDialog::ShowValues() {
  values_->clear();
  listed_ = column_->currentIndex();
  if (listed_ < 0) return;
  const std::size_t column = columns_[static_cast<std::size_t>(listed_)];
  const auto filter = grid_.Filters().find(column);
  const auto ticks = ticks_.find(column);
  for (const std::string& value : grid_.DistinctValues(column)) {
    auto* item = new QListWidgetItem(value.empty() ? kEmptyValue : QString::fromStdString(value), values_);
    item->setData(kValueRole, QString::fromStdString(value));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    bool ticked = filter == grid_.Filters().end() || filter->second.count(value) != 0;
    if (ticks != ticks_.end()) {
      ticked = std::find(ticks->second.kept.begin(), ticks->second.kept.end(), value) != ticks->second.kept.end();
    }
    item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
  }
}

// Switching to another column used to drop what was ticked in this one: the clerk's OK then
// filtered by the last column alone and the report went on showing rows he had unticked.
void ReportFilterDialog::KeepTicks() {
  if (listed_ < 0) return;
  Ticks& ticks = ticks_[columns_[static_cast<std::size_t>(listed_)]];
  ticks.kept.clear();
  ticks.offered = static_cast<std::size_t>(values_->count());
  for (int row = 0; row < values_->count(); ++row) {
    const QListWidgetItem* item = values_->item(row);
    if (item->checkState() == Qt::Checked) ticks.kept.push_back(item->data(kValueRole).toString().toStdString());
  }
}

void ReportFilterDialog::TickAll(bool ticked) {
  for (int row = 0; row < values_->count(); ++row) values_->item(row)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void ReportFilterDialog::Apply() {
  KeepTicks();
  for (const auto& [column, ticks] : ticks_) {
    if (ticks.kept.size() == ticks.offered) {
      grid_.ClearFilter(column);
    } else {
      grid_.SetFilter(column, ticks.kept);
    }
  }
  ticks_.clear();
}

void ReportFilterDialog::ClearAll() { grid_.ClearFilters(); }

void ReportFilterDialog::accept() {
  Apply();
  QDialog::accept();
}

}  // namespace storeadjust::qt
