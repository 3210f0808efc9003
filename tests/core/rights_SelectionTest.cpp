// The selection dialog's choices and the selection templates, on a real embedded database.
#include <gtest/gtest.h>

#include "host/SelectDialog.h"
#include "host/SelectTemplates.h"
#include "adodb/Error.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

using testsupport::OpenSession;
using testsupport::TempDatabase;

class SelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_.Run({"insert into gl_stock (id,name) values ('01','总仓'), ('02','门店仓'), ('03','退货仓')"});
  }

  TempDatabase db_{db::CreateEmptyDatabase};
  ScriptedUserInterface ui_;
  Session session_ = OpenSession(db_, ui_);
};

// The dialog keeps its own connection from one list to the next: it never sees what the session
// has not committed, and sees what it has.
TEST_F(SelectionTest, ListsStayOutsideTheSessionTransactionAcrossDialogs) {
  const std::string count = "select count(*) 数, 'x' 名 from gl_stock";
  EXPECT_EQ(SelectFromList(session_, count, false, {})[1].AsInt32(), 3);
  auto lists = session_.ListConn;
  session_.Conn->BeginTrans();
  session_.Conn->Execute("insert into gl_stock (id,name) values ('04','冷链仓')");
  EXPECT_EQ(SelectFromList(session_, count, false, {})[1].AsInt32(), 3);
  session_.Conn->CommitTrans();
  EXPECT_EQ(SelectFromList(session_, count, false, {})[1].AsInt32(), 4);
  EXPECT_EQ(session_.ListConn, lists) << "one connection for every list";
}

// The batch choice always asks, even for one row. Filling a template in is played by
// scenarios/entry/warehouses.scn; here, a quote in the operator code stays inside its literal.
TEST_F(SelectionTest, BatchChoiceAsksEvenForOneRowAndAQuoteStaysInsideTheTemplate) {
  db_.Run({"insert into GLSelect (FDH,FSQL) values ('调出仓库选择',"
           "'select id,name from gl_stock where KM5=''[操作人员编号]'' or 1=1 [选择条件]')"});
  session_.OptCode = "x' or '1'='1";
  const std::string sql = LoadSelectTemplate(session_, "调出仓库选择", "", " and id='02'");
  EXPECT_EQ(sql, "select id,name from gl_stock where KM5='x'' or ''1''=''1' or 1=1  and id='02'");
  // Nothing queued: the scripted interface refuses to be asked, which proves it was.
  EXPECT_THROW(SelectFromList(session_, sql, true, {}), ScriptError);
  ui_.QueueChoice(1);
  const auto result = SelectFromList(session_, sql, true, {});
  EXPECT_GT(result[0].AsInt32(), 0);
  EXPECT_EQ(result[1].AsText(), "02");
  EXPECT_EQ(LoadSelectTemplate(session_, "it's", "select 2", ""), "select 2");  // nor in the key
  EXPECT_TRUE(ui_.Boxes().empty());
  // A refused query or connection reaches the caller.
  EXPECT_THROW(SelectFromList(session_, "select nothing from nowhere", false, {}), adodb::Error);
  session_.ConnStr = "Provider=Nobody;Data Source=x";
  EXPECT_THROW(SelectFromList(session_, "select id from gl_stock", false, {}), adodb::Error);
}

// A condition placed twice takes its values at each place, a path's condition put into it later
// takes its own after them, and a ? inside the template's own literal is no mark.
TEST_F(SelectionTest, AConditionFilledTwiceBindsItsValuesWhereTheyStand) {
  BoundSql statement = FillSelectCondition(
      "select id from gl_stock where name<>'?' [选择条件] union select id from gl_stock where 1=1 [选择条件]",
      {" and id<>? [Where条件]", {adodb::BoundText("03")}});
  statement = FillPlaceholder(statement, "[Where条件]", {" and name like ?", {adodb::BoundText("%仓")}});
  std::string values;
  for (const auto& value : statement.values) values += value.Value().TextOrEmpty() + "|";
  EXPECT_EQ(values, "03|%仓|03|%仓|");
  auto rows = session_.Conn->OpenRecordset(statement.text + " order by id", statement.values);
  EXPECT_EQ(rows->RecordCount(), 2);
}

}  // namespace
}  // namespace storeadjust
