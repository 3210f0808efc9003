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
