#include "qt/DateTyping.h"

#include <QApplication>
#include <QDateEdit>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QToolTip>

namespace storeadjust::qt {

namespace {

class SeparatorAfterFullPart : public QObject {
 public:
  explicit SeparatorAfterFullPart(QDateEdit& edit) : QObject(&edit), edit_(edit) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &edit_ && event->type() == QEvent::FocusIn && !passing_) return TakeFocus(event);
    if (watched != &edit_ || event->type() != QEvent::KeyPress || passing_) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString typed = key->text();
    const int part = edit_.currentSectionIndex();
    // Enter while the part is the clerk's to type again stays here: the date shown is not the one
    // he typed (2024-02-30 shows 2024-02-03), and going on would take it as the bill's.
    if (told_ && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) return true;
    if (told_) QToolTip::hideText();  // the next key answers the tip
    told_ = false;
    if (typed.size() == 1 && typed.front().isDigit()) {
      TakeDigit(event, part, typed);
      return true;
    }
    const bool movedOnByItself = digitPart_ >= 0 && part == digitPart_ + 1;
    digitPart_ = -1;
    return movedOnByItself && typed.size() == 1 && typed.front().isPunct();
  }

 private:
  // A digit the part cannot take (a 30th of February, a 13th month) was dropped without a word:
  // 2024-02-30 became 2024-02-03. The digits typed into the part are kept to see whether the part
  // shows them; when it does not, the clerk is told and the part is his to type again.
  void TakeDigit(QEvent* event, int part, const QString& digit) {
    const bool openEnded = !edit_.specialValueText().isEmpty() && edit_.date() == edit_.minimumDate();
    if (part != digitPart_ || openEnded) partDigits_.clear();
    const QString wanted = partDigits_ + digit;
    passing_ = true;
    QCoreApplication::sendEvent(&edit_, event);
    passing_ = false;
    const QDateTimeEdit::Section section = edit_.sectionAt(part);
    const bool shown = openEnded || edit_.sectionText(section).toInt() == wanted.toInt();
    if (!shown || wanted.size() > edit_.sectionText(section).size()) return Refuse(section, wanted);
    const int now = edit_.currentSectionIndex();
    partDigits_ = now == part || openEnded ? wanted : QString();
    digitPart_ = openEnded ? now : part;
  }

  // Shift+Tab into the box left its day selected, so a date typed whole went into the day
  // (2023-02-28 gave 2024-02-20): come by the keys from either side, a date is typed from its year.
  bool TakeFocus(QEvent* event) {
    digitPart_ = -1;
    passing_ = true;
    QCoreApplication::sendEvent(&edit_, event);
    passing_ = false;
    const bool shiftTab = static_cast<QFocusEvent*>(event)->reason() == Qt::BacktabFocusReason;
    if (shiftTab) edit_.setSelectedSection(edit_.sectionAt(0));
    return true;
  }

  void Refuse(QDateTimeEdit::Section section, const QString& wanted) {
    const QDate date = edit_.date();
    QString why = QStringLiteral("年份不对：%1").arg(wanted);
    if (section == QDateTimeEdit::MonthSection) why = QStringLiteral("没有%1月").arg(wanted);
    if (section == QDateTimeEdit::DaySection)
      why = QStringLiteral("%1年%2月没有%3日").arg(date.year()).arg(date.month()).arg(wanted);
    QApplication::beep();
    edit_.setSelectedSection(section);
    const QPoint below = edit_.mapToGlobal(QPoint(0, edit_.height()));
    QToolTip::showText(below, why + QStringLiteral("，请重新输入"), &edit_);
    partDigits_.clear();
    digitPart_ = -1;
    told_ = true;
  }

  QDateEdit& edit_;
  bool passing_ = false;
  bool told_ = false;
  int digitPart_ = -1;   // the part the last digit was typed into
  QString partDigits_;   // the digits typed into that part so far
};

}  // namespace

void TakeSeparatorsAsTyped(QDateEdit& edit) { edit.installEventFilter(new SeparatorAfterFullPart(edit)); }

}  // namespace storeadjust::qt
