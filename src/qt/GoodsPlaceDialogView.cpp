#include "qt/GoodsPlaceDialogView.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "lines/GoodsPlaceAllocation.h"
#include "qt/GoodsPlaceTableModel.h"
#include "qt/QuantityCellDelegate.h"
#include "qt/ScreenFit.h"

namespace storeadjust::qt {

GoodsPlaceDialogView::GoodsPlaceDialogView(GoodsPlaceAllocation& allocation, QWidget* parent)
    : QDialog(parent), allocation_(allocation) {
  // The quantities are base units (boxes, not the 中包 the line may be entered in): say which.
  // Opened from a "..." button the places are only shown, and the title must not promise an
  // allocation the dialog will not take.
  const QString title = allocation_.ViewOnly() ? QStringLiteral("查看货位") : QStringLiteral("货位分配");
  setWindowTitle(allocation_.UnitName().empty()
                     ? title
                     : QStringLiteral("%1（单位：%2）").arg(title, QString::fromStdString(allocation_.UnitName())));
  model_ = new GoodsPlaceTableModel(allocation_, this);
  auto* delegate = new QuantityCellDelegate(this);

  grid_ = new QTableView(this);
  grid_->setObjectName(QStringLiteral("Grid"));
  grid_->setModel(model_);
  grid_->setItemDelegateForColumn(GoodsPlaceTableModel::kQuantity, delegate);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(allocation_.ViewOnly() ? QAbstractItemView::NoEditTriggers
                                                : QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                                                      QAbstractItemView::EditKeyPressed);
  grid_->setAlternatingRowColors(true);
  // Tab goes on to the buttons, as in any dialog: walking the cells put the clerk on a place's
  // code or name, where the quantity he typed went nowhere. Enter and the arrows walk the rows.
  grid_->setTabKeyNavigation(false);
  grid_->verticalHeader()->hide();
  grid_->horizontalHeader()->setHighlightSections(false);
  grid_->horizontalHeader()->setSectionResizeMode(GoodsPlaceTableModel::kName, QHeaderView::Stretch);

  totals_ = new QLabel(this);
  totals_->setObjectName(QStringLiteral("Totals"));

  auto* buttons = new QDialogButtonBox(this);
  confirm_ = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
  close_ = buttons->addButton(allocation_.ViewOnly() ? QStringLiteral("关闭") : QStringLiteral("取消"),
                              QDialogButtonBox::RejectRole);
  confirm_->setVisible(!allocation_.ViewOnly());

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(grid_, 1);
  layout->addWidget(totals_);
  layout->addWidget(buttons);

  connect(buttons, &QDialogButtonBox::accepted, this, &GoodsPlaceDialogView::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &GoodsPlaceDialogView::reject);
  connect(delegate, &QuantityCellDelegate::Entered, this, &GoodsPlaceDialogView::MoveOn);
  connect(delegate, &QuantityCellDelegate::Escaped, this, &GoodsPlaceDialogView::reject);
  connect(model_, &GoodsPlaceTableModel::dataChanged, this, &GoodsPlaceDialogView::ShowTotals);
  grid_->installEventFilter(this);

  ResizeWithinScreen(*this, QSize(560, 360));
  ShowTotals();
  if (model_->rowCount() > 0) grid_->setCurrentIndex(model_->index(0, GoodsPlaceTableModel::kQuantity));
  grid_->setFocus();
}

GoodsPlaceDialogView::~GoodsPlaceDialogView() = default;

void GoodsPlaceDialogView::accept() {
  if (allocation_.MayConfirm()) QDialog::accept();
}

bool GoodsPlaceDialogView::eventFilter(QObject* watched, QEvent* event) {
  if (watched != grid_ || event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return QDialog::eventFilter(watched, event);
  MoveOn();
  return true;
}

// Enter confirms as soon as the places add up to the quantity, from whichever row: the clerk who
// puts the whole line on the first place is done there, and should not have to walk the rows
// left empty. Until then it moves on to the next row's quantity; on the last row a total that
// does not agree keeps the dialog open there, with the reason shown under the grid.
void GoodsPlaceDialogView::MoveOn() {
  if (allocation_.ViewOnly()) return reject();
  if (allocation_.MayConfirm()) return accept();
  const int next = grid_->currentIndex().row() + 1;
  if (next < model_->rowCount()) grid_->setCurrentIndex(model_->index(next, GoodsPlaceTableModel::kQuantity));
  grid_->setFocus();
}

void GoodsPlaceDialogView::ShowTotals() {
  totals_->setText(QString::fromStdString(allocation_.Summary()));
  confirm_->setEnabled(allocation_.MayConfirm());
}

}  // namespace storeadjust::qt
