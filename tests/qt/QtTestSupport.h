#pragma once
// What the desktop tests share: one QApplication for the whole program (offscreen unless the
// caller chose a platform), a goods table in a temporary SQLite file with as many rows as a test
// asks for, and a way to act on the modal window a call under test opens.
#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "adodb/Recordset.h"
#include "support/TempDatabase.h"

namespace qttest {

// A database file holding goods(code, name, gg) with codes G000001.. in order.
class GoodsDatabase : public testsupport::TempDatabase {
 public:
  explicit GoodsDatabase(int rows);
  // Rows in code order, headed by the Chinese aliases 编号, 名称, 规格.
  std::shared_ptr<adodb::Recordset> OpenGoods(const std::string& where = {}) const;

 private:
  std::shared_ptr<adodb::Connection> connection_ = Open();
};

// Types text into the widget as key presses carrying the characters (QTest's key clicks know
// ASCII only; an input method hands Chinese over the same way).
void TypeText(QWidget& widget, const QString& text);

// Runs `act` on the modal window once the event loop of the call under test has shown it.
void WhenModalShows(std::function<void(QWidget& modal)> act);

// What a message box showed before the test dismissed it with its first button.
struct ShownBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
};
// The next modal window must be a message box: record it into `shown` and dismiss it.
void DismissNextBox(ShownBox& shown);

}  // namespace qttest
