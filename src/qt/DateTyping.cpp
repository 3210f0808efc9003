#include "qt/DateTyping.h"

#include <QDateEdit>
#include <QEvent>
#include <QKeyEvent>

namespace storeadjust::qt {

namespace {

class SeparatorAfterFullPart : public QObject {
 public:
  explicit SeparatorAfterFullPart(QDateEdit& edit) : QObject(&edit), edit_(edit) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != &edit_ || event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const QString typed = static_cast<QKeyEvent*>(event)->text();
    const int part = edit_.currentSectionIndex();
    if (typed.size() == 1 && typed.front().isDigit()) {
      digitPart_ = part;  // before the box takes the digit, and perhaps moves on
      return false;
    }
    const bool movedOnByItself = digitPart_ >= 0 && part == digitPart_ + 1;
    digitPart_ = -1;
    return movedOnByItself && typed.size() == 1 && typed.front().isPunct();
  }

 private:
  QDateEdit& edit_;
  int digitPart_ = -1;  // the part the last key, a digit, was typed into
};

}  // namespace

void TakeSeparatorsAsTyped(QDateEdit& edit) { edit.installEventFilter(new SeparatorAfterFullPart(edit)); }

}  // namespace storeadjust::qt
