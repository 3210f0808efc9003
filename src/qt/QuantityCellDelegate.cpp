#include "qt/QuantityCellDelegate.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace storeadjust::qt {

QWidget* QuantityCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                            const QModelIndex& index) const {
  QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
  if (auto* line = qobject_cast<QLineEdit*>(editor)) {
    line->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // A minus for goods going back; the allocation refuses a sign other than the line's.
    line->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]*\\.?[0-9]*")), line));
  }
  return editor;
}

// The base class commits on Enter only later, through a queued call; the dialog must see the new
// total before it decides whether Enter confirms, so the cell is committed here and now.
bool QuantityCellDelegate::eventFilter(QObject* watched, QEvent* event) {
  auto* editor = qobject_cast<QWidget*>(watched);
  if (editor == nullptr || event->type() != QEvent::KeyPress) return QStyledItemDelegate::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
    emit Entered();
    return true;
  }
  if (key == Qt::Key_Escape) {
    emit closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    emit Escaped();
    return true;
  }
  return QStyledItemDelegate::eventFilter(watched, event);
}

}  // namespace storeadjust::qt
