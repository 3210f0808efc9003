#include "qt/SelectDialogView.h"

#include <QCryptographicHash>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QVBoxLayout>

#include "qt/RecordsetTableModel.h"

namespace storeadjust::qt {

SelectDialogView::SelectDialogView(const adodb::Recordset& rows, QWidget* parent, QString settingsOrganization)
    : QDialog(parent), organization_(std::move(settingsOrganization)) {
  setWindowTitle(QStringLiteral("请选择"));
  model_ = new RecordsetTableModel(rows, this);

  filter_ = new QLineEdit(this);
  filter_->setObjectName(QStringLiteral("Filter"));
  filter_->setPlaceholderText(QStringLiteral("输入文字筛选"));
  filter_->setClearButtonEnabled(true);
  count_ = new QLabel(this);

  grid_ = new QTableView(this);
  grid_->setObjectName(QStringLiteral("Grid"));
  grid_->setModel(model_);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setAlternatingRowColors(true);
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->horizontalHeader()->setHighlightSections(false);
  grid_->horizontalHeader()->setStretchLastSection(true);

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);

  auto* filterRow = new QHBoxLayout;
  filterRow->addWidget(new QLabel(QStringLiteral("查找："), this));
  filterRow->addWidget(filter_, 1);
  filterRow->addWidget(count_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(filterRow);
  layout->addWidget(grid_, 1);
  layout->addWidget(buttons);

  connect(filter_, &QLineEdit::textChanged, this, &SelectDialogView::ApplyFilter);
  connect(grid_, &QTableView::doubleClicked, this, &SelectDialogView::accept);
  connect(buttons, &QDialogButtonBox::accepted, this, &SelectDialogView::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &SelectDialogView::reject);
  filter_->installEventFilter(this);
  grid_->installEventFilter(this);

  resize(640, 420);
  RestoreLayout();
  SelectFirstRow();
  UpdateCount();
  filter_->setFocus();
}

SelectDialogView::~SelectDialogView() = default;

long SelectDialogView::Choose() {
  chosen_ = 0;
  exec();
  return chosen_;
}

void SelectDialogView::accept() {
  const QModelIndex current = grid_->currentIndex();
  if (!current.isValid()) return;
  chosen_ = model_->SetPosition(current.row());
  QDialog::accept();
}

void SelectDialogView::done(int result) {
  if (result != QDialog::Accepted) chosen_ = 0;
  SaveLayout();
  QDialog::done(result);
}

bool SelectDialogView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    accept();
    return true;
  }
  // Arrows in the filter box move through the rows, so the user need not leave the box.
  if (watched == filter_ && (key == Qt::Key_Down || key == Qt::Key_Up)) {
    MoveCurrentRow(key == Qt::Key_Down ? 1 : -1);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void SelectDialogView::ApplyFilter(const QString& text) {
  model_->SetFilter(text);
  SelectFirstRow();
  UpdateCount();
}

void SelectDialogView::MoveCurrentRow(int step) {
  const int row = grid_->currentIndex().row() + step;
  model_->FetchThrough(row);
  if (row < 0 || row >= model_->rowCount()) return;
  grid_->setCurrentIndex(model_->index(row, 0));
}

void SelectDialogView::SelectPosition(long position) {
  if (position < 1 || position > model_->MatchingRows()) return;
  const int row = static_cast<int>(position - 1);  // unfiltered, model rows keep the set's order
  while (row >= model_->rowCount() && model_->canFetchMore(QModelIndex())) model_->fetchMore(QModelIndex());
  grid_->setCurrentIndex(model_->index(row, 0));
  grid_->scrollTo(grid_->currentIndex());
}

void SelectDialogView::SelectFirstRow() {
  if (model_->rowCount() > 0) grid_->setCurrentIndex(model_->index(0, 0));
}

void SelectDialogView::UpdateCount() { count_->setText(QStringLiteral("%1 条").arg(model_->MatchingRows())); }

QString SelectDialogView::SettingsGroup() const {
  const QByteArray digest = QCryptographicHash::hash(model_->ColumnSetKey().toUtf8(), QCryptographicHash::Md5);
  return QStringLiteral("SelectDialog/") + QString::fromLatin1(digest.toHex());
}

void SelectDialogView::RestoreLayout() {
  QSettings settings(organization_, QStringLiteral("SelectDialog"));
  settings.beginGroup(SettingsGroup());
  const QByteArray geometry = settings.value(QStringLiteral("geometry")).toByteArray();
  if (!geometry.isEmpty()) restoreGeometry(geometry);
  const QByteArray columns = settings.value(QStringLiteral("columns")).toByteArray();
  if (!columns.isEmpty()) grid_->horizontalHeader()->restoreState(columns);
}

void SelectDialogView::SaveLayout() const {
  QSettings settings(organization_, QStringLiteral("SelectDialog"));
  settings.beginGroup(SettingsGroup());
  settings.setValue(QStringLiteral("geometry"), saveGeometry());
  settings.setValue(QStringLiteral("columns"), grid_->horizontalHeader()->saveState());
}

}  // namespace storeadjust::qt
