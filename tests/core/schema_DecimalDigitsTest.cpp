// Decimal and money columns keep every digit a bound value brings that the embedded database can
// hold: 64-bit whole numbers exactly, values past 15 significant digits as the nearest double
// (SQLite's round() would have cut them to 16 digits), and a value beyond the declared range is
// refused with SQL Server's arithmetic-overflow words, the row left as it was.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <tuple>

#include "adodb/BoundValues.h"
#include "adodb/DecimalText.h"
#include "adodb/Error.h"
#include "adodb/Recordset.h"
#include "db/DecimalColumns.h"
#include "db/Schema.h"
#include "db/SqliteFile.h"
#include "support/ErrorOf.h"
#include "support/TempDatabase.h"

namespace {

using adodb::BoundDecimal;
using adodb::BoundInteger;
using testsupport::ErrorOf;

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
  struct Refusal {
    const char* column;
    adodb::Parameter value;
    const char* words;
  };
  for (const Refusal& refusal :
       {Refusal{"d19_4", BoundDecimal("1000000000000000", 4), "numeric to data type numeric."},
        Refusal{"d19_4", BoundDecimal(-999999999999999.99995, 4), "numeric to data type numeric."},
        Refusal{"d18_2", BoundDecimal(1e300, 2), "numeric to data type numeric."},
        Refusal{"m", BoundDecimal("922337203685478", 4), "expression to data type money."},
        Refusal{"m", BoundDecimal(-1e300, 4), "expression to data type money."}}) {
    const adodb::Error error = ErrorOf([&] {
      conn->Execute(std::string("update amounts set ") + refusal.column + " = ? where id = 1", {refusal.value});
    });
    EXPECT_EQ(error.Description(), std::string("Arithmetic overflow error converting ") + refusal.words) << refusal.column;
    EXPECT_EQ(error.Number(), adodb::errnum::kProviderError) << refusal.column;
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
