// A bill of 200 lines walked at the keyboard in the editor's window: PgDn and Ctrl+End move the
// current line with the grid, F3 on a far line takes that line, and Del on a far line deletes that
// line and leaves the clerk beside it, where the grid shows him.
#include "DemoDesktop.h"
#include "host/ScriptedUserInterface.h"

namespace {

class LongBillViewTest : public qttest::DemoDesktop<storeadjust::ScriptedUserInterface> {
 protected:
  void SetUp() override {
    // Lines 1004 to 1200, one unit each, copied in turn from the bill's lines 1001 to 1003.
    std::string numbers = "select 1004 as n";
    for (int dh = 1005; dh <= 1200; ++dh) numbers += " union all select " + std::to_string(dh);
    db.Run({"insert into ckdbdzkmx select a.lsh, cast(n.n as varchar(20)), a.hh, a.pm, a.ph, a.pcdh, a.dj, 1, a.dj,"
            " a.lsj, a.lsj, a.wslsze, a.cj, a.dw, 1, a.kh, a.bz, a.dcstockid, a.drstockid"
            " from ckdbdzkmx a inner join (" + numbers + ") n on a.dh = cast(1001 + (n.n - 1001) % 3 as varchar(20))"
            " where a.lsh = 'DBD202403010001'"});
    ASSERT_EQ(db.Count("select count(*) from ckdbdzkmx where lsh='DBD202403010001'"), 200);
    OpenEditor("DBD202403010001");
    lines = view->LinesView();
    lines->setFocus();
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(lines, key, modifiers);
    QApplication::processEvents();
  }
  QString CurrentDh() const { return lines->model()->index(lines->currentIndex().row(), 1).data().toString(); }
  bool CurrentInSight() const {
    const QRect at = lines->visualRect(lines->currentIndex());
    return at.isValid() && lines->viewport()->rect().contains(at);
  }

  QTableView* lines = nullptr;
};

TEST_F(LongBillViewTest, TheCurrentLineStaysWhereTheClerkMovedItAndInSight) {
  ASSERT_EQ(lines->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("单号"));
  Key(Qt::Key_PageDown);
  EXPECT_GT(CurrentDh().toInt(), 1001);
  EXPECT_TRUE(CurrentInSight());
  EXPECT_EQ(form->Grid("VfgContent")->Row, lines->currentIndex().row() + 1);
  Key(Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(CurrentDh(), QStringLiteral("1200"));
  EXPECT_TRUE(CurrentInSight());
  for (int i = 0; i < 5; ++i) Key(Qt::Key_Up);
  EXPECT_EQ(CurrentDh(), QStringLiteral("1195"));

  Key(Qt::Key_F3);  // the far line into the entry row; the grid stays on it
  EXPECT_EQ(Field("TxtHH")->text(), QStringLiteral("0014"));
  EXPECT_EQ(CurrentDh(), QStringLiteral("1195"));
  EXPECT_TRUE(CurrentInSight());

  lines->setFocus();
  for (int i = 0; i < 10; ++i) Key(Qt::Key_Up);
  ASSERT_EQ(CurrentDh(), QStringLiteral("1185"));
  ui.QueueAnswer(storeadjust::mb::kYes);
  Key(Qt::Key_Delete);
  EXPECT_EQ(db.Count("select count(*) from ckdbdzkmx where lsh='DBD202403010001' and dh='1185'"), 0);
  EXPECT_EQ(db.Count("select count(*) from ckdbdzkmx where lsh='DBD202403010001'"), 199);
  EXPECT_EQ(CurrentDh(), QStringLiteral("1186"));
  EXPECT_TRUE(CurrentInSight());
  form->Close();
}

}  // namespace
