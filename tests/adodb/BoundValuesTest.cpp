// Values bound to a statement's ? marks on the embedded database: they never become statement
// text, keep every digit of a 64-bit integer, are held at a decimal's scale, and go to the mark
// they belong to even when the translation moves it.
#include "adodb/BoundValues.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <limits>
#include <random>
#include <string>
#include <utility>

#include "adodb/DecimalText.h"
#include "adodb/Error.h"
#include "adodb/Recordset.h"
#include "support/ErrorOf.h"
#include "support/TempDatabase.h"

namespace adodb {
namespace {

using testsupport::ErrorOf;

class BoundValuesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    conn = db.Open();
    conn->Execute("create table v (id int primary key, pm varchar(40) null, n bigint null, je decimal(18,2) null, "
                  "dj decimal(18,4) null, rq datetime null)");
  }
  Variant ValueOf(const std::string& column, int id) {
    return conn->OpenRecordset("select " + column + " from v where id = ?", {BoundInteger(id)})->Value(0);
  }

  testsupport::TempDatabase db;
  std::shared_ptr<Connection> conn;
};

// Texts with quotes, Chinese, nothing or a mark in them, and integers at and past the 53 bits a
// double holds, each stored by a mark: it comes back as it went in and finds its own row.
TEST_F(BoundValuesTest, TextsAndSixtyFourBitIntegersComeBackWholeAndFindTheirRows) {
  const std::pair<const char*, std::string> values[] = {
      {"pm", "O'Brien"}, {"pm", "'; drop table v; --"}, {"pm", "阿莫西林胶囊（0.25g*24粒）"}, {"pm", ""}, {"pm", "?"},
      {"n", std::to_string(std::numeric_limits<std::int64_t>::min())},
      {"n", std::to_string(std::numeric_limits<std::int64_t>::max())}, {"n", "9007199254740993"}, {"n", "-1"}, {"n", "0"}};
  const auto bound = [](const std::string& column, const std::string& value) {
    return column == "pm" ? BoundText(value) : BoundInteger(std::stoll(value));
  };
  int id = 0;
  for (const auto& [column, value] : values) {
    const std::string insert = std::string("insert into v (id, ") + column + ") values (?, ?)";
    EXPECT_EQ(conn->Execute(insert, {BoundInteger(++id), bound(column, value)}), 1);
  }
  id = 0;
  for (const auto& [column, value] : values) {
    EXPECT_EQ(ValueOf(column, ++id).AsText(), value);
    const auto found = conn->OpenRecordset(std::string("select id from v where ") + column + " = ?", {bound(column, value)});
    ASSERT_FALSE(found->EOF()) << value;
    EXPECT_EQ(found->Value(0).AsInt32(), id) << value;
  }
  // A ? inside a literal is a character, not a mark.
  EXPECT_EQ(conn->OpenRecordset("select '?' + ? as x", {BoundText("!")})->Value(0).AsText(), "?!");
}

TEST_F(BoundValuesTest, DecimalsAreHeldAtTheirScaleAndNullsStayNull) {
  conn->Execute("insert into v (id, je, dj, rq) values (?, ?, ?, ?)",
                {BoundInteger(1), BoundDecimal(2.675, 2), BoundDecimal(-0.00005, 4), BoundDate(Date{2024, 3, 5, 10, 20, 30})});
  conn->Execute("insert into v (id, je, dj, rq, pm, n) values (?, ?, ?, ?, ?, ?)",
                {BoundInteger(2), BoundNull(adDecimal), BoundNull(adDecimal), BoundDate(Date{2024, 3, 6}), BoundNull(), BoundNull(adBigInt)});
  EXPECT_EQ(ValueOf("je", 1).AsDouble(), 2.68);
  EXPECT_EQ(ValueOf("dj", 1).AsDouble(), -0.0001);
  EXPECT_EQ(ValueOf("rq", 1).AsDate(), (Date{2024, 3, 5, 10, 20, 30}));
  EXPECT_EQ(ValueOf("rq", 2).AsDate(), (Date{2024, 3, 6}));
  for (const char* column : {"je", "dj", "pm", "n"}) EXPECT_TRUE(ValueOf(column, 2).IsNull()) << column;
}

