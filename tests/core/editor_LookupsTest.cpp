// The entry row's reads against the demo database: what the goods, warehouse and batch statements
// find for typed text holding quotes, and a site's batch template. (The stock verdicts at their
// edges are played in quantity.scn.)
#include <gtest/gtest.h>

#include "adodb/Recordset.h"
#include "editor/GoodsLookup.h"
#include "editor/WarehouseLookup.h"
#include "lines/BatchChoice.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

class LookupsTest : public ::testing::Test {
 protected:
  // The first column of every row the statement returns, joined by ",".
  std::string Found(const std::string& sql) {
    auto rs = session_.Conn->OpenRecordset(sql);
    std::string found;
    for (rs->MoveFirst(); rs->RecordCount() > 0 && !rs->EOF(); rs->MoveNext()) {
      found += (found.empty() ? "" : ",") + rs->Value(std::size_t{0}).TextOrEmpty();
    }
    return found;
  }

  testsupport::TempDatabase db_{db::CreateDemoDatabase};
  ScriptedUserInterface ui_;
  Session session_ = testsupport::OpenEditorSession(db_, ui_);
};

TEST_F(LookupsTest, QuotesInTypedTextStayInsideTheirLiterals) {
  db_.Run({"insert into yw_kck (hh, pm, Pm_zjm, hs_tag) values ('O''K', 'quoted', 'Q''Z', 0)",
           "insert into ywbalance (hh, stockid, fperiod, fyear, sjsl) values ('O''K', '0''1', 0, 0, 5)",
           "insert into gl_stock (id, name, KM5) values ('0''1', 'quoted store', 'Q''1')"});
  const std::string base = GoodsBaseStatement(
      "select a.hh from yw_kck a left join ywbalance b on a.hh =b.hh where 1=1 [选择条件] order by a.hh", "0'1", false, "");
  EXPECT_EQ(Found(WithGoodsCondition(base, ExactGoodsCondition("O'K"))), "O'K");
  EXPECT_EQ(Found(WithGoodsCondition(base, GoodsPatternCondition("*'K", false))), "O'K");
  EXPECT_EQ(Found(WithGoodsCondition(base, GoodsPatternCondition("q'", false))), "O'K");
  EXPECT_EQ(Found("select id from gl_stock a where 1=1 " +
                  ExactWarehouseCondition(WarehouseSide::In, "0'1", "01", "")), "0'1");
  EXPECT_EQ(Found("select id from gl_stock a where 1=1 " +
                  WarehousePrefixCondition(WarehouseSide::Out, "Q'", "'", "")), "0'1");
  EXPECT_EQ(Found(BatchListStatement("", "O'K", "0'1", true, 1)), "");
  EXPECT_DOUBLE_EQ(*ReadOutStock(session_, "O'K", "0'1"), 5);
  EXPECT_TRUE(ui_.Boxes().empty());
}

TEST_F(LookupsTest, ASiteBatchTemplateGetsTheUnitsCoefficient) {
  const std::string site = "select ph, sl*[系数] from phk [选择条件] and ph like '2%' and [系数]=[系数] order by ph";
  auto rs = session_.Conn->OpenRecordset(BatchListStatement(site, "0006", "01", false, 12));
  rs->MoveFirst();
  EXPECT_EQ(rs->RecordCount(), 2);
  EXPECT_DOUBLE_EQ(rs->Value(std::size_t{1}).AsDouble(),
                   12 * std::stod(db_.Value("select sl from phk where dh='200061' and stockid='01'")));
}

}  // namespace
}  // namespace storeadjust
