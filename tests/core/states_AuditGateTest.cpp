// The approval gate asked before an audit, as both screens use it: the procedure's verdict
// first, the clerk's word only on a warning, the approval component only after the procedure
// let the bill pass, and every failure a refusal with its text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/EmbeddedProcedures.h"
#include "states/AuditGate.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

using testsupport::OpenSession;
using testsupport::TempDatabase;

constexpr const char* kBill = "DB'2024";  // a quote in the serial stays inside its literals

class AuditGateTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterEmbeddedProcedures(); }

  void Verdict(int value, const std::string& message) {
    db_.Run({"insert into AuditVerdict (BillGuid, ReturnValue, ReturnMsg) values ('DB''2024', " + std::to_string(value) +
             ", '" + message + "')"});
  }
  void RequireApproval() { db_.Run({"insert into BillApprovalSwitch (BillTypeCode, Enabled) values ('000022', 1)"}); }

  // The gate with the clerk answering `answer` to a warning; the warnings put are kept.
  AuditGateVerdict Pass(bool answer) {
    return PassAuditGate(session_, kBill, [this, answer](const std::string& warning) {
      warnings_.push_back(warning);
      return answer;
    });
  }

  TempDatabase db_{db::CreateEmptyDatabase};
  ScriptedUserInterface ui_;
  Session session_ = OpenSession(db_, ui_);
  std::vector<std::string> warnings_;
};

TEST_F(AuditGateTest, NoVerdictAndNoApprovalFlowPassWithoutAWord) {
  const AuditGateVerdict verdict = Pass(false);
  EXPECT_EQ(verdict.result, AuditGateResult::Passed);
  EXPECT_EQ(verdict.message, "");
  EXPECT_TRUE(warnings_.empty());
}

TEST_F(AuditGateTest, AWarningIsTheClerksToAcceptThenTheApprovalFlowDecides) {
  Verdict(1, "超过信用额度");
  EXPECT_EQ(Pass(true).result, AuditGateResult::Passed);
  const AuditGateVerdict declined = Pass(false);
  EXPECT_EQ(declined.result, AuditGateResult::WarningDeclined);
  EXPECT_EQ(declined.message, "超过信用额度");
  EXPECT_EQ(warnings_, (std::vector<std::string>{"超过信用额度", "超过信用额度"}));

  RequireApproval();  // accepted, the bill still needs its approval
  const AuditGateVerdict unapproved = Pass(true);
  EXPECT_EQ(unapproved.result, AuditGateResult::Refused);
  EXPECT_EQ(unapproved.message, "审批未通过，不能审核！");
}

TEST_F(AuditGateTest, ARefusalIsNotPutToTheClerkAndComesBeforeTheApprovalFlow) {
  Verdict(2, "单据已冻结");
  RequireApproval();
  const AuditGateVerdict verdict = Pass(true);
  EXPECT_EQ(verdict.result, AuditGateResult::Refused);
  EXPECT_EQ(verdict.message, "单据已冻结");
  EXPECT_TRUE(warnings_.empty());
}

TEST_F(AuditGateTest, AFailedCallRefusesWithItsText) {
  db_.Run({"drop table AuditVerdict"});
  const AuditGateVerdict procedure = Pass(true);
  EXPECT_EQ(procedure.result, AuditGateResult::Refused);
  EXPECT_EQ(procedure.message, "no such table: AuditVerdict");

  db_.Run({"create table AuditVerdict (BillGuid varchar(50), ReturnValue int, ReturnMsg varchar(500))",
           "drop table BillApprovalSwitch"});
  const AuditGateVerdict approval = Pass(true);
  EXPECT_EQ(approval.result, AuditGateResult::Refused);
  EXPECT_NE(approval.message.find("BillApprovalSwitch"), std::string::npos) << approval.message;
  EXPECT_TRUE(warnings_.empty());
}

}  // namespace
}  // namespace storeadjust
