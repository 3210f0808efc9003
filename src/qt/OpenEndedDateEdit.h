#pragma once
// A date box whose lowest date stands for an open end of a range and reads as its special text
// (不限). Stepping up or down from the open end, or opening the calendar there, starts at a date
// the clerk is likely to want rather than at the year 1900; a date typed there is taken whole, and a
// date erased whole opens the end again. Tab and Shift+Tab leave it at the open end as at any date.
#include <QDate>
#include <QDateEdit>

namespace storeadjust::qt {

class OpenEndedDateEdit : public QDateEdit {
 public:
  OpenEndedDateEdit(const QDate& start, QWidget* parent);

  bool IsOpenEnded() const { return date() == minimumDate(); }
  void stepBy(int steps) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QDate start_;
};

}  // namespace storeadjust::qt
