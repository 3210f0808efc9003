#pragma once
// A line of a transfer bill as the editor hands it to StoreLine, for tests that build bills:
// a new bill when lsh is empty, else a line added to it; priced at 10 (retail 15).
#include <string>
#include <vector>

#include "lines/LineSaving.h"

namespace testsupport {

inline storeadjust::LineToSave TransferLine(const std::string& lsh, const std::string& out, const std::string& in,
                                            const std::string& hh, const std::string& batchNo,
                                            const std::string& batchLine, double qty) {
  storeadjust::LineToSave line;
  line.newBill = lsh.empty();
  line.lsh = lsh;
  line.billDate = "2024-03-05";
  line.outWarehouse = out;
  line.inWarehouse = in;
  line.operatorName = "系统管理员";
  line.hh = hh;
  line.goodsName = "goods " + hh;
  line.batchNo = batchNo;
  line.batchLine = batchLine;
  line.price = 10;
  line.retailPrice = 15;
  line.figures = storeadjust::FiguresOf(qty, 1, qty * 10, qty * 15, qty * 10, 13);
  return line;
}

// The same line into a warehouse that keeps goods places, placed as given ("guid,x,number,quantity").
inline storeadjust::LineToSave PlacedLine(const std::string& lsh, const std::string& out, const std::string& in,
                                          const std::string& hh, const std::string& batchNo,
                                          const std::string& batchLine, double qty, std::vector<std::string> places) {
  storeadjust::LineToSave line = TransferLine(lsh, out, in, hh, batchNo, batchLine, qty);
  line.inWarehouseKeepsPlaces = true;
  line.goodsPlaces = std::move(places);
  return line;
}

}  // namespace testsupport
