// The list query: the layout's default or template, the operator code and the data-scope filter.
#include <gtest/gtest.h>

#include "browse/BillListQuery.h"

namespace storeadjust {
namespace {

TEST(BrowserListQueryTest, TheFilterTakesThreeBlanksInLayoutOneAndTwoInLayoutTwo) {
  const std::string filter = " and (czry='张三')";
  EXPECT_EQ(BuildBrowserListQuery("Where A.JZBZ = 0 [选择条件] Order By A.LSH", filter, BrowserLayout::TwoStep),
            "Where A.JZBZ = 0     and (czry='张三')  Order By A.LSH");
  EXPECT_EQ(BuildBrowserListQuery("Where A.JZBZ=0 [选择条件] Order By A.LSH", filter, BrowserLayout::OneStep),
            "Where A.JZBZ=0    and (czry='张三')  Order By A.LSH");
  EXPECT_EQ(BuildBrowserListQuery("Where A.JZBZ=0 [选择条件] Order By A.LSH", "", BrowserLayout::OneStep),
            "Where A.JZBZ=0  Order By A.LSH");
}

TEST(BrowserListQueryTest, AnEmptyTemplateFallsBackAndTheOperatorCodeStaysOneLiteral) {
  EXPECT_EQ(CompleteBrowserTemplate("", "001", BrowserLayout::TwoStep), DefaultBrowserTemplate(BrowserLayout::TwoStep));
  EXPECT_NE(DefaultBrowserTemplate(BrowserLayout::TwoStep).find("A.PRESHBZ AS 审核标志"), std::string::npos);
  EXPECT_EQ(DefaultBrowserTemplate(BrowserLayout::OneStep).find("PRESHBZ"), std::string::npos);
  EXPECT_EQ(CompleteBrowserTemplate("czry='[操作人员编号]' or x='[操作人员编号]'", "O'Neil", BrowserLayout::OneStep),
            "czry='O''Neil' or x='O''Neil'");
}

}  // namespace
}  // namespace storeadjust
