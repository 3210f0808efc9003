// The two warehouses a line may be stored between, on the demo database: ids compared as the
// database compares them, a quote in a typed id, the operator's warehouse scope, and the check
// read again inside the save's transaction.
#include <gtest/gtest.h>

#include "lines/LineSaving.h"
#include "lines/WarehouseCheck.h"
#include "support/ErrorOf.h"
#include "support/ModuleSession.h"
#include "support/TransferLine.h"

namespace storeadjust {
namespace {

class WarehouseCheckTest : public ::testing::Test {
 protected:
  // The fault and the side at fault, as one text: "None", "Missing out", "Same in" ...
  std::string Verdict(const std::string& out, const std::string& in, const std::string& scope = {}) {
    const WarehouseVerdict verdict = CheckBillWarehouses(session_, out, in, scope);
    switch (verdict.fault) {
      case WarehouseFault::None: return "None";
      case WarehouseFault::Missing: return std::string("Missing ") + (verdict.outSide ? "out" : "in");
      case WarehouseFault::OutsideScope: return std::string("OutsideScope ") + (verdict.outSide ? "out" : "in");
      case WarehouseFault::Same: return std::string("Same ") + (verdict.outSide ? "out" : "in");
    }
    return "?";
  }

  testsupport::TempDatabase db_{db::CreateDemoDatabase};
  ScriptedUserInterface ui_;
  Session session_ = testsupport::OpenEditorSession(db_, ui_);
};

TEST_F(WarehouseCheckTest, IdsCompareAsTheDatabaseComparesThem) {
  db_.Run({"insert into gl_stock (id, name, FDeleted, KM5) values ('A1', '甲仓', 0, NULL)"});
  EXPECT_EQ(Verdict("01", "02"), "None");
  // A trailing blank or another case names the same warehouse: a transfer into itself.
  EXPECT_EQ(Verdict("01 ", "01"), "Same in");
  EXPECT_EQ(Verdict("01", "01  "), "Same in");
  EXPECT_EQ(Verdict("a1", "A1 "), "Same in");
  EXPECT_EQ(Verdict("a1 ", "02"), "None");
  // The line is to name them as stored.
  const WarehouseVerdict stored = CheckBillWarehouses(session_, "a1 ", "02  ", "");
  EXPECT_EQ(stored.outId + "|" + stored.inId, "A1|02");
  // Blanks before an id are part of it: no warehouse is " 01".
  EXPECT_EQ(Verdict(" 01", "02"), "Missing out");
  EXPECT_EQ(Verdict("01", "99"), "Missing in");
  EXPECT_EQ(Verdict("", "02"), "Missing out");
  EXPECT_EQ(Verdict("0'1", "02"), "Missing out");
  EXPECT_EQ(Verdict("99", "99"), "Missing out");
}

TEST_F(WarehouseCheckTest, TheOperatorsScopeHoldsOnBothSides) {
  const std::string scope = " and ID in ('01','02','03')";
  EXPECT_EQ(Verdict("01", "03", scope), "None");
  EXPECT_EQ(Verdict("01", "06", scope), "OutsideScope in");
  EXPECT_EQ(Verdict("06", "01", scope), "OutsideScope out");
  EXPECT_EQ(Verdict("99", "06", scope), "Missing out");

  // Through the data-scope component: 李四 (003) may use 01, 02 and 03; 001 every warehouse.
  session_.OptCode = "003";
  session_.OptGuid = db_.Value("select Guid from Operators where Code='003'");
  EXPECT_EQ(CheckBillWarehouses(session_, "01", "06").fault, WarehouseFault::OutsideScope);
  EXPECT_TRUE(CheckBillWarehouses(session_, "03 ", "01").Allowed());
  session_.OptCode = "001";
  session_.OptGuid = db_.Value("select Guid from Operators where Code='001'");
  EXPECT_TRUE(CheckBillWarehouses(session_, "01", "06").Allowed());
}

// The editor checks before the save; a warehouse removed after that check must not be written
// into a new bill's header and line.
TEST_F(WarehouseCheckTest, ASaveIntoAWarehouseRemovedMeanwhileStoresNothing) {
  const std::string serialBefore = db_.Value("select FmaxNum from t_billnum where fid=75 and fused=1");
  db_.Run({"delete from gl_stock where id='02'"});
  const adodb::Error error = testsupport::ErrorOf(
      [&] { StoreLine(session_, testsupport::TransferLine("", "01", "02", "0006", "230715", "200061", 2)); });
  EXPECT_EQ(error.Description(), "仓库编号不存在!");
  EXPECT_EQ(db_.Count("select count(*) from ckdbdzk where lsh like 'DBD20240305%'"), 0);
  EXPECT_EQ(db_.Count("select count(*) from ckdbdzkmx where lsh like 'DBD20240305%'"), 0);
  EXPECT_EQ(db_.Value("select FmaxNum from t_billnum where fid=75 and fused=1"), serialBefore);
  EXPECT_EQ(StoreLine(session_, testsupport::TransferLine("", "01", "03", "0006", "230715", "200061", 2)).lsh,
            "DBD202403050005");
}

}  // namespace
}  // namespace storeadjust
