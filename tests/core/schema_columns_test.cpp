// The embedded schema holds every table and column that the module's statements and the
// stand-ins of the ERP's outside components name, with SQL Server declarations, the text
// collation on every text column and primary keys that refuse duplicates.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "adodb/Error.h"
#include "db/DatabaseFactory.h"
#include "db/TextCollation.h"
#include "schema_support.h"

namespace {

using schema_test::RawConnection;
using schema_test::TempDatabasePath;

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// Columns named by the module's statements and column lists, per table.
const std::map<std::string, std::vector<std::string>>& NamedColumns() {
  static const std::map<std::string, std::vector<std::string>> columns = {
      {"ckdbdzk", {"lsh", "kdrq", "dcstockid", "drstockid", "bz", "czry", "PreShbz", "PreShry", "shbz", "shry", "jzbz"}},
      {"ckdbdzkmx", {"lsh", "dh", "hh", "pm", "ph", "pcdh", "dj", "sl", "je", "lsj", "lsze", "wslsze", "cj", "dw", "srsl",
                     "kh", "bz", "dcstockid", "drstockid"}},
      {"phk", {"HH", "PH", "DH", "StockID", "SL", "xq", "jhdj", "scrq", "yhrq", "dwbh", "dwmc", "brsl", "bcsl", "kh",
               "LastPurchasePrice", "qckc", "jhsl", "xhsl", "qtsrsl", "qtfcsl", "thsl", "SellPrice", "GOODSPLACES"}},
      {"ywbalance", {"hh", "stockid", "fperiod", "fyear", "sjsl", "sjje", "sjlsje", "brsl", "bcsl", "kh", "JJ", "JJ_CKJ",
                     "PFJ", "LSJ", "SJ", "CBJ", "YCBJ", "QCKC", "JHSL", "XHSL", "QTSRSL", "QTFCSL"}},
      {"BillGoodsPlace", {"BillType", "BillGuid", "BillDetailGuid", "MaterielGuid", "WarehouseGuid", "BatchNo",
                          "BatchNumber", "GoodsPlaceGuid", "GoodsPlaceNo", "Quantity", "Notes"}},
      {"GoodsPlaceBalance", {"GoodsPlaceGuid", "GoodsPlaceNo", "WarehouseGuid", "MaterielGuid", "BatchNo", "BatchNumber",
                             "CurrQuantity", "PInQuantity", "POutQuantity", "Notes"}},
      {"yw_kck", {"hh", "pm", "Pm_zjm", "lb", "bm", "gg", "cd", "mjl", "zbzl", "pdw", "LDW", "pfj", "lsj", "sj", "zk",
                  "cbj", "jj", "JJ_CKJ", "YCBJ", "zzsl", "jjff", "fonlymoney", "hs_tag"}},
      {"gl_stock", {"id", "name", "FDeleted", "KM5"}},
      {"KCLB", {"ID", "NAME"}},
      {"t_MeasureUnit", {"hh", "FMeasureUnitID", "FName", "FCoefficient", "Sj", "HYJ", "FDefault", "FDeleted"}},
      {"Operators", {"Code", "Guid", "name"}},
      {"sys_var", {"slws", "pfjws", "lsjws", "sjws", "hsjws", "wsjws", "cbjws", "jjbl", "ztdh", "bz1", "bz2", "bz3", "bz4",
                   "bz5", "bz6", "bz7", "bz8", "bz9", "xz1", "xz2", "xz3", "xz4", "xz5", "xz6", "xz7", "xz8", "xz9",
                   "rkdsh", "xhdsh", "dcdsh", "ykdsh", "lsjz", "ykfs", "glph", "phzx", "sf_tag", "zdxjbl", "ywjz", "jzyf",
                   "ckperiod", "qyzt"}},
      {"t_SystemProfile", {"FCategory", "FKey", "FValue"}},
      {"GLSelect", {"FDH", "FSQL"}},
      {"t_billnum", {"fid", "fused", "fprefix", "fdteformat", "Fnumdigit", "FmaxNum"}},
      {"sys_dh", {"id", "dblsh"}},
      {"RightModel", {"guid", "OldRightModel", "RightInfo1", "RightInfo2", "RightInfo3", "RightInfo4", "RightInfo5"}},
      {"rights", {"RightModelGuid", "operatorGuid", "RightValue1", "RightValue2", "RightValue3"}},
      {"RightGroup", {"OperatorGroupGuid", "RightModelGuid", "RightValue1", "RightValue2", "RightValue3"}},
      {"operatorGroupMember", {"operatorGuid", "GroupGuid"}},
      {"DataScopeItem", {"OperatorGuid", "ScopeCode", "ItemId"}},
      {"BillApprovalSwitch", {"BillTypeCode", "Enabled"}},
      {"BillApproval", {"BillTypeCode", "BillGuid", "MakerGuid", "SubmitterGuid", "TotalAmount", "MaxLineAmount",
                        "SubmittedAt", "Status", "DecidedAt", "DecidedBy"}},
      {"AuditVerdict", {"BillGuid", "ReturnValue", "ReturnMsg"}},
  };
  return columns;
}

struct ColumnInfo {
  std::string name;
  std::string type;
};

std::vector<ColumnInfo> TableColumns(RawConnection& db, const std::string& table) {
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db.Handle(), ("PRAGMA table_info(" + table + ")").c_str(), -1, &statement, nullptr);
  std::vector<ColumnInfo> columns;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    columns.push_back({reinterpret_cast<const char*>(sqlite3_column_text(statement, 1)),
                       reinterpret_cast<const char*>(sqlite3_column_text(statement, 2))});
  }
  sqlite3_finalize(statement);
  return columns;
}

