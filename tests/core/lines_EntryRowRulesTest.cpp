// The small rules the entry row's checks lean on, which no scenario can pin: the unit a stored
// line was entered in when that unit is gone, and a batch compared with what the bill's other
// lines already draw from it, as the clerk reads the figures. What the line to save holds is
// pinned by the entry property test and the lines and entry scenarios.
#include <gtest/gtest.h>

#include "lines/BatchChoice.h"
#include "lines/StoredEntryRow.h"

namespace storeadjust {
namespace {

TEST(StoredUnitTest, AStoredLinesUnitKeepsTheCoefficientItWasEnteredWith) {
  EXPECT_EQ(StoredUnit("件", MeasureUnit{"03", "件", 100}, 1200, 12).coefficient, 100);
  const MeasureUnit changed = StoredUnit("件", MeasureUnit{"03", "件", 50}, 100, 1);
  EXPECT_EQ(changed.coefficient, 100) << "件 changed from 100 to 50 boxes after the line was stored";
  EXPECT_EQ(changed.code, "03");
  // sl is stored at 4 places: 0.25 克 of 0.001 千克 are 0.0003, and the unit still explains them.
  EXPECT_EQ(StoredUnit("克", MeasureUnit{"02", "克", 0.001}, 0.0003, 0.25).coefficient, 0.001);
  EXPECT_EQ(StoredUnit("克", MeasureUnit{"02", "克", 0.001}, 0.3333, 333.3).coefficient, 0.001);
  EXPECT_EQ(StoredUnit("件", MeasureUnit{"03", "件", 50}, 0, 0).coefficient, 50);
  EXPECT_EQ(StoredUnit("件", MeasureUnit{"03", "件", 50}, 100, std::nullopt).coefficient, 50);
  const MeasureUnit unknown = StoredUnit("箱", std::nullopt, 120, 12);
  EXPECT_EQ(unknown.name + "|" + unknown.code, "箱|");
  EXPECT_EQ(unknown.coefficient, 10);
  EXPECT_EQ(StoredUnit("", std::nullopt, 0, 0).coefficient, 1);
}

TEST(BatchCoversTest, WhatOtherLinesTakeCountsAndQuantitiesCompareAsShown) {
  EXPECT_TRUE(BatchCovers(50, 0, 50));
  EXPECT_FALSE(BatchCovers(50, 50, 5)) << "two lines drawing 50 and 5 from a batch of 50";
  EXPECT_TRUE(BatchCovers(0.3, 0.1, 0.2));
  EXPECT_FALSE(BatchCovers(77, 0, 90)) << "9 中包 of 10 against a batch of 77 boxes";
}

}  // namespace
}  // namespace storeadjust
