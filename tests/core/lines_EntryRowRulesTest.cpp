// The small rules the entry row's checks lean on, which no scenario can pin: the unit a stored
// line was entered in when that unit is gone, a batch compared with what the bill's other lines
// already draw from it, as the clerk reads the figures. What the line to save holds is
// pinned by the entry property test and the lines and entry scenarios.
#include <gtest/gtest.h>

#include "lines/BatchChoice.h"
#include "lines/LineSaving.h"
#include "lines/StoredEntryRow.h"
#include "support/PropertyRuns.h"

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

// A line's tax figures agree with its stored amount and retail total, so an amended line whose
// fields show the stored figures keeps them when saved unchanged: figures worked from what the
// fields held at entry (109.005 stored as 109.01) and from what F3 shows are the same.
TEST(LineFiguresTest, TaxFiguresFollowTheStoredAmountAndRetailTotal) {
  const LineFigures typed = FiguresOf(0, 1, 50.004, 109.005, 50.004, 9);
  EXPECT_EQ(typed.retailTotalNet, 100.01);
  EXPECT_EQ(typed.taxDifference, 54.51);
  testsupport::RunSeeds({1, 2, 3}, [](unsigned seed) -> std::string {
    testsupport::RandomDraws draw(seed);
    for (int i = 0; i < 2000; ++i) {
      const double amount = draw.Uniform(-1000, 1000), retail = draw.Uniform(-1000, 1000);
      const double tax = static_cast<double>(draw.Index(18));
      const LineFigures entered = FiguresOf(3, 1, amount, retail, amount, tax);
      const LineFigures amended = FiguresOf(3, 1, entered.amount, entered.retailTotal, entered.amount, tax);
      if (amended.retailTotalNet != entered.retailTotalNet || amended.taxDifference != entered.taxDifference) {
        return "amount " + std::to_string(amount) + ", retail total " + std::to_string(retail) + ", tax " +
               std::to_string(tax) + ": an unchanged amendment moves the tax figures";
      }
    }
    return "";
  });
}

TEST(BatchCoversTest, WhatOtherLinesTakeCountsAndQuantitiesCompareAsShown) {
  EXPECT_TRUE(BatchCovers(50, 0, 50));
  EXPECT_FALSE(BatchCovers(50, 50, 5)) << "two lines drawing 50 and 5 from a batch of 50";
  EXPECT_TRUE(BatchCovers(0.3, 0.1, 0.2));
  EXPECT_FALSE(BatchCovers(77, 0, 90)) << "9 中包 of 10 against a batch of 77 boxes";
}

}  // namespace
}  // namespace storeadjust
