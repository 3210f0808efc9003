// Deleting a whole bill: header, lines and goods places in one transaction, never an audited bill.
#include <gtest/gtest.h>

#include "browser_support.h"
#include "lines/BillDeletion.h"
#include "support/ErrorOf.h"

namespace storeadjust {
namespace {

class DeleteBillTest : public ::testing::Test {
 protected:
  browsertest::BrowserDatabase db;
};

TEST_F(DeleteBillTest, RemovesHeaderLinesAndGoodsPlacesOfThatBillOnly) {
  db.AddBill("DBD0001", 0);
  db.AddBill("DBD0002", 0);
  db.AddBill("O''Neil", 0);  // a serial holding a quote is one literal, not a broken statement

  EXPECT_EQ(DeleteBill(db.session, "DBD0001"), BillDeletionResult::Deleted);
  EXPECT_EQ(DeleteBill(db.session, "O'Neil"), BillDeletionResult::Deleted);

  EXPECT_EQ(db.Parts("DBD0001"), "0/0/0");
  EXPECT_EQ(db.Parts("O''Neil"), "0/0/0");
  EXPECT_EQ(db.Parts("DBD0002"), "1/2/2");
  EXPECT_TRUE(db.ui.Boxes().empty());
}

TEST_F(DeleteBillTest, AnAuditedBillIsUntouchedAndAMissingOneIsReportedAsSuch) {
  db.AddBill("DBD0003", 1);
  EXPECT_EQ(DeleteBill(db.session, "DBD0003"), BillDeletionResult::Audited);
  EXPECT_EQ(DeleteBill(db.session, "DBD9999"), BillDeletionResult::NotFound);
  EXPECT_EQ(db.Parts("DBD0003"), "1/2/2");
  EXPECT_TRUE(db.ui.Boxes().empty());
}

TEST_F(DeleteBillTest, APreAuditedBillOfTheTwoStepFlowKeepsItsIssuedStockAccounted) {
  db.AddBill("DBD0006", 0);
  db.Raw("update ckdbdzk set PreShbz=1, PreShry='系统管理员' where lsh='DBD0006'");
  EXPECT_EQ(DeleteBill(db.session, "DBD0006"), BillDeletionResult::Audited);
  EXPECT_EQ(db.Parts("DBD0006"), "1/2/2");
}

TEST_F(DeleteBillTest, AFailureInsideRollsTheWholeBillBack) {
  db.AddBill("DBD0004", 0);
  db.Raw("create trigger keep_places before delete on BillGoodsPlace begin select raise(abort, 'places locked'); end");

  const adodb::Error error = testsupport::ErrorOf([&] { DeleteBill(db.session, "DBD0004"); });

  EXPECT_NE(error.Description().find("places locked"), std::string::npos) << error.Description();
  EXPECT_EQ(db.Parts("DBD0004"), "1/2/2");
  EXPECT_FALSE(db.session.Conn->InTransaction());
  EXPECT_TRUE(db.ui.Boxes().empty());  // the browser shows it, once
}

TEST_F(DeleteBillTest, AnOpenerThatFailedHasShownItsWordsAndTheDeletionThrowsObjectNotSet) {
  db.AddBill("DBD0007", 0);
  db.session.ConnStr = "Provider=NoSuchProvider";

  const adodb::Error error = testsupport::ErrorOf([&] { DeleteBill(db.session, "DBD0007"); });

  EXPECT_EQ(error.Description(), "Object variable or With block variable not set");
  ASSERT_EQ(db.ui.Boxes().size(), 1u);  // the opener's own; the browser shows the error once more
  EXPECT_EQ(db.ui.Boxes()[0].title, "Error:");
  EXPECT_EQ(db.Parts("DBD0007"), "1/2/2");
}

TEST_F(DeleteBillTest, ABillAuditedAfterTheCheckKeepsItsLines) {
  db.AddBill("DBD0005", 0);
  // Another user audits the bill between the check and the deletion: the header delete then
  // changes nothing, and the lines must not go without it.
  db.Raw("create trigger audit_first before delete on ckdbdzk begin update ckdbdzk set shbz=1 where lsh=old.lsh; "
         "select raise(ignore); end");

  EXPECT_EQ(DeleteBill(db.session, "DBD0005"), BillDeletionResult::Audited);
  EXPECT_EQ(db.Parts("DBD0005"), "1/2/2");
}

}  // namespace
}  // namespace storeadjust
