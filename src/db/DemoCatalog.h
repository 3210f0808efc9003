#pragma once
// The master data of the demo database (warehouses, goods, goods places) as plain rows, shared by
// the code that writes the catalogue and the code that lays down stock and bills on it.
#include <string>
#include <vector>

namespace storeadjust::db {

struct DemoWarehouse {
  const char* id;
  const char* name;
  bool keepsGoodsPlaces;  // gl_stock.FDeleted
  const char* km5;        // nullptr when the warehouse has no second code
};

struct DemoGoods {
  const char* hh;
  const char* pm;
  const char* zjm;
  const char* lb;
  const char* bm;
  const char* gg;
  const char* cd;
  const char* pdw;
  int mjl;
  int zbzl;
  double lsj;
  double cbj;
  double zzsl;
  int jjff;
  bool amountOnly;
  int hsTag;
};

struct DemoGoodsPlace {
  const char* guid;
  const char* no;
  const char* warehouse;
  const char* name;
};

const std::vector<DemoWarehouse>& DemoWarehouses();
const std::vector<DemoGoods>& DemoGoodsList();
const std::vector<DemoGoodsPlace>& DemoGoodsPlaces();
const DemoGoods& FindDemoGoods(const std::string& hh);
bool DemoWarehouseKeepsGoodsPlaces(const std::string& id);

}  // namespace storeadjust::db
