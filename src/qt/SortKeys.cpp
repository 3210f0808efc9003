#include "qt/SortKeys.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <algorithm>
#include <utility>

namespace storeadjust::qt {

namespace {

class SortKeyFilter : public QObject {
 public:
  SortKeyFilter(QTableView& grid, std::function<void(int, bool)> sort)
      : QObject(&grid), grid_(grid), sort_(std::move(sort)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* press = static_cast<QKeyEvent*>(event);
    const bool up = press->key() == Qt::Key_Up;
    if ((!up && press->key() != Qt::Key_Down) || press->modifiers() != Qt::ControlModifier) return false;
    sort_(std::max(0, grid_.currentIndex().column()), up);
    return true;
  }

 private:
  QTableView& grid_;
  std::function<void(int, bool)> sort_;
};

class CurrentCellFrame : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyledItemDelegate::paint(painter, option, index);
    if (!option.state.testFlag(QStyle::State_HasFocus)) return;
    painter->save();
    painter->setPen(QPen(option.palette.color(QPalette::HighlightedText), 1, Qt::DotLine));
    painter->drawRect(option.rect.adjusted(1, 1, -2, -2));
    painter->restore();
  }
};

}  // namespace

QString SortKeysHint() { return QStringLiteral("Ctrl+↑/↓ → 按所在列排序"); }

QString SortKeysToolTip() { return QStringLiteral("单击列标题排序；在某一列中按 Ctrl+↑ 升序、Ctrl+↓ 降序"); }

void SortByKeys(QTableView& grid, std::function<void(int column, bool ascending)> sort) {
  grid.setItemDelegate(new CurrentCellFrame(&grid));
  grid.installEventFilter(new SortKeyFilter(grid, std::move(sort)));
}

}  // namespace storeadjust::qt
