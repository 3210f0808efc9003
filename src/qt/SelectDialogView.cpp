#include "qt/SelectDialogView.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "qt/BatchListTableModel.h"
#include "qt/RecordsetTableModel.h"

namespace storeadjust::qt {

namespace {

constexpr int kOpeningHeight = 420;  // pixels: some fifteen rows

// The part of the screen a dialog may take.
QSize UsableScreen(const QWidget& widget) {
  const QScreen* screen = widget.screen();
  const QSize available = screen ? screen->availableGeometry().size() : QSize(1024, 768);
  return available * 9 / 10;
}

}  // namespace

SelectDialogView::SelectDialogView(const adodb::Recordset& rows, const SelectionSubject& subject, QWidget* parent,
                                   QString settingsOrganization)
    : QDialog(parent), organization_(std::move(settingsOrganization)), subject_(QString::fromStdString(subject.what)) {
  setWindowTitle(QStringLiteral("请选择") + subject_);
  model_ = subject.billDate ? new BatchListTableModel(rows, *subject.billDate, this) : new RecordsetTableModel(rows, this);
  if (subject.places) model_->SetNumberPlaces(*subject.places);

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
  connect(model_, &QAbstractItemModel::modelReset, this, &SelectDialogView::WidenToRowsInView, Qt::QueuedConnection);
  connect(model_, &QAbstractItemModel::rowsInserted, this, &SelectDialogView::WidenToRowsInView, Qt::QueuedConnection);
  connect(grid_->verticalScrollBar(), &QScrollBar::valueChanged, this, &SelectDialogView::WidenToRowsInView);

  FitColumns();
  FitToColumns();
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
  // So do PgDn and PgUp, a page at a time through a long list of batches (in the box they did nothing).
  if (watched == filter_ && (key == Qt::Key_PageDown || key == Qt::Key_PageUp)) {
    QApplication::sendEvent(grid_, event);
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

// Each column as wide as its header and the rows fetched so far (the first chunk), so a stock
// quantity or a goods name shows whole; one column never takes more than half the screen.
void SelectDialogView::FitColumns() {
  const int widest = UsableScreen(*this).width() / 2;
  fittedWidths_.clear();
  for (int column = 0; column < model_->columnCount(); ++column) {
    // QTableView keeps its override protected; the base's public one dispatches to it.
    const int cells = static_cast<const QAbstractItemView*>(grid_)->sizeHintForColumn(column);
    const int width = std::min(std::max(cells, grid_->horizontalHeader()->sectionSizeHint(column)), widest);
    grid_->setColumnWidth(column, width);
    fittedWidths_ << width;
  }
}

// The opening fit saw the first chunk only: a longer 产地 further down, reached by scrolling, by the
// next chunk or by the filter, was cut. The columns widen to the rows in view, never narrow, within
// the same limit; the last one stretches anyway.
void SelectDialogView::WidenToRowsInView() {
  const int widest = UsableScreen(*this).width() / 2;
  for (int column = 0; column + 1 < fittedWidths_.size(); ++column) {
    const int cells = static_cast<const QAbstractItemView*>(grid_)->sizeHintForColumn(column);
    if (cells <= grid_->columnWidth(column) || grid_->columnWidth(column) >= widest) continue;
    grid_->setColumnWidth(column, std::min(cells, widest));
    fittedWidths_[column] = std::max(fittedWidths_[column], grid_->columnWidth(column));  // not the clerk's own
  }
}

// As wide as the columns with the grid's row numbers, frame and scroll bar, within the screen.
void SelectDialogView::FitToColumns() {
  int width = 0;
  for (int columnWidth : fittedWidths_) width += columnWidth;
  const QMargins margins = layout()->contentsMargins();
  width += grid_->verticalHeader()->sizeHint().width() + 2 * grid_->frameWidth() +
           style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid_) + margins.left() + margins.right();
  const QSize usable = UsableScreen(*this);
  fittedSize_ = QSize(std::min(std::max(width, minimumSizeHint().width()), usable.width()),
                      std::min(kOpeningHeight, usable.height()));
  resize(fittedSize_);
}

// The size is kept per kind of choice (what is chosen); column widths per column set, since a
// site's list template may change the columns of a kind.
QString SelectDialogView::SizeKey() const {
  const QString kind = subject_.isEmpty() ? ColumnSetName() : subject_;
  return QStringLiteral("SelectDialog/") + kind + QStringLiteral("/size");
}

QString SelectDialogView::ColumnsKey() const {
  return QStringLiteral("SelectDialog/") + ColumnSetName() + QStringLiteral("/widths");
}

QString SelectDialogView::ColumnSetName() const {
  const QByteArray digest = QCryptographicHash::hash(model_->ColumnSetKey().toUtf8(), QCryptographicHash::Md5);
  return QString::fromLatin1(digest.toHex());
}

// A kept column width never makes a column narrower than its contents; the last column
// stretches with the dialog and keeps no width of its own.
void SelectDialogView::RestoreLayout() {
  QSettings settings(organization_, QStringLiteral("SelectDialog"));
  const QVariantList widths = settings.value(ColumnsKey()).toList();
  for (int column = 0; column + 1 < fittedWidths_.size() && column < widths.size(); ++column) {
    grid_->setColumnWidth(column, std::max(fittedWidths_[column], widths[column].toInt()));
  }
  const QSize kept = settings.value(SizeKey()).toSize();
  if (kept.isValid()) resize(kept.boundedTo(UsableScreen(*this)));
}

// Only what the clerk changed is kept: an untouched dialog fits its columns afresh next time.
void SelectDialogView::SaveLayout() const {
  QSettings settings(organization_, QStringLiteral("SelectDialog"));
  if (size() != fittedSize_) {
    settings.setValue(SizeKey(), size());
  } else {
    settings.remove(SizeKey());
  }
  QVariantList widths;
  bool widened = false;
  for (int column = 0; column < fittedWidths_.size(); ++column) {
    widths << grid_->columnWidth(column);
    widened = widened || (column + 1 < fittedWidths_.size() && grid_->columnWidth(column) > fittedWidths_[column]);
  }
  if (widened) {
    settings.setValue(ColumnsKey(), widths);
  } else {
    settings.remove(ColumnsKey());
  }
}

}  // namespace storeadjust::qt