TEST_F(BoundValuesTest, EachValueGoesToItsOwnMarkWhereverTheTranslationMovesIt) {
  for (int id = 1; id <= 5; ++id) conn->Execute("insert into v (id, n) values (?, ?)", {BoundInteger(id), BoundInteger(id * 10)});
  // TOP's count ends up after the WHERE clause as LIMIT.
  const std::string topAbove = "select top (?) id from v where n > ? order by id";
  const auto top = conn->OpenRecordset(topAbove, {BoundInteger(2), BoundInteger(20)});
  ASSERT_EQ(top->RecordCount(), 2);
  EXPECT_EQ(top->Value(0).AsInt32(), 3);
  // The same text with other values is the same prepared statement and gives their rows.
  EXPECT_EQ(conn->OpenRecordset(topAbove, {BoundInteger(1), BoundInteger(40)})->Value(0).AsInt32(), 5);
}

// The bill list is requeried after each change with the values it was opened with.
TEST_F(BoundValuesTest, RequeryRunsAgainWithTheSameValues) {
  conn->Execute("insert into v (id, pm) values (?, ?)", {BoundInteger(1), BoundText("甲")});
  const auto set = conn->OpenRecordset("select count(*) from v where pm = ?", {BoundText("乙")});
  EXPECT_EQ(set->Value(0).AsInt32(), 0);
  conn->Execute("update v set pm = ? where id = ?", {BoundText("乙"), BoundInteger(1)});
  set->Requery();
  EXPECT_EQ(set->Value(0).AsInt32(), 1);
}

TEST_F(BoundValuesTest, MarksAndValuesThatDoNotMatchAreRefusedAndChangeNothing) {
  const Error refused = ErrorOf([&] { conn->Execute("insert into v (id, pm) values (?, ?)", {BoundInteger(1)}); });
  EXPECT_NE(refused.Description().find("more parameter marks"), std::string::npos) << refused.Description();
  EXPECT_EQ(conn->OpenRecordset("select count(*) from v")->Value(0).AsInt32(), 0);
  // The statement prepared for that text does not keep the last values it was given.
  conn->Execute("insert into v (id, pm) values (?, ?)", {BoundInteger(1), BoundText("x")});
  EXPECT_THROW(conn->Execute("insert into v (id, pm) values (?, ?)", {BoundInteger(2)}), Error);
  EXPECT_EQ(conn->OpenRecordset("select count(*) from v")->Value(0).AsInt32(), 1);
  // A value left over is refused too: the caller's marks and values do not match.
  EXPECT_THROW(conn->Execute("insert into v (id, pm) values (?, 'y')", {BoundInteger(3), BoundText("z")}), Error);
  EXPECT_EQ(conn->OpenRecordset("select count(*) from v")->Value(0).AsInt32(), 1);
}

// Rounding takes a shortcut for values that already are decimals at the scale: whatever the
// value, it must give the double the rounded decimal text gives, near halves and sums included.
TEST(RoundedToScaleTest, GivesTheDoubleOfTheRoundedDecimalTextForAnyValue) {
  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937_64 random(seed);
  const auto viaText = [](double value, int scale) { return std::strtod(DecimalTextAtScale(value, scale).c_str(), nullptr); };
  const auto check = [&](double value, int scale) {
    const double rounded = RoundedToScale(value, scale);
    const double expected = viaText(value, scale);
    ASSERT_EQ(std::memcmp(&rounded, &expected, sizeof rounded), 0)
        << std::setprecision(17) << value << " at scale " << scale << ": " << rounded << " vs " << expected;
  };
  std::uniform_int_distribution<int> scales(0, 8), digits(1, 17), lines(1, 50);
  for (int round = 0; round < 20000; ++round) {
    const int scale = scales(random);
    const std::int64_t units = static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(std::pow(10.0, digits(random))));
    const double decimal = (round % 2 ? -1.0 : 1.0) * static_cast<double>(units) / std::pow(10.0, scales(random));
    check(decimal, scale);
    check(decimal + std::pow(10.0, -scale) / 2, scale);  // a half at the scale
    check(std::nextafter(decimal, 1e300), scale);
    check(std::nextafter(decimal, -1e300), scale);
    double sum = 0;  // amounts added up as a bill's lines are
    for (int line = lines(random); line > 0; --line) sum += decimal * 0.01 * line;
    check(sum, scale);
    double raw;
    const std::uint64_t bits = random();
    std::memcpy(&raw, &bits, sizeof raw);
    if (std::isfinite(raw)) check(raw, scale);
  }
  for (const double edge : {0.0, -0.0, 0.5, -0.5, 1.00005, 2.675, 0.1 + 0.2, 1e15, 999999999999999.9, 1e-20, -1e-5, 5e-5})
    for (int scale = 0; scale <= 20; ++scale) check(edge, scale);
}

}  // namespace
}  // namespace adodb
