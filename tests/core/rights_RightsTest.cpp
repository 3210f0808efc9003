// Operator rights and data scope on a real embedded database: own rows, group rows, exact right
// names, a missing right model, the data-scope filters, and quotes in operator codes and Guids;
// then the embedded data-scope and approval component: scope conditions and the approval life cycle.
// Last, the selection dialog's choices and the selection templates.
#include <gtest/gtest.h>

#include "adodb/Error.h"
#include "host/DataHelpers.h"
#include "host/DataScopeProvider.h"
#include "host/Rights.h"
#include "host/SelectDialog.h"
#include "host/SelectTemplates.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

using testsupport::OpenSession;
using testsupport::TempDatabase;

class RightsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_.Run({"insert into RightModel (guid,OldRightModel,RightInfo1,RightInfo2,RightInfo3) values "
             "('M1','A10402','新增,修改,删除','打印,审核','查看所有用户,查看本组用户')",
             "insert into Operators (Code,Guid,name) values ('001','G1','张三'), ('002','G2','李四'), ('003','G3','王五'), "
             "('O''1','G''4','O''Brien')",
             // G1's own row: 新增 only; 审核 granted in list 2. Group K grants 修改 and 打印.
             "insert into rights (RightModelGuid,operatorGuid,RightValue1,RightValue2,RightValue3) values "
             "('M1','G1','1,0,0','0,1','0,0'), ('M1','G''4','0,0,1','0,0','0,0')",
             "insert into RightGroup (OperatorGroupGuid,RightModelGuid,RightValue1,RightValue2,RightValue3) values "
             "('K','M1','0,1,0','1,0','0,1')",
             "insert into operatorGroupMember (operatorGuid,GroupGuid) values ('G1','K'), ('G2','K'), ('G''4','K')",
             "insert into ckdbdzk (lsh,czry) values ('B1','张三'), ('B2','李四'), ('B3','王五'), ('B4','O''Brien')"});
    session_.ModuleRightGuid = "M1";
    session_.OptCode = "001";
    session_.OptGuid = "G1";
  }

  bool Has(const std::string& code, const std::string& right) {
    return HasRight(session_, "M1", true, code, right, db_.ConnStr());
  }
  long Visible() {
    const BoundSql filter = GetDataScopeFilter(session_);
    return GetFieldValue(session_, "select count(*) n from ckdbdzk where 1=1" + filter.text, "n", filter.values).AsInt32();
  }

  TempDatabase db_{db::CreateEmptyDatabase};
  ScriptedUserInterface ui_;
  Session session_ = OpenSession(db_, ui_);
};

// Own row and groups are alternatives; a right is held only under its exact listed name.
TEST_F(RightsTest, OwnRowAndGroupsAreAlternativesOnlyExactNamesAreHeldAndQuotesStayQuoted) {
  EXPECT_TRUE(Has("001", "新增"));   // own row
  EXPECT_TRUE(Has("001", "修改"));   // own row 0, group 1
  EXPECT_FALSE(Has("001", "删除"));  // 0 everywhere
  EXPECT_TRUE(Has("001", "审核"));   // list 2
  EXPECT_TRUE(Has("002", "打印"));   // no own row: the group grants
  EXPECT_FALSE(Has("002", "新增"));
  EXPECT_FALSE(Has("003", "修改"));  // no row, no group
  EXPECT_FALSE(Has("999", "新增"));  // unknown operator
  EXPECT_TRUE(HasRight(session_, "M1", false, "G2", "修改", db_.ConnStr()));
  EXPECT_FALSE(Has("001", "审"));
  // A quote in an operator code or Guid neither breaks a statement nor widens a right.
  EXPECT_FALSE(Has("x' or '1'='1", "新增"));
  EXPECT_FALSE(HasRight(session_, "M1", false, "G2' or operatorGuid='G1", "新增", db_.ConnStr()));
  EXPECT_FALSE(HasRight(session_, "M1' or '1'='1", true, "001", "新增", db_.ConnStr()));
  // An operator whose code and Guid really hold quotes keeps exactly the rights of the row.
  EXPECT_TRUE(Has("O'1", "删除"));
  EXPECT_FALSE(Has("O'1", "新增"));
  EXPECT_TRUE(ui_.Boxes().empty());
}

