// The embedded schema declares SQL Server types, the text collation on every text column, the
// defaults the statements rely on and primary keys that refuse duplicates; its decimal columns
// keep every digit a bound value brings. That it holds every column the statements name is shown
// by the engine tests and scenarios, which run them all; that a database file with content is never
// overwritten, by startup_CommandLineTest's DatabaseToolCreate.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdint>
#include <limits>
#include <string>
#include <tuple>

#include "adodb/BoundValues.h"
#include "adodb/DecimalText.h"
#include "adodb/Error.h"
#include "adodb/Recordset.h"
#include "db/DatabaseFactory.h"
#include "db/DecimalColumns.h"
#include "db/Schema.h"
#include "db/SqliteFile.h"
#include "support/ErrorOf.h"
#include "support/TempDatabase.h"

namespace {

using adodb::BoundDecimal;
using adodb::BoundInteger;
using storeadjust::db::SqliteFile;
using testsupport::ErrorOf;
using testsupport::TempDatabase;

// SQLite's own answer, with no T-SQL translation in between: the first column of the first row
// as text, "NULL" for NULL.
std::string RawText(SqliteFile& file, const std::string& sql) {
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(file.Handle(), sql.c_str(), -1, &statement, nullptr);
  std::string text;
  if (sqlite3_step(statement) == SQLITE_ROW) {
    const auto* value = sqlite3_column_text(statement, 0);
    text = value ? reinterpret_cast<const char*>(value) : "NULL";
  }
  sqlite3_finalize(statement);
  return text;
}

class EmptySchema : public ::testing::Test {
 protected:
  TempDatabase file_{storeadjust::db::CreateEmptyDatabase};
  SqliteFile db{file_.Path()};
};

// Decimal and money columns hold what SQL Server's would: a value at the column's scale (the
// binary noise of 5954.4 - 2280 is gone, a fifth decimal of a quantity rounds half away from
// zero), and values up to the edge of the range. A value beyond it is refused by the same
// triggers, in the server's words: DecimalDigits.AValueBeyondTheColumnIsRefusedInTheServersWords.
TEST_F(EmptySchema, DecimalsAreHeldAtTheirScaleUpToTheEdgeOfTheirRange) {
  auto conn = file_.Open();
  conn->Execute("insert into ckdbdzkmx (lsh, dh, je, sl, dj) values ('X', '1001', 5954.4 - 2280, 1.23455, 7)");
  EXPECT_EQ(RawText(db, "select (je = 3674.4) || ' ' || (sl = 1.2346) || ' ' || typeof(dj) from ckdbdzkmx"), "1 1 integer");
  conn->Execute("update ckdbdzkmx set sl = -sl - 0.00004, je = je - 0.00004");
  EXPECT_EQ(RawText(db, "select (je = 3674.4) || ' ' || (sl = -1.2346) from ckdbdzkmx"), "1 1");
  // The quantity is decimal(18,4), the amount money: one step past either edge is refused.
  EXPECT_THROW(conn->Execute("update ckdbdzkmx set sl = 1e14"), adodb::Error);
  EXPECT_THROW(conn->Execute("update ckdbdzkmx set je = 922337203685478"), adodb::Error);
  conn->Execute("update ckdbdzkmx set sl = 99999999999999.9, je = 922337203685477, dj = null");
  EXPECT_EQ(RawText(db, "select count(*) from ckdbdzkmx where sl > 99999999999999 and je > 922337203685476 and dj is null"), "1");
}

TEST_F(EmptySchema, AffinitiesAndDefaultsAreWhatTheStatementsRelyOn) {
  db.Execute("insert into ckdbdzkmx (lsh, dh, sl, dj) values ('X', '1001', '2.5', 3)");
  EXPECT_EQ(RawText(db, "select typeof(dh) || typeof(sl) from ckdbdzkmx"), "textreal");
  // Goods-place quantities arrive as quoted text and must still add up as numbers.
  db.Execute("insert into BillGoodsPlace (BillType, Quantity) values ('WarehouseIn', '4')");
  EXPECT_EQ(db.QueryNumber("select Quantity + 1 from BillGoodsPlace"), 5);
  // A balance row created by a stock movement names no year: it must land in the current period.
  db.Execute("insert into ywbalance (hh, stockid, fperiod, sjsl, brsl) values ('0001', '02', 0, 5, 5)");
  EXPECT_EQ(db.QueryNumber("select count(*) from ywbalance where fperiod=0 and fyear=0 and sjje=0 and bcsl=0"), 1);
  // A batch row's location list starts empty, not NULL, so appending to it works.
  db.Execute("insert into phk (HH, PH, DH, StockID, SL) values ('0001', 'P1', '1', '02', 5)");
  EXPECT_EQ(RawText(db, "select kh || 'A1' from phk"), "A1");
}

// Keys compare as SQL Server's collation does: without case and trailing blanks.
TEST_F(EmptySchema, PrimaryKeysRefuseDuplicatesComparedAsSqlServerDoes) {
  const std::pair<const char*, const char*> cases[] = {
      {"insert into ckdbdzk (lsh) values ('DBD202403050001')", "insert into ckdbdzk (lsh) values ('dbd202403050001 ')"},
      {"insert into phk (HH, PH, DH, StockID) values ('0001', 'A', '1', '01')",
       "insert into phk (HH, PH, DH, StockID) values ('0001', 'a', '1 ', '01')"},
      {"insert into ywbalance (hh, stockid, fperiod, fyear) values ('0001', '01', 0, 0)",
       "insert into ywbalance (hh, stockid) values ('0001', '01')"},  // the defaults are part of the key
  };
  for (const auto& [first, duplicate] : cases) {
    db.Execute(first);
    EXPECT_NE(ErrorOf([&] { db.Execute(duplicate); }).Description().find("constraint failed"), std::string::npos)
        << duplicate;
  }
  // Different periods of one goods and warehouse are different rows.
  db.Execute("insert into ywbalance (hh, stockid, fperiod, fyear) values ('0001', '01', 2, 2024)");
}

TEST_F(EmptySchema, DatesWrittenInAnyAcceptedFormAreStoredInOneFormThatRangesFind) {
  file_.Run({"insert into ckdbdzk (lsh, kdrq) values ('1', '2024-3-5')", "insert into ckdbdzk (lsh, kdrq) values ('2', '20240306')",
             "insert into ckdbdzk (lsh, kdrq) values ('3', '2024-04-01 08:00:00')", "update ckdbdzk set kdrq = '3/7/2024' where lsh = '3'",
             "insert into ckdbdzk (lsh, kdrq) values ('0', '')"});  // blank is 1900-01-01, as the server stores it
  EXPECT_EQ(RawText(db, "select group_concat(kdrq, '|') from (select kdrq from ckdbdzk order by lsh)"),
            "1900-01-01 00:00:00|2024-03-05 00:00:00|2024-03-06 00:00:00|2024-03-07 00:00:00");
  EXPECT_EQ(file_.Count("select count(*) from ckdbdzk where kdrq between '2024-03-01' and '2024-03-31'"), 3);
  const adodb::Error impossible = ErrorOf([&] { file_.Run({"insert into ckdbdzk (lsh, kdrq) values ('4', '2024-02-30')"}); });
  EXPECT_EQ(impossible.Description(), "Conversion failed when converting date and/or time from character string.");
  EXPECT_EQ(file_.Count("select count(*) from ckdbdzk"), 4);
}

// Decimal and money columns keep every digit a bound value brings that the embedded database can
// hold: 64-bit whole numbers exactly, values past 15 significant digits as the nearest double
// (SQLite's round() would have cut them to 16 digits), and a value beyond the declared range is
// refused with SQL Server's arithmetic-overflow words, the row left as it was.
const storeadjust::db::TableDefinition kAmounts{
    "amounts",
    {{"id", "int", "not null"}, {"d19_4", "decimal(19,4)", "null"}, {"d19_0", "decimal(19,0)", "null"},
     {"d18_2", "decimal(18,2)", "null"}, {"m", "money", "null"}},
    "id"};

class DecimalDigits : public ::testing::Test {
 protected:
  void SetUp() override {
    {
      storeadjust::db::SqliteFile file(db.Path());
      file.Execute(storeadjust::db::CreateTableStatement(kAmounts));
      for (const auto& trigger : storeadjust::db::StoredDecimalTriggers(kAmounts)) file.Execute(trigger);
    }
    conn = db.Open();
  }
  void Store(int id, const char* column, const adodb::Parameter& value) {
    conn->Execute(std::string("insert into amounts (id, ") + column + ") values (?, ?)", {BoundInteger(id), value});
  }
  adodb::Variant Read(int id, const char* column) {
    return conn->OpenRecordset(std::string("select ") + column + " from amounts where id = ?", {BoundInteger(id)})->Value(0);
  }

