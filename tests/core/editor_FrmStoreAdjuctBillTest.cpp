// The editor against the demo database: the refusals and failures that must reach the user, a
// loaded bill's header and panel, and the settings the load applies. A new bill closed without
// lines is played in new_bill_and_f2.scn.
#include <gtest/gtest.h>

#include "editor/FrmStoreAdjuctBill.h"
#include "editor/PhkColumns.h"
#include "support/ModuleSession.h"
#include "host/KeyCodes.h"

namespace storeadjust {
namespace {

using testsupport::ShownBoxes;
using testsupport::TempDatabase;

// What a read past the last row says; the module adds its own line below it.
const std::string kNoCurrentRecord =
    "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a current record.";

class EditorFormTest : public ::testing::Test {
 protected:
  void OpenNew() {
    session_.IsNewBill = true;
    session_.CurrentLSH.clear();
    form_.Load();
  }
  void OpenStored(const std::string& lsh) {
    session_.IsNewBill = false;
    session_.CurrentLSH = lsh;
    form_.Load();
  }

  TempDatabase db_{db::CreateDemoDatabase};
  ScriptedUserInterface ui_;
  Session session_ = testsupport::OpenEditorSession(db_, ui_);
  FrmStoreAdjuctBill form_{session_};
};

TEST_F(EditorFormTest, NoSerialStopsBeforeTheFieldsAreCleared) {
  db_.Run({"update t_billnum set fused=0", "delete from sys_dh where id='001'"});
  OpenNew();
  EXPECT_EQ(ShownBoxes(ui_), "16 错误:|" + kNoCurrentRecord + "\n获取流水号错误,请与管理员联系！\n");
  EXPECT_EQ(form_.Text("TxtCzryName"), "");
}

TEST_F(EditorFormTest, AmountTotalHiddenWhenBatchPricesAreForbidden) {
  db_.Run({"update t_SystemProfile set FValue='true' where FKey='ForbiddenViewBatchPrice'"});
  OpenStored("DBD202403010001");
  EXPECT_EQ(form_.ForbiddenViewBatchPrice, "1");
  GridModel& panel = *form_.Grid("VfgSpxx");
  EXPECT_EQ(panel.TextMatrix(0, panel.Cols() - 2), "金额合计");
  EXPECT_EQ(panel.TextMatrix(1, panel.Cols() - 2), "");
  EXPECT_EQ(panel.TextMatrix(1, panel.Cols() - 1), "712.6");
}

TEST_F(EditorFormTest, SerialWithoutLinesOrOutWarehouseReportsTheLoadFailure) {
  OpenStored("NO'SUCH");
  db_.Run({"update ckdbdzk set dcstockid='99' where lsh='DBD202403010001'"});
  std::string lsh = "DBD202403010001";
  form_.AmendAddNew(lsh);
  const std::string failed = "16 错误:|" + kNoCurrentRecord + "\n数据添加失败,请与管理员联系！\n";
  EXPECT_EQ(ShownBoxes(ui_), failed + failed);
}

TEST_F(EditorFormTest, LoadAppliesSettings) {
  db_.Run({"update sys_var set slws=3, wsjws=4", "update t_SystemProfile set FValue='ok' where FKey='ForbiddenViewBatchPrice'"});
  session_.SysVarRs = session_.Conn->OpenRecordset("select * from sys_var");
  session_.SysVarRs->MoveFirst();
  session_.isNotPh = true;
  OpenNew();
  EXPECT_EQ(form_.Control("TxtSl").decimals, 3);
  EXPECT_EQ(form_.Control("TxtDj").decimals, 4);
  EXPECT_FALSE(form_.Visible("Chk1"));
  EXPECT_EQ(form_.ForbiddenViewBatchPrice, "ok");
  EXPECT_EQ(form_.PhkColumnList, "bcsl,SellPrice");
}

TEST_F(EditorFormTest, LoadFailureShowsItsMessageAndPreparesNoBill) {
  session_.SysVarRs.reset();
  OpenNew();
  EXPECT_EQ(ShownBoxes(ui_), "48 提示：|Operation is not allowed when the object is closed.\n读取数据失败失败,请与管理员联系！\n");
  EXPECT_TRUE(form_.IsOpen());
  EXPECT_EQ(form_.Text("TxtLSH"), "");
}

// The title names the bill; the retail total is not typed before goods kept by amount only are taken.
TEST_F(EditorFormTest, NewBillNamesItsSerialInTheTitleAndLocksTheRetailTotal) {
  OpenNew();
  EXPECT_EQ(form_.Caption, "仓库调拨单 - DBD202403050005");
  EXPECT_TRUE(form_.Control("TxtLsze").locked);
}

TEST(PhkColumnsTest, ExcludedColumnsLeaveTheRestInOrderAndCase) {
  EXPECT_EQ(PhkColumnListOf({"HH", "PH", "DH", "StockID", "SL", "GoodsPlaces", "SellPrice", "bcsl"}), "SellPrice,bcsl");
  EXPECT_EQ(PhkColumnListOf({"hh", "kh"}), "");
}

}  // namespace
}  // namespace storeadjust
