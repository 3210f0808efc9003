// The audit gate: the embedded stored procedure's verdicts through a parameterised command, and
// as the gate reads them.
#include <gtest/gtest.h>

#include "adodb/Command.h"
#include "host/EmbeddedProcedures.h"
#include "support/ModuleSession.h"
#include "states/AuditProcedure.h"
#include "support/ErrorOf.h"

namespace storeadjust {
namespace {

using testsupport::OpenSession;
using testsupport::TempDatabase;

class AuditProcedureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterEmbeddedProcedures();
    RegisterEmbeddedProcedures();  // a second call changes nothing
    db_.Run({
        "insert into AuditVerdict (BillGuid,ReturnValue,ReturnMsg) values ('WARN',1,'金额超限，是否继续？')",
        "insert into AuditVerdict (BillGuid,ReturnValue,ReturnMsg) values ('STOP',2,'审批流程未完成！')",
        "insert into AuditVerdict (BillGuid,ReturnValue,ReturnMsg) values ('O''K',0,'')",
    });
    session_.OptCode = "001";
  }

  std::pair<int, std::string> Call(const std::string& bill) {
    adodb::Command command;
    command.ActiveConnection = session_.Conn;
    command.CommandText = kAuditProcedureName;
    command.CommandTypeValue = adodb::adCmdStoredProc;
    command.Append(command.CreateParameter("BillGuid", adodb::adVarChar, adodb::adParamInput, 50, bill));
    command.Append(command.CreateParameter("BillTypeGuid", adodb::adVarChar, adodb::adParamInput, 50, ""));
    command.Append(command.CreateParameter("OperatorGuid", adodb::adVarChar, adodb::adParamInput, 50, "001"));
    command.Append(command.CreateParameter("ReturnMsg", adodb::adVarChar, adodb::adParamOutput, 500, ""));
    command.Append(command.CreateParameter("ReturnValue", adodb::adInteger, adodb::adParamOutput, 50, 0));
    command.Execute();
    return {command.Parameters("ReturnValue").Value().AsInt32(), command.Parameters("ReturnMsg").Value().TextOrEmpty()};
  }

  TempDatabase db_{db::CreateEmptyDatabase};
  ScriptedUserInterface ui_;
  Session session_ = OpenSession(db_, ui_);
};

TEST_F(AuditProcedureTest, TheGateReadsEachVerdictWithoutAWordToTheUser) {
  const ProcedureVerdict pass = AskAuditProcedure(session_, "NONE", kAuditProcedureName);
  const ProcedureVerdict warn = AskAuditProcedure(session_, "WARN", kAuditProcedureName);
  const ProcedureVerdict stop = AskAuditProcedure(session_, "STOP", kAuditProcedureName);
  EXPECT_EQ(std::make_pair(pass.value, pass.message), std::make_pair(0, std::string()));
  EXPECT_EQ(std::make_pair(warn.value, warn.message), std::make_pair(1, std::string("金额超限，是否继续？")));
  EXPECT_EQ(std::make_pair(stop.value, stop.message), std::make_pair(2, std::string("审批流程未完成！")));
  EXPECT_TRUE(ui_.Boxes().empty());
}

TEST_F(AuditProcedureTest, AMissingProcedureThrowsTheDatabaseWords) {
  const adodb::Error error = testsupport::ErrorOf([&] { AskAuditProcedure(session_, "NONE", "NoSuchProcedure"); });
  EXPECT_EQ(error.Description(), "Could not find stored procedure 'NoSuchProcedure'.");
  EXPECT_TRUE(ui_.Boxes().empty());
}

}  // namespace
}  // namespace storeadjust
