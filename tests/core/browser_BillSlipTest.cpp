// Bills read as printed slips against the demo database, and the reprint list's serial filter.
#include <gtest/gtest.h>

#include "adodb/Error.h"
#include "browse/ReprintList.h"
#include "db/DatabaseFactory.h"
#include "host/BillSlip.h"
#include "support/TempDatabase.h"

namespace storeadjust {
namespace {

class BillSlipTest : public ::testing::Test {
 protected:
  testsupport::TempDatabase db{db::CreateDemoDatabase};
  std::shared_ptr<adodb::Connection> connection = db.Open();
};

// What the printed slip shows beyond the PDF test: serials in the order asked, a remark and a
// serial with quotes, the auditor of each flow, the fallbacks of a sparse line, and page totals.
TEST_F(BillSlipTest, SlipsComeInTheOrderAskedWithTheirAuditorsFallbacksAndTotals) {
  db.Run({"update ckdbdzk set bz='O''Brien''s remark', shry='赵六', shbz=1 where lsh='DBD202403010001'",
          "update ckdbdzk set PreShbz=1, PreShry='张三', shbz=1, shry='李四' where lsh='DBD202403020003'",
          "insert into ckdbdzk (lsh, kdrq, dcstockid, drstockid, czry) values ('O''Neil', '2024-03-04 15:30:00', '01', "
          "'99', '王五')",
          "insert into ckdbdzkmx (lsh, dh, hh, ph, pcdh, sl, dw) values ('O''Neil', '1001', '0012', 'NOBATCH', '1', 2, "
          "'片')"});
  const auto slips = ReadBillSlips(*connection, " CKDBDZK ", " CKDBDZKmx ",
                                   SplitSerials("O'Neil|DBD202403020003||DBD202403010001|"));
  ASSERT_EQ(slips.size(), 3u);
  EXPECT_EQ(slips[0].serial, "O'Neil");
  EXPECT_EQ(slips[0].date, "2024-03-04");
  EXPECT_EQ(slips[0].inWarehouseName, "");  // no such warehouse: the id alone
  EXPECT_EQ(slips[0].auditor, "");
  ASSERT_EQ(slips[0].lines.size(), 1u);
  EXPECT_EQ(slips[0].lines[0].goodsName, "维生素C片");  // the line has none: the goods master's
  EXPECT_EQ(slips[0].lines[0].unit, "片");               // the line's own unit first
  EXPECT_EQ(slips[0].lines[0].expiry, "");               // no such batch
  EXPECT_EQ(slips[1].auditor, "张三");                   // two-step: the out-warehouse's auditor

  const BillSlip& slip = slips[2];
  EXPECT_EQ(slip.remark, "O'Brien's remark");
  EXPECT_EQ(slip.maker + "/" + slip.auditor, "系统管理员/赵六");
  ASSERT_EQ(slip.lines.size(), 3u);
  const BillSlipLine& l = slip.lines[0];
  EXPECT_EQ(l.goodsNumber + "|" + l.unit + "|" + adodb::FormatNumber(l.quantity) + "|" + adodb::FormatNumber(l.price) +
                "|" + adodb::FormatNumber(l.amount) + "|" + adodb::FormatNumber(l.retailTotal),
            "0001|盒|20|7.64|152.8|250");
  const BillSlipTotals all = SlipTotals(slip);
  EXPECT_DOUBLE_EQ(all.quantity, 42);
  EXPECT_NEAR(all.amount, 443.2, 1e-9);
  EXPECT_NEAR(all.retailTotal, 712.6, 1e-9);
  EXPECT_DOUBLE_EQ(SlipTotals(slip, 1, 5).quantity, 22);  // the last two lines
  EXPECT_DOUBLE_EQ(SlipTotals(slip, 7, 2).quantity, 0);
}

// The reprint list's filter: a quote, Chinese and LIKE's wildcards typed by the clerk are plain
// text, and the date range takes both of its days whole.
TEST_F(BillSlipTest, TheReprintListsSerialFilterTakesTypedTextLiterally) {
  db.Run({"insert into ckdbdzk (lsh, kdrq) values ('A''B_1%', '2024-03-04')",
          "insert into ckdbdzk (lsh, kdrq) values ('A''BX1', '2024-03-04')",
          "insert into ckdbdzk (lsh, kdrq) values ('调''拨1', '2024-02-10 18:30:00')",
          "insert into ckdbdzk (lsh, kdrq) values ('调''拨2', '2024-02-11')"});
  ReprintRequest request;
  request.connectionString = db.ConnStr();
  request.sysDate = "2024-03-05";
  ReprintList list(request);
  list.SetSerialFilter("'B_1%");
  list.Refresh();
  ASSERT_EQ(list.Bills().size(), 1u);
  EXPECT_EQ(list.Bills()[0].serial, "A'B_1%");
  list.SetSerialFilter("[");
  list.Refresh();
  EXPECT_TRUE(list.Bills().empty());
  list.SetSerialFilter("调'拨");
  list.SetDateRange(adodb::Date{2024, 2, 10}, adodb::Date{2024, 2, 10});
  list.Refresh();
  ASSERT_EQ(list.Bills().size(), 1u);
  EXPECT_EQ(list.Bills()[0].serial, "调'拨1");
  list.SetDateRange(std::nullopt, std::nullopt);
  list.Refresh();
  EXPECT_EQ(list.Bills().size(), 2u);
}

}  // namespace
}  // namespace storeadjust
