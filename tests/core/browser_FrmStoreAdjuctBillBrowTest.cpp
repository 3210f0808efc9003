// The browser's commands as the user meets them: what a failing deletion shows, and where it stops.
#include <gtest/gtest.h>

#include "browse/FrmStoreAdjuctBillBrow.h"
#include "db/SqliteFile.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

using testsupport::ShownBoxes;

class FrmStoreAdjuctBillBrowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session.OptCode = "001";
    session.OptName = "系统管理员";
    session.SysDate = adodb::Date{2024, 3, 5};
    browser.Load();
  }

  long RowOf(const std::string& lsh) {
    for (long row = 1; row < browser.ListGrid().Rows(); ++row) {
      if (browser.ListGrid().TextMatrix(row, 1) == lsh) return row;
    }
    ADD_FAILURE() << lsh << " is not listed";
    return 0;
  }

  testsupport::TempDatabase db{db::CreateDemoDatabase};
  ScriptedUserInterface ui;
  Session session = testsupport::OpenSession(db, ui);
  FrmStoreAdjuctBillBrow browser{session};
};

TEST_F(FrmStoreAdjuctBillBrowTest, AFailingDeletionShowsTheDatabaseWordsAndStopsAtThatRow) {
  const long first = RowOf("DBD202403010001");
  const long second = RowOf("DBD202403010002");
  ASSERT_LT(first, second);
  browser.ListGrid().SetMarked(first, true);
  browser.ListGrid().SetMarked(second, true);
  db::SqliteFile(db.Path())
      .Execute("create trigger keep_lines before delete on ckdbdzkmx begin select raise(abort, 'lines locked'); end");
  ui.QueueAnswer(mb::kYes);

  browser.DeleteMarkedBills();

  EXPECT_EQ(ShownBoxes(ui), "292 提示:|您确定要删除吗？[Y/N]\n48 系统提示|lines locked\n");
  EXPECT_TRUE(browser.ListGrid().IsMarked(first));  // the failing row, and every row after it, stay marked
  EXPECT_TRUE(browser.ListGrid().IsMarked(second));
  EXPECT_EQ(db.Count("select count(*) from ckdbdzk where lsh in ('DBD202403010001','DBD202403010002')"), 2);
}

}  // namespace
}  // namespace storeadjust
