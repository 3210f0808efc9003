// Bills read as printed slips against the demo database, and the reprint list's serial filter.
#include <gtest/gtest.h>

#include "adodb/Error.h"
#include "browse/ReprintList.h"
#include "db/DatabaseFactory.h"
#include "host/BillSlip.h"
#include "support/Fields.h"
#include "support/TempDatabase.h"

namespace storeadjust {
namespace {

class BillSlipTest : public ::testing::Test {
 protected:
  testsupport::TempDatabase db{db::CreateDemoDatabase};
  std::shared_ptr<adodb::Connection> connection = db.Open();
};

// What the printed slip shows beyond the PDF test: serials in the order asked, a remark and a
// serial with quotes, the auditor of each flow, the fallbacks of a sparse line, a line entered in a
// pack unit, and page totals.
TEST_F(BillSlipTest, SlipsComeInTheOrderAskedWithTheirAuditorsFallbacksAndTotals) {
  db.Run({"update ckdbdzk set bz='O''Brien''s remark', shry='赵六', shbz=1 where lsh='DBD202403010001'",
          "update ckdbdzk set PreShbz=1, PreShry='张三', shbz=1, shry='李四' where lsh='DBD202403020003'",
          "insert into ckdbdzk (lsh, kdrq, dcstockid, drstockid, czry) values ('O''Neil', '2024-03-04 15:30:00', '01', "
          "'99', '王五')",
          "insert into ckdbdzkmx (lsh, dh, hh, ph, pcdh, sl, dw) values ('O''Neil', '1001', '0012', 'NOBATCH', '1', 2, "
          "'片')",
          // 2 中包 of ten boxes at 76.40: the slip counts boxes, so it prints 20 盒 at 7.64.
          "update ckdbdzkmx set dw='中包', srsl=2, dj=76.4 where lsh='DBD202403010001' and dh='1001'"});
  const auto slips = ReadBillSlips(*connection, " CKDBDZK ", " CKDBDZKmx ",
                                   SplitSerials("O'Neil|DBD202403020003||DBD202403010001|"));
  ASSERT_EQ(slips.size(), 3u);
  // No such in-warehouse: the id alone; no auditor; the goods master's name for a line without
  // one, the line's own unit first, no expiry for no such batch. Two-step: the out-side auditor.
  const BillSlipLine& sparse = slips[0].lines.at(0);
  EXPECT_EQ(testsupport::Fields(slips[0].serial, slips[0].date, slips[0].inWarehouseName, slips[0].auditor, sparse.goodsName,
                                sparse.unit, sparse.expiry, slips[1].auditor),
            "O'Neil|2024-03-04|||维生素C片|片||张三|");
  const BillSlip& slip = slips[2];
  ASSERT_EQ(slip.lines.size(), 3u);
  const BillSlipLine& l = slip.lines[0];
  EXPECT_EQ(testsupport::Fields(slip.remark, slip.maker, slip.auditor, l.goodsNumber, l.unit, l.quantity, l.price, l.amount,
                                l.retailTotal),
            "O'Brien's remark|系统管理员|赵六|0001|盒|20|7.64|152.8|250|");
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
  const auto listed = [&list] {
    list.Refresh();
    std::string serials;
    for (const auto& bill : list.Bills()) serials += bill.serial + " ";
    return serials;
  };
  list.SetSerialFilter("'B_1%");
  EXPECT_EQ(listed(), "A'B_1% ");
  list.SetSerialFilter("[");
  EXPECT_EQ(listed(), "");
  list.SetSerialFilter("调'拨");
  list.SetDateRange(adodb::Date{2024, 2, 10}, adodb::Date{2024, 2, 10});
  EXPECT_EQ(listed(), "调'拨1 ");
  list.SetDateRange(std::nullopt, std::nullopt);
  EXPECT_EQ(listed(), "调'拨1 调'拨2 ");
}

}  // namespace
}  // namespace storeadjust
