// The embedded data-scope and approval component: scope conditions and the approval life cycle
// with and without the switch.
#include <gtest/gtest.h>

#include "host/DataScopeProvider.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

using testsupport::TempDatabase;

constexpr const char* kBill = "DB2024000001";

class ScopeAndApprovalTest : public ::testing::Test {
 protected:
  bool Editable(const std::string& serial = kBill) {
    bool editable = false;
    provider_->IsBillEditable(db_.ConnStr(), kTransferBillTypeCode, serial, editable);
    return editable;
  }
  std::string Submit(double total = 120.5, double largest = 100) {
    return provider_->SubmitBill(db_.ConnStr(), kTransferBillTypeCode, kBill, "MAKER", "SUBMITTER", total, largest);
  }
  bool Approved() { return provider_->IsApproved(db_.ConnStr(), kTransferBillTypeCode, kBill); }
  void Decide(const std::string& status) {  // as the ERP's approval screens do
    db_.Run({"update BillApproval set Status='" + status + "', DecidedAt=getdate(), DecidedBy='BOSS' where BillTypeCode='000022' "
             "and BillGuid='" + kBill + "' and Status='pending'"});
  }

  TempDatabase db_{db::CreateEmptyDatabase};
  std::unique_ptr<DataScopeProvider> provider_ = CreateDataScopeProvider();
};

TEST_F(ScopeAndApprovalTest, ScopeConditionListsTheOperatorsItemsQuoted) {
  db_.Run({"insert into DataScopeItem (OperatorGuid,ScopeCode,ItemId) values ('G1','0007','01'), ('G1','0007','0''3'), "
           "('G1','0003','H1'), ('G''2','0007','02')",
           "insert into gl_stock (id,name) values ('01','a'), ('02','b'), ('0''3','c')"});
  const std::string condition = provider_->GetScopeCondition(db_.ConnStr(), "ID", "G1", "001", "0007");
  EXPECT_EQ(condition, " and ID in ('0''3','01')");
  EXPECT_EQ(db_.Count("select count(*) from gl_stock where 1=1 " + condition), 2);
  EXPECT_EQ(provider_->GetScopeCondition(db_.ConnStr(), "ID", "G'2", "002", "0007"), " and ID in ('02')");
  EXPECT_EQ(provider_->GetScopeCondition(db_.ConnStr(), "ID", "G1' or '1'='1", "001", "0007"), "");
}

// Whether a pending, rejected or approved bill may still be changed is played by the deletion in
// scenarios/states/approval_submission.scn; here what a submission records and refuses.
TEST_F(ScopeAndApprovalTest, ApprovalLifeCycle) {
  db_.Run({"insert into BillApprovalSwitch (BillTypeCode,Enabled) values ('000022',1)"});
  EXPECT_TRUE(Editable());
  EXPECT_FALSE(Approved());
  EXPECT_EQ(Submit(120.5, 100), "");
  EXPECT_EQ(db_.Count("select count(*) from BillApproval where Status='pending' and TotalAmount=120.5 and MaxLineAmount=100 "
                      "and MakerGuid='MAKER' and SubmitterGuid='SUBMITTER' and SubmittedAt is not null"), 1);
  EXPECT_FALSE(Approved());
  EXPECT_EQ(Submit(), "单据已提交审批，不能重复提交！");
  Decide("rejected");
  EXPECT_FALSE(Approved());
  EXPECT_EQ(Submit(80, 50), "");
  EXPECT_EQ(db_.Count("select count(*) from BillApproval where Status='pending' and TotalAmount=80 and DecidedBy is null"), 1);
  Decide("approved");
  EXPECT_TRUE(Approved());
  EXPECT_EQ(Submit(), "单据已审批通过，不能重复提交！");
  EXPECT_EQ(db_.Count("select count(*) from BillApproval"), 1);
  // A serial with a quote is its own bill.
  EXPECT_EQ(provider_->SubmitBill(db_.ConnStr(), "000022", "X' or '1'='1", "M", "S", 1, 1), "");
  EXPECT_FALSE(Editable("X' or '1'='1"));
  EXPECT_TRUE(Editable("OTHER"));
}

}  // namespace
}  // namespace storeadjust
