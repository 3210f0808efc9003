#include "states/PhkColumns.h"

#include <array>
#include <string_view>

#include "adodb/Connection.h"
#include "adodb/Recordset.h"
#include "adodb/TextCompare.h"

namespace storeadjust {

namespace {

// Written by the stock movements themselves (keys, quantities, dates, supplier) or not carried
// over to another warehouse (goods places, location, history quantities).
constexpr std::array<std::string_view, 21> kExcludedColumns{
    "GOODSPLACES", "QCKC", "JHSL", "XHSL", "QTSRSL", "QTFCSL", "THSL", "KH",   "LASTPURCHASEPRICE", "HH", "PH",
    "DH",          "STOCKID", "SL", "XQ",  "JHDJ",   "SCRQ",   "YHRQ", "DWBH", "DWMC",              "BRSL"};

bool IsExcluded(const std::string& name) {
  const std::string upper = adodb::UpperName(name);
  for (std::string_view excluded : kExcludedColumns) {
    if (upper == excluded) return true;
  }
  return false;
}

}  // namespace

std::string PhkColumnListOf(const std::vector<std::string>& columnNames) {
  std::string list;
  for (const std::string& name : columnNames) {
    if (IsExcluded(name)) continue;
    if (!list.empty()) list += ",";
    list += name;
  }
  return list;
}

std::string ReadPhkColumnList(const std::string& connectionString) {
  auto connection = std::make_shared<adodb::Connection>();
  connection->Open(connectionString);
  adodb::Recordset rs;
  rs.Open("select * from phk where 1=0", connection);
  std::vector<std::string> names;
  for (const adodb::ColumnInfo& column : rs.Columns()) names.push_back(column.name);
  rs.Close();
  return PhkColumnListOf(names);
}

}  // namespace storeadjust
