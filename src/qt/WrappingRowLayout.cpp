#include "qt/WrappingRowLayout.h"

#include <algorithm>

namespace storeadjust::qt {

WrappingRowLayout::WrappingRowLayout(QWidget* parent) : QLayout(parent) {}

WrappingRowLayout::~WrappingRowLayout() {
  while (QLayoutItem* item = takeAt(0)) delete item;
}

void WrappingRowLayout::addItem(QLayoutItem* item) { items_.append(item); }

int WrappingRowLayout::count() const { return static_cast<int>(items_.size()); }

QLayoutItem* WrappingRowLayout::itemAt(int index) const {
  return index >= 0 && index < items_.size() ? items_.at(index) : nullptr;
}

QLayoutItem* WrappingRowLayout::takeAt(int index) {
  return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}

Qt::Orientations WrappingRowLayout::expandingDirections() const { return {}; }

bool WrappingRowLayout::hasHeightForWidth() const { return true; }

int WrappingRowLayout::heightForWidth(int width) const { return Arrange(QRect(0, 0, width, 0), false); }

// As narrow as its widest item: every other item can go on a line of its own.
QSize WrappingRowLayout::minimumSize() const {
  QSize size;
  for (const QLayoutItem* item : items_) size = size.expandedTo(item->minimumSize());
  const QMargins margins = contentsMargins();
  return size + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

// All on one line.
QSize WrappingRowLayout::sizeHint() const {
  int width = 0, height = 0, shown = 0;
  for (const QLayoutItem* item : items_) {
    if (item->isEmpty()) continue;
    width += item->sizeHint().width();
    height = std::max(height, item->sizeHint().height());
    ++shown;
  }
  const QMargins margins = contentsMargins();
  width += std::max(0, shown - 1) * std::max(0, spacing());
  return QSize(width + margins.left() + margins.right(), height + margins.top() + margins.bottom());
}

void WrappingRowLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  Arrange(rect, true);
}

int WrappingRowLayout::Arrange(const QRect& rect, bool place) const {
  const QRect inner = rect.marginsRemoved(contentsMargins());
  const int gap = std::max(0, spacing());
  // The items of each line are placed once the line's height is known, each centred in it.
  QList<QLayoutItem*> line;
  int x = inner.x(), y = inner.y(), lineHeight = 0;
  const auto placeLine = [&] {
    int left = inner.x();
    for (QLayoutItem* item : line) {
      const QSize size = item->sizeHint();
      if (place) item->setGeometry(QRect(QPoint(left, y + (lineHeight - size.height()) / 2), size));
      left += size.width() + gap;
    }
    line.clear();
  };
  for (QLayoutItem* item : items_) {
    if (item->isEmpty()) continue;
    const QSize size = item->sizeHint();
    if (!line.isEmpty() && x + size.width() > inner.right() + 1) {
      placeLine();
      y += lineHeight + gap;
      x = inner.x();
      lineHeight = 0;
    }
    line.append(item);
    x += size.width() + gap;
    lineHeight = std::max(lineHeight, size.height());
  }
  placeLine();
  const QMargins margins = contentsMargins();
  return y + lineHeight - rect.y() + margins.bottom();
}

}  // namespace storeadjust::qt