std::string CollationOf(RawConnection& db, const std::string& table, const std::string& column) {
  const char* collation = nullptr;
  sqlite3_table_column_metadata(db.Handle(), nullptr, table.c_str(), column.c_str(), nullptr, &collation, nullptr, nullptr,
                                nullptr);
  return collation ? collation : "";
}

class EmptySchema : public ::testing::Test {
 protected:
  void SetUp() override { storeadjust::db::CreateEmptyDatabase(file_.Path()); }
  TempDatabasePath file_{"schema-empty"};
};

TEST_F(EmptySchema, HoldsEveryNamedTableAndColumn) {
  RawConnection db(file_.Path());
  for (const auto& [table, named] : NamedColumns()) {
    std::set<std::string> present;
    for (const auto& column : TableColumns(db, table)) present.insert(Lower(column.name));
    ASSERT_FALSE(present.empty()) << "missing table " << table;
    for (const auto& column : named) EXPECT_TRUE(present.count(Lower(column))) << table << "." << column;
  }
  EXPECT_EQ(db.Number("select count(*) from ckdbdzk"), 0);
}

TEST_F(EmptySchema, DeclaresSqlServerTypesAndCollatesEveryTextColumn) {
  RawConnection db(file_.Path());
  const std::set<std::string> known = {"varchar", "nvarchar", "int", "smallint", "bit", "money", "decimal", "datetime"};
  for (const auto& [table, named] : NamedColumns()) {
    for (const auto& column : TableColumns(db, table)) {
      const std::string type = Lower(column.type.substr(0, column.type.find('(')));
      EXPECT_TRUE(known.count(type)) << table << "." << column.name << " declared " << column.type;
      const bool text = type == "varchar" || type == "nvarchar";
      EXPECT_EQ(CollationOf(db, table, column.name), text ? storeadjust::db::kTextCollation : "BINARY")
          << table << "." << column.name;
    }
  }
}

TEST_F(EmptySchema, SqliteAffinitiesKeepTextKeysTextAndNumbersNumbers) {
  RawConnection db(file_.Path());
  ASSERT_EQ(db.Execute("insert into ckdbdzkmx (lsh, dh, sl, dj) values ('X', '1001', '2.5', 3)"), SQLITE_OK);
  EXPECT_EQ(db.Text("select typeof(dh) from ckdbdzkmx"), "text");
  EXPECT_EQ(db.Text("select typeof(sl) from ckdbdzkmx"), "real");
  // Goods-place quantities arrive as quoted text and must still add up as numbers.
  ASSERT_EQ(db.Execute("insert into BillGoodsPlace (BillType, Quantity) values ('WarehouseIn', '4')"), SQLITE_OK);
  EXPECT_EQ(db.Number("select Quantity + 1 from BillGoodsPlace"), 5);
}

