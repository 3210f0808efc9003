#pragma once
// What the bill and stock tables hold: every row as text, to tell that nothing changed at all,
// and the stock figures a transfer moves, per warehouse, to tell how much changed.
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "adodb/Connection.h"
#include "adodb/Recordset.h"
#include "host/LenientValues.h"

namespace testsupport {

// "phk|<warehouse>|hh|ph|dh" batch quantity; "sjsl|…", "sjje|…", "sjlsje|<warehouse>|hh" current
// balance; "place|<warehouse>|hh|ph|dh" goods-place quantity (summed over places).
using StockFigures = std::map<std::string, double>;

// Every row of the statement's result, each a list of its values as text.
using Table = std::vector<std::vector<std::string>>;
inline Table TableOf(adodb::Connection& connection, const std::string& sql) {
  Table table;
  auto rows = connection.OpenRecordset(sql);
  for (rows->MoveFirst(); rows->RecordCount() > 0 && !rows->EOF(); rows->MoveNext()) {
    table.emplace_back();
    for (std::size_t i = 0; i < rows->FieldCount(); ++i) table.back().push_back(rows->Value(i).TextOrEmpty());
  }
  return table;
}

// The same as text: every value followed by a bar, one row a line.
inline std::string Rows(adodb::Connection& connection, const std::string& sql) {
  std::string text;
  for (const auto& row : TableOf(connection, sql)) {
    for (const std::string& value : row) text += value + "|";
    text += "\n";
  }
  return text;
}

// The stock tables only: what a save or a posting must leave as it is.
inline std::string StockDump(adodb::Connection& connection) {
  return Rows(connection, "select * from phk order by hh,ph,dh,stockid") +
         Rows(connection, "select * from ywbalance order by hh,stockid,fyear,fperiod") +
         Rows(connection, "select * from GoodsPlaceBalance order by GoodsPlaceGuid,GoodsPlaceNo,WarehouseGuid,"
                          "MaterielGuid,BatchNo,BatchNumber") +
         Rows(connection, "select * from BillGoodsPlace where BillType='WarehouseOut' order by BillGuid,"
                          "BillDetailGuid,GoodsPlaceGuid,BatchNo,BatchNumber,Quantity");
}

// Bills, lines, goods-place rows and stock: what a refused or rolled-back change must leave.
inline std::string FullDump(adodb::Connection& connection) {
  return StockDump(connection) + Rows(connection, "select * from ckdbdzk order by lsh") +
         Rows(connection, "select * from ckdbdzkmx order by lsh,dh") +
         Rows(connection, "select * from BillGoodsPlace order by BillType,BillGuid,BillDetailGuid,GoodsPlaceGuid,"
                          "BatchNo,BatchNumber,Quantity");
}

inline void AddFigures(adodb::Connection& connection, StockFigures& figures, const std::string& sql,
                       const std::string& prefix, std::size_t keyColumns) {
  auto rows = connection.OpenRecordset(sql);
  for (rows->MoveFirst(); rows->RecordCount() > 0 && !rows->EOF(); rows->MoveNext()) {
    std::string key = prefix;
    for (std::size_t i = 0; i < keyColumns; ++i) key += "|" + rows->Value(i).TextOrEmpty();
    figures[key] += storeadjust::NumberOrZero(rows->Value(keyColumns));  // the value, not its text
  }
}

inline StockFigures ReadFigures(adodb::Connection& connection) {
  StockFigures figures;
  AddFigures(connection, figures, "select stockid,hh,ph,dh,sum(sl) from phk group by stockid,hh,ph,dh", "phk", 4);
  const std::string balance = " from ywbalance where fperiod=0 group by stockid,hh";
  AddFigures(connection, figures, "select stockid,hh,sum(sjsl)" + balance, "sjsl", 2);
  AddFigures(connection, figures, "select stockid,hh,sum(sjje)" + balance, "sjje", 2);
  AddFigures(connection, figures, "select stockid,hh,sum(sjlsje)" + balance, "sjlsje", 2);
  AddFigures(connection, figures,
             "select WarehouseGuid,MaterielGuid,BatchNo,BatchNumber,sum(CurrQuantity) from GoodsPlaceBalance "
             "group by WarehouseGuid,MaterielGuid,BatchNo,BatchNumber",
             "place", 4);
  return figures;
}

// The figures that differ (a figure missing on one side is 0), one a line: empty when they agree.
inline std::string FigureDifferences(const StockFigures& expected, const StockFigures& actual) {
  std::string text;
  const auto compare = [&text](const std::string& key, double want, double got) {
    if (std::fabs(want - got) > 1e-6) text += key + ": expected " + std::to_string(want) + ", found " + std::to_string(got) + "\n";
  };
  for (const auto& [key, want] : expected) compare(key, want, actual.contains(key) ? actual.at(key) : 0);
  for (const auto& [key, got] : actual) {
    if (!expected.contains(key)) compare(key, 0, got);
  }
  return text;
}

}  // namespace testsupport