TEST_F(RightsTest, WithoutTheModulesRightModelEverythingIsRefusedAndNothingRestricted) {
  db_.Run({"delete from RightModel"});
  session_.ModuleRightGuid =
      GetFieldValue(session_, "select Guid from rightmodel Where OldRightModel='A10402'", "Guid").TextOrEmpty();
  ASSERT_EQ(session_.ModuleRightGuid, "");
  for (const char* right : {"新增", "修改", "删除", "打印", "审核"}) {
    EXPECT_FALSE(HasRight(session_, session_.ModuleRightGuid, true, "001", right, db_.ConnStr())) << right;
  }
  session_.DataScopeFlags = GetDataScopeFlags(session_);
  EXPECT_EQ(session_.DataScopeFlags, "");
  EXPECT_EQ(Visible(), 4);
}

TEST_F(RightsTest, DataScopeFlagsGiveTheirFiltersAlsoForAnOperatorWithQuotes) {
  session_.DataScopeFlags = "10";  // sees every bill, as "11" does
  EXPECT_EQ(Visible(), 4);
  session_.DataScopeFlags = "01";
  EXPECT_EQ(Visible(), 3);  // 张三, 李四, O'Brien: the members of K
  session_.DataScopeFlags = "00";
  EXPECT_EQ(Visible(), 1);  // 张三's own

  session_.OptGuid = "G'4";
  EXPECT_EQ(Visible(), 1);  // O'Brien's own
  session_.DataScopeFlags = "01";
  EXPECT_EQ(Visible(), 3);
  session_.OptGuid = "x') or ('1'='1";
  EXPECT_EQ(Visible(), 0);
  session_.OptGuid = "G3";  // in no group: his own bills still
  EXPECT_EQ(Visible(), 1);
}

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

// What a submission records and refuses (the bills stored: one deleted is refused).
TEST_F(ScopeAndApprovalTest, ApprovalLifeCycle) {
  db_.Run({"insert into BillApprovalSwitch (BillTypeCode,Enabled) values ('000022',1)",
           std::string("insert into ckdbdzk (lsh) values ('") + kBill + "'), ('X'' or ''1''=''1')",
           std::string("insert into ckdbdzkmx (lsh,dh,je) values ('") + kBill + "','1',100), ('" + kBill + "','2',20.5)"});
  EXPECT_TRUE(Editable());
  EXPECT_FALSE(Approved());
  EXPECT_EQ(Submit(120.5, 100), "");
  EXPECT_EQ(db_.Count("select count(*) from BillApproval where Status='pending' and TotalAmount=120.5 and MaxLineAmount=100 "
                      "and MakerGuid='MAKER' and SubmitterGuid='SUBMITTER' and SubmittedAt is not null"), 1);
  EXPECT_FALSE(Approved());
  EXPECT_EQ(Submit(), "单据已提交审批，不能重复提交！");
  Decide("rejected");
  EXPECT_FALSE(Approved());
  db_.Run({"update ckdbdzkmx set je=je-50 where dh='1'", "update ckdbdzkmx set je=30 where dh='2'"});
  EXPECT_EQ(Submit(80, 50), "");
  EXPECT_EQ(db_.Count("select count(*) from BillApproval where Status='pending' and TotalAmount=80 and DecidedBy is null"), 1);
  Decide("approved");
  EXPECT_TRUE(Approved());
  EXPECT_EQ(Submit(), "单据已审批通过，不能重复提交！");
  EXPECT_EQ(db_.Count("select count(*) from BillApproval"), 1);
  // A serial with a quote is its own bill.
  EXPECT_EQ(provider_->SubmitBill(db_.ConnStr(), "000022", "X' or '1'='1", "M", "S", 0, 0), "");
  EXPECT_FALSE(Editable("X' or '1'='1"));
  EXPECT_TRUE(Editable("OTHER"));
  EXPECT_EQ(provider_->SubmitBill(db_.ConnStr(), "000022", "OTHER", "M", "S", 0, 0), "单据已被他人删除，不能提交审批！");
  EXPECT_TRUE(Editable("OTHER"));
}

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
// scenarios/entry/goods.scn and warehouses_on_save.scn; here, a quote in the operator code stays
// inside its literal.
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
