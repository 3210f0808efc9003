// The one way the code base compares names without case and trims text: the helpers every layer
// now calls instead of its own copy.
#include <gtest/gtest.h>

#include "adodb/TextCompare.h"

namespace adodb {
namespace {

TEST(TextCompareTest, NamesCompareAsciiLettersWithoutCaseAndLeaveOtherBytesAlone) {
  EXPECT_TRUE(SameName("Provider", "PROVIDER"));
  EXPECT_FALSE(SameName("lsh", "lsh "));
  EXPECT_TRUE(StartsWithName("CREATE table t", "create"));
  EXPECT_TRUE(StartsWithName("nvarchar(30)", "NVARCHAR"));
  EXPECT_FALSE(StartsWithName("dro", "drop"));
  EXPECT_FALSE(StartsWithName("Jan", "January"));
  // The bytes of Chinese text pass unchanged whatever the process's locale.
  EXPECT_EQ(UpperName("dbd调拨ep"), "DBD调拨EP");
  EXPECT_EQ(LowerName("ÉTÉ Ab"), "ÉtÉ ab");
  EXPECT_FALSE(SameName("é", "É"));  // names are ASCII; values compare by CompareValues
  EXPECT_EQ(CompareValues("é", "É  "), 0);
}

TEST(TextCompareTest, TrimmingTakesTheGivenBlanksFromBothEndsOnly) {
  EXPECT_EQ(Trimmed(" \t a b \r\n"), "a b");
  EXPECT_EQ(Trimmed(" \r\n "), "");
  EXPECT_EQ(Trimmed("\n x \n", " "), "\n x \n");
  EXPECT_EQ(Trimmed("  仓库  ", " "), "仓库");
}

}  // namespace
}  // namespace adodb
