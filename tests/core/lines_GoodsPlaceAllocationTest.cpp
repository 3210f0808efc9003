// The goods-place dialog's rules on the demo database: the places of a warehouse with the goods'
// quantities, where the allocation starts from, the totals that decide whether it may be
// confirmed, and the items it answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "adodb/Variant.h"
#include "db/DatabaseFactory.h"
#include "lines/GoodsPlaceAllocation.h"
#include "support/DemoGoodsPlaceRequest.h"
#include "support/TempDatabase.h"

namespace storeadjust {
namespace {

using testsupport::TempDatabase;

// Each row as "number name current allocated", one a line.
std::string Shown(const GoodsPlaceAllocation& allocation) {
  std::string text;
  for (const GoodsPlaceRow& row : allocation.Rows()) {
    text += row.number + " " + row.name + " " + adodb::FormatNumber(row.current) + " " +
            adodb::FormatNumber(row.allocated) + "\n";
  }
  return text;
}

class GoodsPlaceAllocationTest : public ::testing::Test {
 protected:
  GoodsPlaceRequest Request(const std::string& lineKey, const std::string& goods, const std::string& quantity) const {
    return testsupport::DemoGoodsPlaceRequest(db_, lineKey, goods, quantity);
  }

  TempDatabase db_{db::CreateDemoDatabase};
};

TEST_F(GoodsPlaceAllocationTest, ListsThePlacesOfTheWarehouseWithTheGoodsQuantityOverAllItsBatches) {
  // 0021 lies in Y01 (6.25), in Y02 from both batches (4.5 + 9.25) and in Y03 (6.5).
  EXPECT_EQ(Shown(GoodsPlaceAllocation(Request(kNewLineKey, "0021", "5"))),
            "Y01 饮片架01 6.25 0\nY02 饮片架02 13.75 0\nY03 饮片架03 6.5 0\n");

  // A place the goods has never been in is listed with nothing in it.
  GoodsPlaceRequest request = Request(kNewLineKey, "0001", "5");
  request.warehouseId = "09";
  EXPECT_EQ(Shown(GoodsPlaceAllocation(request)), "B01 货架B01 15.5 0\nB02 货架B02 10.5 0\nB03 货架B03 0 0\n");

  // Goods left in a place the list no longer names stay visible, after the listed places.
  db_.Run({"insert into GoodsPlaceBalance (GoodsPlaceGuid, GoodsPlaceNo, WarehouseGuid, MaterielGuid, BatchNo, "
           "BatchNumber, CurrQuantity) values ('P09OLD', 'OLD', '09', '0001', '240212', '200012', 1.5)"});
  EXPECT_EQ(Shown(GoodsPlaceAllocation(request)),
            "B01 货架B01 15.5 0\nB02 货架B02 10.5 0\nB03 货架B03 0 0\nOLD  1.5 0\n");

  // A warehouse id holding a quote is one literal: no places, no broken statement.
  request.warehouseId = "0'9";
  EXPECT_TRUE(GoodsPlaceAllocation(request).Rows().empty());
}

TEST_F(GoodsPlaceAllocationTest, AStoredLineStartsFromItsOwnRowsOfTheBillType) {
  const GoodsPlaceAllocation line1001(Request("1001", "0021", "5.5"));
  EXPECT_EQ(Shown(line1001), "Y01 饮片架01 6.25 3.5\nY02 饮片架02 13.75 2\nY03 饮片架03 6.5 0\n");
  EXPECT_TRUE(line1001.MayConfirm());
  EXPECT_EQ(line1001.Items(), (std::vector<std::string>{"P05Y01,05,Y01,3.5", "P05Y02,05,Y02,2"}));

  // The other line's rows, and the out-warehouse side of the same line, are not this allocation.
  EXPECT_EQ(Shown(GoodsPlaceAllocation(Request("1002", "0022", "4"))),
            "Y01 饮片架01 14.5 0\nY02 饮片架02 6.5 0\nY03 饮片架03 7.75 4\n");
  GoodsPlaceRequest outSide = Request("1001", "0021", "5.5");
  outSide.billType = "WarehouseOut";
  EXPECT_TRUE(GoodsPlaceAllocation(outSide).Items().empty());

  // A new line of the same bill has nothing allocated yet.
  EXPECT_TRUE(GoodsPlaceAllocation(Request(kNewLineKey, "0021", "5.5")).Items().empty());
}

TEST_F(GoodsPlaceAllocationTest, OnlyAnAllocationOfExactlyTheQuantityMayBeConfirmed) {
  GoodsPlaceAllocation allocation(Request(kNewLineKey, "0021", "8"));
  EXPECT_FALSE(allocation.MayConfirm());
  EXPECT_EQ(allocation.Summary(), "合计 0 / 应分配 8：合计须等于应分配数量才能确定");

  ASSERT_TRUE(allocation.SetQuantity(0, "5"));
  EXPECT_EQ(allocation.Summary(), "合计 5 / 应分配 8：合计须等于应分配数量才能确定");
  EXPECT_FALSE(allocation.MayConfirm());
  EXPECT_EQ(allocation.Items().size(), 1u);

  ASSERT_TRUE(allocation.SetQuantity(2, "3"));
  EXPECT_EQ(allocation.Summary(), "合计 8 / 应分配 8");
  EXPECT_TRUE(allocation.MayConfirm());
  EXPECT_EQ(allocation.Items(), (std::vector<std::string>{"P05Y01,05,Y01,5", "P05Y03,05,Y03,3"}));

  // More than the quantity is refused as much as less.
  ASSERT_TRUE(allocation.SetQuantity(1, "0.5"));
  EXPECT_FALSE(allocation.MayConfirm());
  // A blank cell places nothing there.
  ASSERT_TRUE(allocation.SetQuantity(1, " "));
  EXPECT_TRUE(allocation.MayConfirm());
  EXPECT_EQ(allocation.Items().size(), 2u);
}

TEST_F(GoodsPlaceAllocationTest, ReadsBesideTheEditorsOpenTransactionWithoutSeeingIt) {
  auto editor = db_.Open();
  editor->BeginTrans();
  editor->Execute("delete from BillGoodsPlace where BillGuid='DBD202403010002' and BillDetailGuid='1001'");
  editor->Execute("delete from GoodsPlaceBalance where WarehouseGuid='05'");
  const GoodsPlaceAllocation allocation(Request("1001", "0021", "5.5"));
  EXPECT_EQ(Shown(allocation), "Y01 饮片架01 6.25 3.5\nY02 饮片架02 13.75 2\nY03 饮片架03 6.5 0\n");
  editor->RollbackTrans();
}

}  // namespace
}  // namespace storeadjust
