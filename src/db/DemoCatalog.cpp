#include "db/DemoCatalog.h"

#include <cmath>

#include "adodb/Error.h"
#include "db/DemoData.h"
#include "db/SqliteFile.h"

namespace storeadjust::db {
namespace {

void FillCategories(SqliteFile& db) {
  db.Insert("KCLB", {"ID", "NAME"},
            {{"01", "西药"}, {"02", "中成药"}, {"03", "中药饮片"}, {"04", "医疗器械"}, {"05", "保健食品"}, {"06", "消毒用品"}});
}

void FillWarehouses(SqliteFile& db) {
  std::vector<std::vector<SqlValue>> rows;
  for (const auto& w : DemoWarehouses()) {
    rows.push_back({w.id, w.name, w.keepsGoodsPlaces ? 1 : 0, w.km5 ? SqlValue(w.km5) : SqlValue(nullptr)});
  }
  db.Insert("gl_stock", {"id", "name", "FDeleted", "KM5"}, rows);
}

void FillGoods(SqliteFile& db) {
  std::vector<std::vector<SqlValue>> rows;
  for (const auto& g : DemoGoodsList()) {
    rows.push_back({g.hh, g.pm, g.zjm, g.lb, g.bm, g.gg, g.cd, g.mjl, g.zbzl, g.pdw, g.pdw,
                    Round2(g.cbj * 1.15), g.lsj, g.lsj, 1.0, g.cbj, g.cbj, Round2(g.cbj * 1.02), g.cbj, g.zzsl,
                    g.jjff, g.amountOnly ? 1 : 0, g.hsTag});
  }
  db.Insert("yw_kck",
            {"hh", "pm", "Pm_zjm", "lb", "bm", "gg", "cd", "mjl", "zbzl", "pdw", "LDW", "pfj", "lsj", "sj", "zk", "cbj",
             "jj", "JJ_CKJ", "YCBJ", "zzsl", "jjff", "fonlymoney", "hs_tag"},
            rows);
}

// Alternative units: a packing unit for most boxed goods (its coefficient is the packing
// quantity), grams for the herbal pieces, a deleted unit on one goods and a single unit on
// another (which therefore never opens the unit dialog).
void FillMeasureUnits(SqliteFile& db) {
  std::vector<std::vector<SqlValue>> rows;
  for (const char* hh : {"0001", "0002", "0003", "0005", "0009", "0014", "0015", "0027", "0028"}) {
    const auto& g = FindDemoGoods(hh);
    rows.push_back({hh, "01", g.pdw, 1.0, g.lsj, Round2(g.lsj * 0.95), 1, 0});
    rows.push_back({hh, "02", "中包", static_cast<double>(g.zbzl), Round2(g.lsj * g.zbzl), Round2(g.lsj * g.zbzl * 0.95), 0, 0});
    rows.push_back({hh, "03", "件", static_cast<double>(g.mjl), Round2(g.lsj * g.mjl), Round2(g.lsj * g.mjl * 0.95), 0, 0});
  }
  for (const char* hh : {"0021", "0022", "0023", "0024"}) {
    const auto& g = FindDemoGoods(hh);
    rows.push_back({hh, "01", "千克", 1.0, g.lsj, Round2(g.lsj * 0.95), 1, 0});
    rows.push_back({hh, "02", "克", 0.001, Round2(g.lsj / 1000), Round2(g.lsj * 0.95 / 1000), 0, 0});
  }
  rows.push_back({"0004", "01", "瓶", 1.0, 6.5, 6.2, 1, 0});
  rows.push_back({"0004", "02", "件", 100.0, 650.0, 620.0, 0, 0});
  rows.push_back({"0004", "03", "箱", 50.0, 325.0, 310.0, 0, 1});  // no longer used
  rows.push_back({"0012", "01", "瓶", 1.0, 3.5, 3.3, 1, 0});
  db.Insert("t_MeasureUnit", {"hh", "FMeasureUnitID", "FName", "FCoefficient", "Sj", "HYJ", "FDefault", "FDeleted"}, rows);
}

void FillGoodsPlaces(SqliteFile& db) {
  std::vector<std::vector<SqlValue>> rows;
  for (const auto& p : DemoGoodsPlaces()) rows.push_back({p.guid, p.no, p.warehouse, p.name});
  db.Insert("GoodsPlace", {"GoodsPlaceGuid", "GoodsPlaceNo", "WarehouseGuid", "Name"}, rows);
}

}  // namespace

const std::vector<DemoWarehouse>& DemoWarehouses() {
  static const std::vector<DemoWarehouse> warehouses = {
      {"01", "总仓", false, "0101"},       {"02", "一号门店仓", false, "0201"}, {"03", "二号门店仓", false, "0202"},
      {"04", "冷链仓", true, "0102"},      {"05", "中药饮片仓", true, "0103"},  {"06", "医疗器械仓", false, "0104"},
      {"07", "退货仓", false, nullptr},    {"08", "赠品仓", false, nullptr},    {"09", "东区配送中心", true, "0301"},
      {"10", "西区配送中心", false, "0302"}, {"11", "待验仓", false, nullptr},  {"12", "不合格品仓", false, nullptr},
  };
  return warehouses;
}

const std::vector<DemoGoods>& DemoGoodsList() {
  static const std::vector<DemoGoods> goods = {
      {"0001", "阿莫西林胶囊", "AMXLJN", "01", "阿莫仙", "0.25g*24粒", "珠海联邦制药", "盒", 200, 10, 12.50, 7.80, 13, 5, false, 0},
      {"0002", "头孢克肟分散片", "TBKWFSP", "01", "", "0.1g*6片", "广州白云山制药", "盒", 300, 10, 28.00, 16.50, 13, 1, false, 0},
      {"0003", "布洛芬缓释胶囊", "BLFHSJN", "01", "芬必得", "0.3g*20粒", "中美天津史克", "盒", 240, 12, 24.80, 15.20, 13, 1, false, 0},
      {"0004", "对乙酰氨基酚片", "DYXAJFP", "01", "扑热息痛", "0.5g*100片", "华北制药", "瓶", 100, 10, 6.50, 3.20, 13, 1, false, 0},
      {"0005", "奥美拉唑肠溶胶囊", "AMLZCRJN", "01", "", "20mg*14粒", "常州四药", "盒", 400, 20, 18.60, 9.90, 13, 1, false, 0},
      {"0006", "硝苯地平控释片", "XBDPKSP", "01", "拜新同", "30mg*7片", "拜耳医药", "盒", 200, 10, 33.50, 25.10, 13, 1, false, 0},
      {"0007", "盐酸二甲双胍缓释片", "YSEJSGHSP", "01", "格华止", "0.5g*30片", "中美上海施贵宝", "盒", 200, 10, 29.80, 20.40, 13, 1, false, 0},
      {"0008", "阿托伐他汀钙片", "ATFTTGP", "01", "立普妥", "20mg*7片", "辉瑞制药", "盒", 200, 10, 45.00, 34.60, 13, 1, false, 0},
      {"0009", "氯雷他定片", "LLTDP", "01", "开瑞坦", "10mg*6片", "拜耳医药", "盒", 400, 20, 19.80, 11.50, 13, 1, false, 0},
      {"0010", "蒙脱石散", "MTSS", "01", "思密达", "3g*10袋", "博福-益普生", "盒", 150, 10, 16.90, 10.20, 13, 1, false, 0},
      {"0011", "门冬胰岛素注射液", "MDYDSZSY", "01", "诺和锐", "3ml:300单位", "诺和诺德", "支", 100, 10, 78.00, 62.50, 13, 1, false, 0},
      {"0012", "维生素C片", "WSSCP", "01", "", "0.1g*100片", "东北制药", "瓶", 200, 20, 3.50, 1.60, 13, 1, false, 0},
      {"0013", "板蓝根颗粒", "BLGKL", "02", "", "10g*20袋", "白云山和记黄埔", "包", 60, 6, 15.80, 9.30, 13, 5, false, 0},
      {"0014", "感冒灵颗粒", "GMLKL", "02", "999感冒灵", "10g*9袋", "华润三九医药", "盒", 100, 10, 16.50, 10.80, 13, 1, false, 0},
      {"0015", "连花清瘟胶囊", "LHQWJN", "02", "", "0.35g*24粒", "石家庄以岭药业", "盒", 200, 10, 19.90, 13.60, 13, 1, false, 0},
      {"0016", "六味地黄丸", "LWDHW", "02", "", "200丸", "北京同仁堂", "瓶", 120, 12, 26.00, 16.80, 13, 1, false, 0},
      {"0017", "藿香正气水", "HXZQS", "02", "", "10ml*10支", "太极集团", "盒", 100, 10, 12.00, 7.10, 13, 1, false, 0},
      {"0018", "复方丹参滴丸", "FFDSDW", "02", "", "27mg*180丸", "天士力医药", "瓶", 120, 12, 36.50, 26.30, 13, 1, false, 0},
      {"0019", "牛黄解毒片", "NHJDP", "02", "", "24片", "北京同仁堂", "盒", 300, 30, 8.50, 4.60, 13, 1, false, 0},
      {"0020", "云南白药气雾剂", "YNBYQWJ", "02", "", "85g+30g", "云南白药集团", "盒", 60, 6, 49.80, 36.20, 13, 1, false, 0},
      {"0021", "当归", "DG", "03", "", "片", "甘肃岷县", "千克", 25, 1, 180.00, 118.00, 9, 5, false, 0},
      {"0022", "黄芪", "HQ", "03", "", "片", "内蒙古", "千克", 25, 1, 120.00, 76.00, 9, 5, false, 0},
      {"0023", "枸杞子", "GQZ", "03", "", "特级", "宁夏中宁", "千克", 20, 1, 150.00, 98.00, 9, 5, false, 0},
      {"0024", "金银花", "JYH", "03", "", "统货", "山东平邑", "千克", 10, 1, 420.00, 290.00, 9, 5, false, 0},
      {"0025", "党参", "DS", "03", "", "段", "甘肃陇西", "千克", 25, 1, 160.00, 105.00, 9, 5, false, 0},
      {"0026", "甘草", "GC", "03", "", "片", "内蒙古", "千克", 25, 1, 68.00, 42.00, 9, 5, false, 0},
      {"0027", "医用外科口罩", "YYWKKZ", "04", "", "10只", "稳健医疗", "包", 200, 20, 9.90, 4.50, 13, 1, false, 0},
      {"0028", "一次性使用无菌注射器", "YCXSYWJZSQ", "04", "", "5ml", "江西洪达", "支", 1000, 100, 0.80, 0.32, 13, 1, false, 0},
      {"0029", "电子体温计", "DZTWJ", "04", "", "MC-246", "欧姆龙", "支", 100, 10, 39.00, 24.00, 13, 1, false, 0},
      {"0030", "医用棉签", "YYMQ", "04", "", "10cm*50支", "振德医疗", "包", 300, 30, 3.80, 1.70, 13, 1, false, 0},
      {"0031", "电子血压计", "DZXYJ", "04", "", "U10", "欧姆龙", "台", 10, 1, 299.00, 198.00, 13, 1, false, 0},
      {"0032", "创可贴", "CKT", "04", "", "100片", "云南白药集团", "盒", 100, 10, 15.00, 8.80, 13, 1, false, 0},
      {"0033", "蛋白粉", "DBF", "05", "", "450g", "汤臣倍健", "罐", 12, 1, 268.00, 165.00, 13, 1, false, 0},
      {"0034", "维生素D钙咀嚼片", "WSSDGJJP", "05", "", "60片", "汤臣倍健", "瓶", 48, 12, 88.00, 52.00, 13, 1, false, 0},
      {"0035", "鱼油软胶囊", "YYRJN", "05", "", "1000mg*100粒", "汤臣倍健", "瓶", 48, 12, 128.00, 79.00, 13, 1, false, 0},
      {"0036", "双歧杆菌三联活菌胶囊", "SQGJSLHJJN", "01", "培菲康", "210mg*36粒", "上海信谊", "盒", 200, 10, 42.00, 30.50, 13, 1, false, 0},
      {"0037", "医用酒精", "YYJJ", "06", "", "75% 500ml", "山东利尔康", "瓶", 24, 1, 8.00, 4.20, 13, 1, false, 0},
      {"0038", "碘伏消毒液", "DFXDY", "06", "", "500ml", "山东利尔康", "瓶", 24, 1, 12.00, 6.30, 13, 1, false, 0},
      {"0039", "润喉糖", "RHT", "06", "", "45g", "广西金嗓子", "盒", 200, 20, 6.00, 3.50, 13, 1, false, 1},
      {"0040", "中药饮片零货", "ZYYPLH", "03", "", "散装", "多产地", "元", 1, 1, 1.00, 0.70, 9, 1, true, 0},
  };
  return goods;
}

const std::vector<DemoGoodsPlace>& DemoGoodsPlaces() {
  static const std::vector<DemoGoodsPlace> places = {
      {"P04A01", "A01", "04", "冷藏柜A01"}, {"P04A02", "A02", "04", "冷藏柜A02"},
      {"P05Y01", "Y01", "05", "饮片架01"},  {"P05Y02", "Y02", "05", "饮片架02"},  {"P05Y03", "Y03", "05", "饮片架03"},
      {"P09B01", "B01", "09", "货架B01"},   {"P09B02", "B02", "09", "货架B02"},   {"P09B03", "B03", "09", "货架B03"},
  };
  return places;
}

const DemoGoods& FindDemoGoods(const std::string& hh) {
  for (const auto& g : DemoGoodsList()) {
    if (hh == g.hh) return g;
  }
  throw adodb::Error::Provider("No demo goods " + hh);
}

bool DemoWarehouseKeepsGoodsPlaces(const std::string& id) {
  for (const auto& w : DemoWarehouses()) {
    if (id == w.id) return w.keepsGoodsPlaces;
  }
  return false;
}

void FillDemoCatalog(SqliteFile& db) {
  FillCategories(db);
  FillWarehouses(db);
  FillGoods(db);
  FillMeasureUnits(db);
  FillGoodsPlaces(db);
}

}  // namespace storeadjust::db
