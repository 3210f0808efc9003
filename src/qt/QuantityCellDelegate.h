#pragma once
// The editor of a quantity cell: a line edit that takes digits and one decimal point only, so
// neither letters nor a minus sign can be typed. Enter commits the cell and closes it before
// saying Entered, Esc drops the cell and says Escaped: the dialog decides what follows (the
// next row, confirming, cancelling), the same as when the grid itself has the key.
#include <QStyledItemDelegate>

namespace storeadjust::qt {

class QuantityCellDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 signals:
  void Entered();
  void Escaped();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace storeadjust::qt
