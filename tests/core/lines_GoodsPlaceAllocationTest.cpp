// The goods-place dialog's rules on the demo database (its keys and totals are tested offscreen in
// GoodsPlaceDialogViewTest): the places of a warehouse with the goods' quantities, where the
// allocation starts from, and what may be confirmed.
#include <gtest/gtest.h>

#include "adodb/Variant.h"
#include "db/DatabaseFactory.h"
#include "lines/GoodsPlaceAllocation.h"
#include "support/DemoGoodsPlaceRequest.h"

namespace storeadjust {
namespace {

// Each row as "number name current allocated", one a line.
std::string Shown(const GoodsPlaceAllocation& allocation) {
  std::string text;
  for (const GoodsPlaceRow& row : allocation.Rows()) {
    text += row.number + " " + row.name + " " + adodb::FormatNumber(row.current) + " " +
            adodb::FormatNumber(row.allocated) + "\n";
  }
  return text;
}

TEST(GoodsPlaceAllocationTest, ListsThePlacesWithTheGoodsQuantityOverAllItsBatchesAndTheLinesOwnRows) {
  testsupport::TempDatabase db{db::CreateDemoDatabase};
  const auto request = [&db](const std::string& line, const std::string& goods, const std::string& quantity) {
    return testsupport::DemoGoodsPlaceRequest(db, line, goods, quantity);
  };
  // Read beside the editor's open transaction, whose deletes it does not see. 0021 lies in Y01
  // (6.25), in Y02 from both batches (4.5 + 9.25) and in Y03 (6.5); line 1001 holds Y01 3.5, Y02 2.
  auto editor = db.Open();
  editor->BeginTrans();
  editor->Execute("delete from BillGoodsPlace where BillGuid='DBD202403010002' and BillDetailGuid='1001'");
  editor->Execute("delete from GoodsPlaceBalance where WarehouseGuid='05'");
  EXPECT_EQ(Shown(GoodsPlaceAllocation(request("1001", "0021", "5.5"))),
            "Y01 饮片架01 6.25 3.5\nY02 饮片架02 13.75 2\nY03 饮片架03 6.5 0\n");
  editor->RollbackTrans();
  // Another line's rows, the out-warehouse side of the same line and a new line are not this allocation.
  EXPECT_EQ(Shown(GoodsPlaceAllocation(request("1002", "0022", "4"))),
            "Y01 饮片架01 14.5 0\nY02 饮片架02 6.5 0\nY03 饮片架03 7.75 4\n");
  GoodsPlaceRequest outSide = request("1001", "0021", "5.5");
  outSide.billType = "WarehouseOut";
  EXPECT_TRUE(GoodsPlaceAllocation(outSide).Items().empty());
  EXPECT_TRUE(GoodsPlaceAllocation(request(kNewLineKey, "0021", "5.5")).Items().empty());

  // A place the goods has never been in is listed empty; goods left in a place the list no longer
  // names stay visible, after the listed places.
  GoodsPlaceRequest other = request(kNewLineKey, "0001", "5");
  other.warehouseId = "09";
  db.Run({"insert into GoodsPlaceBalance (GoodsPlaceGuid, GoodsPlaceNo, WarehouseGuid, MaterielGuid, BatchNo, "
          "BatchNumber, CurrQuantity) values ('P09OLD', 'OLD', '09', '0001', '240212', '200012', 1.5)"});
  EXPECT_EQ(Shown(GoodsPlaceAllocation(other)), "B01 货架B01 15.5 0\nB02 货架B02 10.5 0\nB03 货架B03 0 0\nOLD  1.5 0\n");
  // A warehouse id holding a quote is one literal: no places, no broken statement.
  other.warehouseId = "0'9";
  EXPECT_TRUE(GoodsPlaceAllocation(other).Rows().empty());
}

TEST(GoodsPlaceAllocationTest, OnlyAnAllocationOfExactlyTheQuantityMayBeConfirmed) {
  testsupport::TempDatabase db{db::CreateDemoDatabase};
  GoodsPlaceAllocation allocation(testsupport::DemoGoodsPlaceRequest(db, kNewLineKey, "0021", "8"));
  ASSERT_TRUE(allocation.SetQuantity(0, "5"));
  ASSERT_TRUE(allocation.SetQuantity(2, "3"));
  EXPECT_TRUE(allocation.MayConfirm());
  // More than the quantity is refused as much as less; a blank cell places nothing there.
  ASSERT_TRUE(allocation.SetQuantity(1, "0.5"));
  EXPECT_FALSE(allocation.MayConfirm());
  ASSERT_TRUE(allocation.SetQuantity(1, " "));
  EXPECT_TRUE(allocation.MayConfirm());
  EXPECT_EQ(allocation.Items(), (std::vector<std::string>{"P05Y01,05,Y01,5", "P05Y03,05,Y03,3"}));
}

}  // namespace
}  // namespace storeadjust
