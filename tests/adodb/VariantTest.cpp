#include "adodb/Variant.h"

#include <gtest/gtest.h>

#include <limits>

#include "adodb/DataType.h"
#include "adodb/Error.h"
#include "support/ErrorOf.h"

using adodb::Date;
using adodb::Variant;

using testsupport::ErrorOf;

TEST(Variant, NumbersBecomePlainDecimalTextForStatements) {
  EXPECT_EQ(adodb::FormatNumber(0.1 + 0.2), "0.3");
  EXPECT_EQ(adodb::FormatNumber(-0.0), "0");
  EXPECT_EQ(adodb::FormatNumber(36), "36");
  EXPECT_EQ(adodb::FormatNumber(-0.75), "-0.75");
  EXPECT_EQ(adodb::FormatNumber(1e20), "100000000000000000000");
  EXPECT_EQ(adodb::FormatNumber(0.000012), "0.000012");
  EXPECT_EQ(adodb::FormatNumber(123456.789), "123456.789");
  EXPECT_EQ(adodb::FormatNumber(2.0 / 3.0), "0.666666666666667");
  EXPECT_EQ(Variant(12.5).AsText(), "12.5");
  EXPECT_EQ(Variant::Currency(3).AsText(), "3");
}

TEST(Variant, NumericTextConvertsOtherTextIsATypeMismatch) {
  EXPECT_DOUBLE_EQ(Variant(" 12.50 ").AsDouble(), 12.5);
  EXPECT_DOUBLE_EQ(Variant("-3").AsDouble(), -3);
  EXPECT_DOUBLE_EQ(Variant("1e3").AsDouble(), 1000);
  EXPECT_DOUBLE_EQ(Variant().AsDouble(), 0);
  EXPECT_TRUE(Variant("5.").IsNumeric());
  EXPECT_FALSE(Variant("").IsNumeric());
  EXPECT_FALSE(Variant("12abc").IsNumeric());
  EXPECT_EQ(ErrorOf([] { (void)Variant("abc").AsDouble(); }).Number(), adodb::errnum::kTypeMismatch);
  EXPECT_EQ(ErrorOf([] { (void)Variant("").AsDouble(); }).Number(), adodb::errnum::kTypeMismatch);
}

TEST(Variant, IntegerConversionRoundsHalvesToEvenAndChecksRange) {
  EXPECT_EQ(Variant(2.5).AsInt16(), 2);
  EXPECT_EQ(Variant(3.5).AsInt16(), 4);
  EXPECT_EQ(Variant(-2.5).AsInt32(), -2);
  EXPECT_EQ(Variant("7.6").AsInt32(), 8);
  EXPECT_EQ(Variant(true).AsInt16(), -1);
  EXPECT_EQ(Variant(32767).AsInt16(), 32767);
  EXPECT_EQ(ErrorOf([] { (void)Variant(32768).AsInt16(); }).Number(), adodb::errnum::kOverflow);
  EXPECT_EQ(ErrorOf([] { (void)Variant(3e9).AsInt32(); }).Number(), adodb::errnum::kOverflow);
}

TEST(Variant, SixtyFourBitEdgesConvertOrOverflowWithoutUndefinedBehaviour) {
  const long long smallest = std::numeric_limits<long long>::min();
  EXPECT_EQ(Variant(smallest).AsInt64(), smallest);
  EXPECT_EQ(Variant(smallest).AsText(), "-9223372036854775808");
  EXPECT_EQ(Compare(Variant(smallest), Variant(std::numeric_limits<long long>::max())), -1);
  EXPECT_EQ(Variant(-9223372036854775808.0).AsInt64(), smallest);
  EXPECT_EQ(ErrorOf([] { (void)Variant(9223372036854775808.0).AsInt64(); }).Number(), adodb::errnum::kOverflow);
  EXPECT_EQ(ErrorOf([&] { (void)Variant(smallest).AsInt32(); }).Number(), adodb::errnum::kOverflow);
  EXPECT_EQ(ErrorOf([] { (void)Variant(1e300).AsDate(); }).Number(), adodb::errnum::kOverflow);
  EXPECT_EQ(ErrorOf([&] { (void)Variant(smallest).AsDate(); }).Number(), adodb::errnum::kOverflow);
}

TEST(Variant, NullIsRefusedWhereTheClassicRulesRefuseIt) {
  const Variant null = Variant::Null();
  EXPECT_EQ(ErrorOf([&] { (void)null.AsText(); }).Number(), adodb::errnum::kInvalidUseOfNull);
  EXPECT_EQ(ErrorOf([&] { (void)null.AsDouble(); }).Number(), adodb::errnum::kInvalidUseOfNull);
  EXPECT_EQ(null.TextOrEmpty(), "");
  EXPECT_EQ(Variant().AsText(), "");
  EXPECT_TRUE(null == Variant::Null());
  EXPECT_FALSE(null == Variant());
}

TEST(Variant, DatesParseFormatAndCountDaysLikeTheClassicSerial) {
  const auto parsed = Date::Parse("2024-02-29 13:05:09.123");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->ToText(), "2024-02-29 13:05:09");
  EXPECT_EQ(Date::Parse("2024/3/5")->ToText(), "2024-03-05");
  EXPECT_EQ(Date::Parse("2024-03-05T08:00:00")->hour, 8);
  EXPECT_FALSE(Date::Parse("2023-02-29"));
  EXPECT_FALSE(Date::Parse("2023-13-01"));
  EXPECT_FALSE(Date::Parse("20230101"));
  EXPECT_DOUBLE_EQ(Date::Parse("1900-01-01")->ToSerial(), 2);
  EXPECT_EQ(Date::FromSerial(45292.5).ToText(), "2024-01-01 12:00:00");
  EXPECT_EQ(Variant("1900-01-01").AsDate().ToText(), "1900-01-01");
  EXPECT_EQ(Variant(*Date::Parse("2024-01-02")).AsText(), "2024-01-02");
}

TEST(Variant, CompareOrdersNullsFirstNumbersNumericallyTextByBytes) {
  EXPECT_LT(Compare(Variant::Null(), Variant(-5)), 0);
  EXPECT_LT(Compare(Variant(9), Variant(10.5)), 0);
  EXPECT_GT(Compare(Variant("b"), Variant("a")), 0);
  EXPECT_LT(Compare(Variant("10"), Variant(9)), 0);  // mixed compares as text
  EXPECT_LT(Compare(Variant(*Date::Parse("2024-01-01")), Variant(*Date::Parse("2024-01-01 00:00:01"))), 0);
}