  testsupport::TempDatabase db;
  std::shared_ptr<adodb::Connection> conn;
};

// 64-bit whole numbers are kept exactly; of 17 digits and more the embedded database holds the
// nearest double (an ODBC server gets the text), never a value cut to 15 or 16 digits.
TEST_F(DecimalDigits, EveryDigitTheFileCanHoldIsKept) {
  const std::int64_t edges[] = {std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::min(),
                                9007199254740993LL, -999999999999999999LL};
  int id = 0;
  for (const std::int64_t edge : edges) {
    Store(++id, "d19_0", BoundDecimal(std::to_string(edge), 0));
    EXPECT_EQ(Read(id, "d19_0").AsInt64(), edge);
  }
  Store(++id, "d19_0", BoundDecimal("123.5", 0));  // half away from zero, still a whole number
  EXPECT_EQ(Read(id, "d19_0").AsInt64(), 124);
  const std::tuple<const char*, adodb::Parameter, double> stored[] = {
      {"m", BoundDecimal(123456789012345.67, 4), 123456789012345.67},
      {"d19_4", BoundDecimal(123456789012345.67, 4), 123456789012345.67},
      {"d18_2", BoundDecimal("1234567890123456.78", 2), 1234567890123456.78},
      {"d19_4", BoundDecimal("123456789012345.6789", 4), 123456789012345.6789}};
  const int money = id + 1;
  for (const auto& [column, value, held] : stored) {
    Store(++id, column, value);
    EXPECT_EQ(Read(id, column).AsDouble(), held) << column;
  }
  // The server computes at the column's scale; a sum of cents stays the sum of its cents.
  conn->Execute("update amounts set m = m + ? where id = ?", {BoundDecimal(0.01, 4), BoundInteger(money)});
  EXPECT_EQ(Read(money, "m").AsDouble(), 123456789012345.68);
}

// Rounding half away from zero at two and four places: adodb's BoundValuesTest
// (DecimalsAreHeldAtTheirScaleAndNullsStayNull) and the schema's ColumnsTest. The module's own
// tables get the same triggers (EmptySchema.DecimalsAreHeldAtTheirScaleUpToTheEdgeOfTheirRange).
TEST_F(DecimalDigits, AValueBeyondTheColumnIsRefusedInTheServersWords) {
  Store(1, "m", BoundDecimal(1, 4));
  using Refusal = std::tuple<const char*, adodb::Parameter, const char*>;
  for (const auto& [column, value, words] :
       {Refusal{"d19_4", BoundDecimal("1000000000000000", 4), "numeric to data type numeric."},
        Refusal{"d19_4", BoundDecimal(-999999999999999.99995, 4), "numeric to data type numeric."},
        Refusal{"d18_2", BoundDecimal(1e300, 2), "numeric to data type numeric."},
        Refusal{"m", BoundDecimal("922337203685478", 4), "expression to data type money."},
        Refusal{"m", BoundDecimal(-1e300, 4), "expression to data type money."}}) {
    const adodb::Error error = ErrorOf([&] { conn->Execute(std::string("update amounts set ") + column + " = ? where id = 1", {value}); });
    EXPECT_EQ(error.Description(), std::string("Arithmetic overflow error converting ") + words) << column;
    EXPECT_EQ(error.Number(), adodb::errnum::kProviderError) << column;
  }
  EXPECT_EQ(Read(1, "m").AsDouble(), 1);
  EXPECT_TRUE(Read(1, "d19_4").IsNull());
}

TEST(DecimalText, RoundsDigitByDigit) {
  EXPECT_EQ(adodb::DecimalTextAtScale("123456789012345.6789", 4), "123456789012345.6789");
  EXPECT_EQ(adodb::DecimalTextAtScale(" -99.995 ", 2), "-100.00");
  EXPECT_EQ(adodb::DecimalTextAtScale("-0.004", 2), "0.00");
  EXPECT_EQ(adodb::DecimalTextAtScale("+.5", 0), "1");
  EXPECT_EQ(adodb::DecimalTextAtScale("1e5", 0), std::nullopt);
  EXPECT_EQ(adodb::DecimalTextAtScale(2.6749999999999998, 2), "2.68");
  EXPECT_EQ(adodb::DecimalTextAtScale(123456789012345.67, 2), "123456789012345.67");
  EXPECT_THROW(BoundDecimal("12,5", 2), adodb::Error);
}

}  // namespace
