#pragma once
// What the editor hands the goods-place dialog for the in-warehouse (05) side of a line of the
// demo bill DBD202403010002 (01 -> 05), whose line 1001 of goods 0021 holds Y01 3.5 and Y02 2.
#include <string>

#include "host/UserInterface.h"
#include "support/TempDatabase.h"

namespace testsupport {

inline storeadjust::GoodsPlaceRequest DemoGoodsPlaceRequest(const TempDatabase& db, const std::string& lineKey,
                                                            const std::string& goods, const std::string& quantity) {
  storeadjust::GoodsPlaceRequest request;
  request.connectionString = db.ConnStr();
  request.warehouseId = "05";
  request.billSerial = "DBD202403010002";
  request.lineKey = lineKey;
  request.quantity = quantity;
  request.goodsNumber = goods;
  request.operatorCode = "002";
  request.billType = "WarehouseIn";
  return request;
}

}  // namespace testsupport
