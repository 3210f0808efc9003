#include "adodb/Variant.h"

#include <gtest/gtest.h>

#include <limits>

#include "adodb/DataType.h"
#include "adodb/Error.h"
#include "support/ErrorOf.h"

using adodb::Variant;
using testsupport::ErrorOf;

// Halves round to even, as the classic conversions do; the 64-bit edges convert or overflow,
// never undefined behaviour.
TEST(Variant, IntegerConversionRoundsHalvesToEvenAndChecksRange) {
  EXPECT_EQ(Variant(2.5).AsInt16(), 2);
  EXPECT_EQ(Variant(3.5).AsInt16(), 4);
  EXPECT_EQ(Variant("7.6").AsInt32(), 8);
  EXPECT_EQ(Variant(true).AsInt16(), -1);
  EXPECT_EQ(ErrorOf([] { (void)Variant(32768).AsInt16(); }).Number(), adodb::errnum::kOverflow);
  EXPECT_EQ(ErrorOf([] { (void)Variant("12abc").AsDouble(); }).Number(), adodb::errnum::kTypeMismatch);
  EXPECT_EQ(ErrorOf([] { (void)Variant::Null().AsDouble(); }).Number(), adodb::errnum::kInvalidUseOfNull);
  const long long smallest = std::numeric_limits<long long>::min();
  EXPECT_EQ(Variant(smallest).AsText(), "-9223372036854775808");
  EXPECT_EQ(Compare(Variant(smallest), Variant(std::numeric_limits<long long>::max())), -1);
  EXPECT_EQ(Variant(-9223372036854775808.0).AsInt64(), smallest);
  EXPECT_EQ(ErrorOf([] { (void)Variant(9223372036854775808.0).AsInt64(); }).Number(), adodb::errnum::kOverflow);
  EXPECT_EQ(ErrorOf([&] { (void)Variant(smallest).AsInt32(); }).Number(), adodb::errnum::kOverflow);
  EXPECT_EQ(ErrorOf([&] { (void)Variant(smallest).AsDate(); }).Number(), adodb::errnum::kOverflow);
}
