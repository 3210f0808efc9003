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

TEST_F(EditorFormTest, NewBillRefusedWithoutTheRight) {
  session_.OptCode = "005";  // 赵六: no 新增
  OpenNew();
  EXPECT_EQ(ShownBoxes(ui_), "48 系统提示|对不起，你没有此权限！\n");
  EXPECT_EQ(form_.Text("TxtLSH"), "");
  EXPECT_FALSE(form_.HasPendingTimers());
}

TEST_F(EditorFormTest, NoSerialStopsBeforeTheFieldsAreCleared) {
  db_.Run({"update t_billnum set fused=0", "delete from sys_dh where id='001'"});
  OpenNew();
  EXPECT_EQ(ShownBoxes(ui_), "16 错误:|" + kNoCurrentRecord + "\n获取流水号错误,请与管理员联系！\n");
  EXPECT_EQ(form_.Text("TxtCzryName"), "");
}

TEST_F(EditorFormTest, StoredBillLoadsHeaderLinesAndPanel) {
  db_.Run({"update ckdbdzkmx set bz='line remark' where lsh='DBD202403010001'"});
  OpenStored("DBD202403010001");
  EXPECT_FALSE(session_.IsNewBill);
  EXPECT_EQ(form_.Text("TxtBZ"), "门店补货") << "the header's remark, not a line's";
  EXPECT_EQ(form_.Text("TxtBcCkID"), "01");
  EXPECT_EQ(form_.Text("txtBrCkName"), "一号门店仓");
  EXPECT_EQ(form_.Text("DTPKdrq"), "2024-03-01");
  EXPECT_TRUE(form_.Control("TxtLsze").locked);
  EXPECT_EQ(form_.Caption, "仓库调拨单 - DBD202403010001");
  GridModel& lines = *form_.Grid("VfgContent");
  ASSERT_EQ(lines.Rows(), 4);
  EXPECT_EQ(lines.TextMatrix(3, 2), "0014");
  GridModel& panel = *form_.Grid("VfgSpxx");
  EXPECT_EQ(panel.TextMatrix(1, 0), "感冒灵颗粒") << "the last line's goods";
  EXPECT_EQ(panel.TextMatrix(1, panel.Cols() - 2), "443.2");
  EXPECT_EQ(panel.TextMatrix(1, panel.Cols() - 1), "712.6");
  form_.FireTimers();
  EXPECT_EQ(form_.Focus(), "TxtHH");
  form_.SelectRow("VfgContent", 2);
  EXPECT_EQ(panel.TextMatrix(1, 0), "布洛芬缓释胶囊");
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

TEST_F(EditorFormTest, PriceEnterComputesTheAmount) {
  OpenNew();
  form_.Type("TxtDj", "2.5");
  form_.Type("TxtSl", "4");
  form_.KeyDown("TxtDj", key::kReturn);
  EXPECT_EQ(form_.Text("TxtJe"), "10");
  EXPECT_EQ(form_.Focus(), "TxtSl");
}

TEST(PhkColumnsTest, ExcludedColumnsLeaveTheRestInOrderAndCase) {
  EXPECT_EQ(PhkColumnListOf({"HH", "PH", "DH", "StockID", "SL", "GoodsPlaces", "SellPrice", "bcsl"}), "SellPrice,bcsl");
  EXPECT_EQ(PhkColumnListOf({"hh", "kh"}), "");
}

}  // namespace
}  // namespace storeadjust
