#include "adodb/Variant.h"

#include <gtest/gtest.h>

#include <limits>

#include "adodb/DataType.h"
#include "adodb/Error.h"
#include "support/ErrorOf.h"

using adodb::Variant;
using testsupport::ErrorOf;

// Numbers go into statements as plain decimal text of at most 15 significant digits.
TEST(Variant, NumbersBecomePlainDecimalTextAndOnlyNumericTextConvertsBack) {
  EXPECT_EQ(adodb::FormatNumber(0.1 + 0.2), "0.3");
  EXPECT_EQ(adodb::FormatNumber(1e20), "100000000000000000000");
  EXPECT_EQ(adodb::FormatNumber(0.000012), "0.000012");
  EXPECT_EQ(adodb::FormatNumber(2.0 / 3.0), "0.666666666666667");
  EXPECT_DOUBLE_EQ(Variant(" 12.50 ").AsDouble(), 12.5);
  EXPECT_FALSE(Variant("12abc").IsNumeric());
  EXPECT_EQ(ErrorOf([] { (void)Variant("").AsDouble(); }).Number(), adodb::errnum::kTypeMismatch);
  EXPECT_EQ(ErrorOf([] { (void)Variant::Null().AsDouble(); }).Number(), adodb::errnum::kInvalidUseOfNull);
  EXPECT_LT(Compare(Variant("10"), Variant(9)), 0);  // mixed compares as text
}

// Halves round to even, as the classic conversions do; the 64-bit edges convert or overflow,
// never undefined behaviour.
TEST(Variant, IntegerConversionRoundsHalvesToEvenAndChecksRange) {
  EXPECT_EQ(Variant(2.5).AsInt16(), 2);
  EXPECT_EQ(Variant(3.5).AsInt16(), 4);
  EXPECT_EQ(Variant("7.6").AsInt32(), 8);
  EXPECT_EQ(Variant(true).AsInt16(), -1);
  EXPECT_EQ(ErrorOf([] { (void)Variant(32768).AsInt16(); }).Number(), adodb::errnum::kOverflow);
  const long long smallest = std::numeric_limits<long long>::min();
  EXPECT_EQ(Variant(smallest).AsText(), "-9223372036854775808");
  EXPECT_EQ(Compare(Variant(smallest), Variant(std::numeric_limits<long long>::max())), -1);
  EXPECT_EQ(Variant(-9223372036854775808.0).AsInt64(), smallest);
  EXPECT_EQ(ErrorOf([] { (void)Variant(9223372036854775808.0).AsInt64(); }).Number(), adodb::errnum::kOverflow);
  EXPECT_EQ(ErrorOf([&] { (void)Variant(smallest).AsInt32(); }).Number(), adodb::errnum::kOverflow);
  EXPECT_EQ(ErrorOf([&] { (void)Variant(smallest).AsDate(); }).Number(), adodb::errnum::kOverflow);
}