TEST_F(EmptySchema, NewHeaderAndBalanceRowsGetTheDefaultsTheStatementsRelyOn) {
  RawConnection db(file_.Path());
  ASSERT_EQ(db.Execute("insert into ckdbdzk(lsh,kdrq,dcstockid,drstockid,bz,czry,shbz,shry,jzbz) values "
                       "('DBD1','2024-03-05 00:00:00','01','02','','张三',0,'',0)"),
            SQLITE_OK);
  EXPECT_TRUE(db.IsNull("select PreShbz from ckdbdzk"));
  // A balance row created by a stock movement names no year: it must land in the current period.
  ASSERT_EQ(db.Execute("insert into ywbalance (hh, stockid, fperiod, sjsl, brsl) values ('0001', '02', 0, 5, 5)"), SQLITE_OK);
  EXPECT_EQ(db.Number("select count(*) from ywbalance where fperiod=0 and fyear=0 and sjje=0 and bcsl=0"), 1);
  // A batch row's location list starts empty, not NULL, so appending to it works.
  ASSERT_EQ(db.Execute("insert into phk (HH, PH, DH, StockID, SL) values ('0001', 'P1', '1', '02', 5)"), SQLITE_OK);
  EXPECT_EQ(db.Text("select kh || 'A1' from phk"), "A1");
}

TEST_F(EmptySchema, BatchColumnsCopiedBetweenWarehousesAreTheUnnamedOnes) {
  RawConnection db(file_.Path());
  const std::set<std::string> excluded = {"goodsplaces", "qckc", "jhsl", "xhsl", "qtsrsl", "qtfcsl", "thsl",
                                          "kh", "lastpurchaseprice", "hh", "ph", "dh", "stockid", "sl",
                                          "xq", "jhdj", "scrq", "yhrq", "dwbh", "dwmc", "brsl"};
  std::string list;
  for (const auto& column : TableColumns(db, "phk")) {
    if (!excluded.count(Lower(column.name))) list += (list.empty() ? "" : ",") + column.name;
  }
  EXPECT_EQ(list, "bcsl,SellPrice");
}

struct KeyCase {
  const char* first;
  const char* duplicate;
};

TEST_F(EmptySchema, PrimaryKeysRefuseDuplicatesComparedAsSqlServerDoes) {
  RawConnection db(file_.Path());
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
    ASSERT_EQ(db.Execute(c.first), SQLITE_OK) << c.first << ": " << db.LastError();
    EXPECT_EQ(db.Execute(c.duplicate) & 0xff, SQLITE_CONSTRAINT) << c.duplicate;
  }
  // Different periods of one goods and warehouse are different rows.
  EXPECT_EQ(db.Execute("insert into ywbalance (hh, stockid, fperiod, fyear) values ('0001', '01', 2, 2024)"), SQLITE_OK);
}

TEST(DatabaseFactory, RefusesToOverwriteAnExistingDatabaseButFillsAnEmptyFile) {
  TempDatabasePath file("schema-refuse");
  storeadjust::db::CreateDemoDatabase(file.Path());
  const auto size = std::filesystem::file_size(file.Path());
  EXPECT_THROW(storeadjust::db::CreateEmptyDatabase(file.Path()), adodb::Error);
  EXPECT_THROW(storeadjust::db::CreateDemoDatabase(file.Path()), adodb::Error);
  ASSERT_TRUE(std::filesystem::exists(file.Path()));
  EXPECT_EQ(std::filesystem::file_size(file.Path()), size);
  RawConnection db(file.Path());
  EXPECT_GT(db.Number("select count(*) from yw_kck"), 0);

  TempDatabasePath empty("schema-zero");
  { std::ofstream touch(empty.Path()); }
  storeadjust::db::CreateEmptyDatabase(empty.Path());
  RawConnection emptyDb(empty.Path());
  EXPECT_EQ(emptyDb.Number("select count(*) from gl_stock"), 0);
  EXPECT_EQ(storeadjust::db::EmbeddedConnectionString("/tmp/a.db"), "Provider=SQLite;Data Source=/tmp/a.db");
}

}  // namespace
