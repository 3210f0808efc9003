#include "qt/OpenEndedDateEdit.h"

#include <QCalendarWidget>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace storeadjust::qt {

OpenEndedDateEdit::OpenEndedDateEdit(const QDate& start, QWidget* parent) : QDateEdit(parent), start_(start) {
  setCalendarPopup(true);
  calendarWidget()->installEventFilter(this);
}

void OpenEndedDateEdit::stepBy(int steps) {
  if (IsOpenEnded() && start_.isValid()) return setDate(start_);
  QDateEdit::stepBy(steps);
}

// The popup selects the box's date as it opens; at the open end the page then turns to the start.
bool OpenEndedDateEdit::eventFilter(QObject* watched, QEvent* event) {
  if (watched == calendarWidget() && event->type() == QEvent::Show && IsOpenEnded() && start_.isValid())
    calendarWidget()->setCurrentPage(start_.year(), start_.month());
  return QDateEdit::eventFilter(watched, event);
}

// The date box takes Tab for itself while its special text shows (it has no section to move to
// and keeps the focus): the clerk tabbing along the find row was held in 不限 for good.
void OpenEndedDateEdit::keyPressEvent(QKeyEvent* event) {
  const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
  if (tab && IsOpenEnded() && (event->modifiers() & ~Qt::ShiftModifier) == Qt::NoModifier) {
    QWidget::focusNextPrevChild(event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier));
    return event->accept();
  }
  // A date typed over 不限 was typed into the special text ("不限0240302"), which no date reads:
  // the range stayed open without a word. The digits now replace a whole date, from its year on;
  // over the whole text selected the box refused every digit, and only the parts after a '-' came
  // through into the start's year (20231201 stayed 2024-03-05, 2023-12-01 became 2024-12-01).
  const QString typed = event->text();
  if (IsOpenEnded() && start_.isValid() && typed.size() == 1 && typed.front().isDigit()) {
    setDate(start_);
    setSelectedSection(QDateTimeEdit::YearSection);
  }
  // Erasing the whole date left an empty box the range still read as the old date, and Tab then
  // kept the focus: the clerk had no key back to 不限. Erased whole, the range is open again.
  const bool erase = event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete;
  if (erase && !IsOpenEnded() && lineEdit()->hasSelectedText() && lineEdit()->selectedText() == lineEdit()->text()) {
    setDate(minimumDate());
    selectAll();
    return event->accept();
  }
  QDateEdit::keyPressEvent(event);
}

}  // namespace storeadjust::qt
