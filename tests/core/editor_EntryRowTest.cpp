// The entry row of the editor on the demo database, driven through its keys: the price and amount
// a line will be stored with, and failures that must reach the clerk instead of leaving a field
// that did nothing.
#include <gtest/gtest.h>

#include "editor/FrmStoreAdjuctBill.h"
#include "host/KeyCodes.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

using testsupport::ShownBoxes;

class EntryRowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session_.IsNewBill = true;
    form_.Load();
    form_.FireTimers();
    form_.Type("TxtBcCkID", "01");
    form_.Type("txtBrCKid", "02");
  }
  void Enter(const std::string& field, const std::string& text) {
    form_.Type(field, text);
    form_.KeyDown(field, key::kReturn);
  }

  testsupport::TempDatabase db_{db::CreateDemoDatabase};
  ScriptedUserInterface ui_;
  Session session_ = testsupport::OpenEditorSession(db_, ui_);
  FrmStoreAdjuctBill form_{session_};
};

TEST_F(EntryRowTest, ALineIsStoredWithThePriceAndAmountTheFieldsShow) {
  // Batch-priced goods take the chosen batch's price.
  Enter("TxtHH", "0013");
  ui_.QueueChoice(1);
  Enter("TxtSl", "5");
  EXPECT_EQ(form_.Text("TxtDj") + " " + form_.Text("TxtJe"), "9.11 45.55");
  EXPECT_EQ(form_.Entry().BatchColumn(1).TextOrEmpty(), "230408");
  EXPECT_DOUBLE_EQ(form_.Entry().LinePrice, 9.11);
  EXPECT_DOUBLE_EQ(form_.Entry().LineAmount, 45.55);
  // Goods kept by amount only take the amount typed; with no price to divide by, the retail total
  // is left for the clerk to type. Another goods locks the retail total again.
  Enter("TxtHH", "0040");
  EXPECT_FALSE(form_.Control("TxtLsze").locked);
  form_.KeyDown("TxtDj", key::kReturn);
  Enter("TxtJe", "14");
  EXPECT_DOUBLE_EQ(form_.Entry().LinePrice, 0.7);
  form_.Type("TxtDj", "0");
  Enter("TxtJe", "9");
  EXPECT_EQ(form_.Text("TxtLsze"), "20");
  EXPECT_EQ(form_.Focus(), "TxtLsze");
  EXPECT_DOUBLE_EQ(form_.Entry().LineAmount, 9);
  Enter("TxtHH", "0006");
  EXPECT_TRUE(form_.Control("TxtLsze").locked);
  EXPECT_EQ(ShownBoxes(ui_), "");
}

// A failed scope would otherwise list every warehouse or goods unrestricted; a broken site template
// would leave a field that did nothing.
TEST_F(EntryRowTest, AScopeThatCannotBeReadOrABrokenTemplateListsNothingAndSaysSo) {
  form_.GoodsSelectSql = "select hh from no_such_table where 1=1 [选择条件]";
  Enter("TxtHH", "0006");
  EXPECT_EQ(form_.Text("TxtHH"), "0006");
  ASSERT_EQ(ui_.Boxes().size(), 1u);
  EXPECT_NE(ui_.Boxes()[0].text.find("no_such_table"), std::string::npos);

  const std::string before = ShownBoxes(ui_);
  db_.Run({"drop table DataScopeItem"});  // the scope component cannot answer
  form_.Type("TxtBcCkID", "");
  form_.SetFocus("TxtBcCkID");
  form_.KeyDown("TxtBcCkID", key::kReturn);
  EXPECT_EQ(form_.Focus(), "txtBrCKid");
  form_.Type("TxtBcCkID", "01");
  form_.KeyDown("TxtHH", key::kF1 + 6);
  EXPECT_EQ(ShownBoxes(ui_), before + "48 提示:|no such table: DataScopeItem\n48 提示:|no such table: DataScopeItem\n");
  EXPECT_FALSE(ui_.HasQueued());
}

}  // namespace
}  // namespace storeadjust
