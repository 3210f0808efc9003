// The embedded schema declares SQL Server types, the text collation on every text column, the
// defaults the statements rely on and primary keys that refuse duplicates. That it holds every
// column the statements name is shown by the statement corpus, which runs them all.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "adodb/Error.h"
#include "db/DatabaseFactory.h"
#include "db/TextCollation.h"
#include "schema_support.h"
#include "support/ErrorOf.h"
#include "support/TempDatabase.h"

namespace {

using schema_test::RawColumn;
using testsupport::ErrorOf;
using schema_test::RawText;
using storeadjust::db::SqliteFile;
using testsupport::TempDatabase;

class EmptySchema : public ::testing::Test {
 protected:
  TempDatabase file_{storeadjust::db::CreateEmptyDatabase};
  SqliteFile db{file_.Path()};
};

TEST_F(EmptySchema, SqliteAffinitiesKeepTextKeysTextAndNumbersNumbers) {
  db.Execute("insert into ckdbdzkmx (lsh, dh, sl, dj) values ('X', '1001', '2.5', 3)");
  EXPECT_EQ(RawText(db, "select typeof(dh) from ckdbdzkmx"), "text");
  EXPECT_EQ(RawText(db, "select typeof(sl) from ckdbdzkmx"), "real");
  // Goods-place quantities arrive as quoted text and must still add up as numbers.
  db.Execute("insert into BillGoodsPlace (BillType, Quantity) values ('WarehouseIn', '4')");
  EXPECT_EQ(db.QueryNumber("select Quantity + 1 from BillGoodsPlace"), 5);
}

TEST_F(EmptySchema, NewHeaderAndBalanceRowsGetTheDefaultsTheStatementsRelyOn) {
  db.Execute("insert into ckdbdzk(lsh,kdrq,dcstockid,drstockid,bz,czry,shbz,shry,jzbz) values "
                       "('DBD1','2024-03-05 00:00:00','01','02','','张三',0,'',0)");
  EXPECT_EQ(RawText(db, "select PreShbz from ckdbdzk"), "NULL");
  // A balance row created by a stock movement names no year: it must land in the current period.
  db.Execute("insert into ywbalance (hh, stockid, fperiod, sjsl, brsl) values ('0001', '02', 0, 5, 5)");
  EXPECT_EQ(db.QueryNumber("select count(*) from ywbalance where fperiod=0 and fyear=0 and sjje=0 and bcsl=0"), 1);
  // A batch row's location list starts empty, not NULL, so appending to it works.
  db.Execute("insert into phk (HH, PH, DH, StockID, SL) values ('0001', 'P1', '1', '02', 5)");
  EXPECT_EQ(RawText(db, "select kh || 'A1' from phk"), "A1");
}

struct KeyCase {
  const char* first;
  const char* duplicate;
};

TEST_F(EmptySchema, PrimaryKeysRefuseDuplicatesComparedAsSqlServerDoes) {
  const std::vector<KeyCase> cases = {
      {"insert into ckdbdzk (lsh) values ('DBD202403050001')", "insert into ckdbdzk (lsh) values ('dbd202403050001 ')"},
      {"insert into ckdbdzkmx (lsh, dh) values ('DBD1', '1001')", "insert into ckdbdzkmx (lsh, dh) values ('DBD1', '1001')"},
      {"insert into phk (HH, PH, DH, StockID) values ('0001', 'A', '1', '01')",
       "insert into phk (HH, PH, DH, StockID) values ('0001', 'a', '1 ', '01')"},
      {"insert into ywbalance (hh, stockid, fperiod, fyear) values ('0001', '01', 0, 0)",
       "insert into ywbalance (hh, stockid) values ('0001', '01')"},
      {"insert into gl_stock (id) values ('01')", "insert into gl_stock (id) values ('01 ')"},
      {"insert into yw_kck (hh) values ('AB01')", "insert into yw_kck (hh) values ('ab01')"},
      {"insert into Operators (Code, Guid) values ('zs01', 'g1')", "insert into Operators (Code, Guid) values ('ZS01', 'g2')"},
      {"insert into t_SystemProfile (FCategory, FKey) values ('GL', 'CHKZJM')",
       "insert into t_SystemProfile (FCategory, FKey) values ('gl', 'chkzjm')"},
      {"insert into BillApproval (BillTypeCode, BillGuid) values ('000022', 'DBD1')",
       "insert into BillApproval (BillTypeCode, BillGuid) values ('000022', 'DBD1')"},
      {"insert into AuditVerdict (BillGuid) values ('DBD1')", "insert into AuditVerdict (BillGuid) values ('DBD1')"},
  };
  for (const auto& c : cases) {
    db.Execute(c.first);
    try {
      db.Execute(c.duplicate);
      ADD_FAILURE() << "accepted: " << c.duplicate;
    } catch (const adodb::Error& e) {
      EXPECT_NE(e.Description().find("constraint failed"), std::string::npos) << e.Description();
    }
  }
  // Different periods of one goods and warehouse are different rows.
  db.Execute("insert into ywbalance (hh, stockid, fperiod, fyear) values ('0001', '01', 2, 2024)");
}

TEST(DatabaseFactory, RefusesToOverwriteAnExistingDatabaseButFillsAnEmptyFile) {
  TempDatabase file(storeadjust::db::CreateDemoDatabase);
  const auto size = std::filesystem::file_size(file.Path());
  EXPECT_THROW(storeadjust::db::CreateEmptyDatabase(file.Path()), adodb::Error);
  EXPECT_THROW(storeadjust::db::CreateDemoDatabase(file.Path()), adodb::Error);
  EXPECT_EQ(std::filesystem::file_size(file.Path()), size);
  EXPECT_GT(file.Count("select count(*) from yw_kck"), 0);

  TempDatabase empty;  // a zero-byte file
  storeadjust::db::CreateEmptyDatabase(empty.Path());
  EXPECT_EQ(empty.Count("select count(*) from gl_stock"), 0);
}

TEST_F(EmptySchema, DatesWrittenInAnyAcceptedFormAreStoredInOneFormThatRangesFind) {
  file_.Run({"insert into ckdbdzk (lsh, kdrq) values ('1', '2024-3-5')", "insert into ckdbdzk (lsh, kdrq) values ('2', '20240306')",
             "insert into ckdbdzk (lsh, kdrq) values ('3', '2024-04-01 08:00:00')", "update ckdbdzk set kdrq = '3/7/2024' where lsh = '3'"});
  EXPECT_EQ(file_.Value("select kdrq from ckdbdzk where lsh = '1'"), "2024-03-05");
  EXPECT_EQ(RawText(db, "select group_concat(kdrq, '|') from (select kdrq from ckdbdzk order by lsh)"),
            "2024-03-05 00:00:00|2024-03-06 00:00:00|2024-03-07 00:00:00");
  EXPECT_EQ(file_.Count("select count(*) from ckdbdzk where kdrq between '2024-03-01' and '2024-03-31'"), 3);
  const adodb::Error impossible = ErrorOf([&] { file_.Run({"insert into ckdbdzk (lsh, kdrq) values ('4', '2024-02-30')"}); });
  EXPECT_EQ(impossible.Description(), "Conversion failed when converting date and/or time from character string.");
  EXPECT_EQ(file_.Count("select count(*) from ckdbdzk"), 3);
}

}  // namespace
