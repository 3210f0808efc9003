// Rights, data scope and approval as the demo database configures them: the module's right model
// found by its old code, rights held through groups, the data-scope flags of each operator, the
// warehouse scope of 李四 and approval switched off.
#include <gtest/gtest.h>

#include "host/DataHelpers.h"
#include "host/DataScopeProvider.h"
#include "host/Rights.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

using testsupport::OpenSession;
using testsupport::TempDatabase;

class DemoRightsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session_.ModuleRightGuid =
        GetFieldValue(session_, "select Guid from rightmodel Where OldRightModel='A10402'", "Guid").TextOrEmpty();
  }
  void SignIn(const std::string& code) {
    session_.OptCode = code;
    session_.OptGuid =
        GetFieldValue(session_, "select Guid from operators where code='" + code + "'", "Guid").TextOrEmpty();
  }
  bool Has(const std::string& right) {
    return HasRight(session_, session_.ModuleRightGuid, true, session_.OptCode, right, session_.ConnStr);
  }

  TempDatabase db_{db::CreateDemoDatabase};
  ScriptedUserInterface ui_;
  Session session_ = OpenSession(db_, ui_);
};

TEST_F(DemoRightsTest, RightsOfTheDemoOperators) {
  ASSERT_FALSE(session_.ModuleRightGuid.empty());
  SignIn("004");  // no own row: 仓库组 grants 新增 and 打印
  EXPECT_TRUE(Has("新增"));
  EXPECT_TRUE(Has("打印"));
  EXPECT_FALSE(Has("修改"));
  EXPECT_FALSE(Has("审核"));
  SignIn("005");  // an all-zero own row: 审核组 grants the audit
  EXPECT_TRUE(Has("审核"));
  EXPECT_TRUE(Has("记帐"));
  EXPECT_FALSE(Has("新增"));
  EXPECT_TRUE(ui_.Boxes().empty());
}

TEST_F(DemoRightsTest, DataScopeFlagsOfTheDemoOperators) {
  const std::pair<const char*, const char*> expected[] = {
      {"001", "11"}, {"002", "01"}, {"003", "00"}, {"004", "00"}, {"005", "10"}};
  for (const auto& [code, flags] : expected) {
    SignIn(code);
    EXPECT_EQ(GetDataScopeFlags(session_), flags) << code;
  }
  EXPECT_TRUE(ui_.Boxes().empty());
}

TEST_F(DemoRightsTest, WarehouseScopeAndApprovalOff) {
  SignIn("003");
  auto provider = CreateDataScopeProvider();
  EXPECT_EQ(provider->GetScopeCondition(session_.ConnStr, "ID", session_.OptGuid, "003", "0007"),
            " and ID in ('01','02','03')");
  EXPECT_EQ(provider->GetScopeCondition(session_.ConnStr, "A.HH", session_.OptGuid, "003", "0003"), "");
  SignIn("002");
  EXPECT_EQ(provider->GetScopeCondition(session_.ConnStr, "ID", session_.OptGuid, "002", "0007"), "");
  EXPECT_TRUE(provider->IsApproved(session_.ConnStr, kTransferBillTypeCode, "ANY"));
  bool editable = false;
  provider->IsBillEditable(session_.ConnStr, kTransferBillTypeCode, "ANY", editable);
  EXPECT_TRUE(editable);
}

}  // namespace
}  // namespace storeadjust
