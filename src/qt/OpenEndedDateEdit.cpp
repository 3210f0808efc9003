#include "qt/OpenEndedDateEdit.h"

#include <QCalendarWidget>
#include <QEvent>

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

}  // namespace storeadjust::qt
