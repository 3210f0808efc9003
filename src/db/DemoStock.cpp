#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "adodb/Error.h"
#include "db/DemoCatalog.h"
#include "db/DemoData.h"
#include "db/SqliteFile.h"

namespace storeadjust::db {
namespace {

std::string Date(int year, int month, int day) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d 00:00:00", year, month, day);
  return text;
}

struct Supplier {
  const char* code;
  const char* name;
};

const Supplier kSuppliers[] = {{"GY001", "国药控股股份有限公司"},
                               {"HR002", "华润医药商业集团有限公司"},
                               {"JZT03", "九州通医药集团股份有限公司"},
                               {"SY004", "上海医药集团股份有限公司"}};

// One row of phk as the demo lays it down.
struct BatchStock {
  std::string hh, ph, dh, stockId;
  double sl = 0;
  std::string xq, scrq, yhrq;
  double jhdj = 0;
  const Supplier* supplier = nullptr;
  double brsl = 0, bcsl = 0, jhsl = 0;
  double sellPrice = 0;
};

// A goods' two batches: batch 0 made in 2023, batch 1 in early 2024. The batch number is the
// production date, the batch line the receipt line that brought it in.
struct BatchIdentity {
  std::string ph, dh, xq, scrq, yhrq;
  double jhdj;
};

BatchIdentity BatchOf(const DemoGoods& goods, int batch) {
  const int i = std::stoi(goods.hh);
  char ph[16];
  if (batch == 0) {
    const int month = 1 + i % 10;
    const int day = 1 + (i * 7) % 28;
    std::snprintf(ph, sizeof ph, "23%02d%02d", month, day);
    const bool nearExpiry = std::string(goods.hh) == "0010";
    return {ph, std::to_string(200000 + i * 10 + 1), nearExpiry ? Date(2024, 4, 30) : Date(2025, month, day),
            Date(2023, month, day), Date(2023, month + 1, day), Round2(goods.cbj * 0.98)};
  }
  const int month = 1 + i % 2;
  const int day = 1 + (i * 11) % 27;
  std::snprintf(ph, sizeof ph, "24%02d%02d", month, day);
  return {ph, std::to_string(200000 + i * 10 + 2), Date(2026, month, day), Date(2024, month, day), Date(2024, 2, 28),
          Round2(goods.cbj * 1.02)};
}

class StockLedger {
 public:
  void Receive(const std::string& hh, int batch, const std::string& stockId, double quantity) {
    const auto& goods = FindDemoGoods(hh);
    const auto id = BatchOf(goods, batch);
    BatchStock row{hh, id.ph, id.dh, stockId, quantity, id.xq, id.scrq, id.yhrq, id.jhdj,
                   &kSuppliers[std::stoi(hh) % 4]};
    row.jhsl = quantity;
    row.sellPrice = goods.lsj;
    rows_.push_back(row);
  }

  // The stock movement of a one-step audit: out of one warehouse's batch row, into the other's
  // (created as a copy with zero counters when that warehouse does not hold the batch yet).
  void Transfer(const std::string& hh, int batch, const std::string& from, const std::string& to, double quantity) {
    BatchStock& source = Find(hh, batch, from);
    source.sl -= quantity;
    source.bcsl += quantity;
    for (auto& row : rows_) {
      if (row.hh == hh && row.ph == source.ph && row.dh == source.dh && row.stockId == to) {
        row.sl += quantity;
        row.brsl += quantity;
        return;
      }
    }
    BatchStock copy = source;
    copy.stockId = to;
    copy.sl = quantity;
    copy.brsl = quantity;
    copy.bcsl = 0;
    copy.jhsl = 0;
    rows_.push_back(copy);
  }

  BatchStock& Find(const std::string& hh, int batch, const std::string& stockId) {
    const auto id = BatchOf(FindDemoGoods(hh), batch);
    for (auto& row : rows_) {
      if (row.hh == hh && row.ph == id.ph && row.dh == id.dh && row.stockId == stockId) return row;
    }
    throw adodb::Error::Provider("Demo batch missing: " + hh + " in " + stockId);
  }

  const std::vector<BatchStock>& Rows() const { return rows_; }

 private:
  std::vector<BatchStock> rows_;
};

bool IsWeighed(const DemoGoods& goods) { return std::string(goods.lb) == "03"; }

void ReceiveOpeningStock(StockLedger& ledger) {
  for (const auto& goods : DemoGoodsList()) {
    if (goods.amountOnly) continue;
    const std::string hh = goods.hh;
    const int i = std::stoi(hh);
    const bool weighed = IsWeighed(goods);
    ledger.Receive(hh, 0, "01", weighed ? 12.5 + i % 5 : 40 + (i * 37) % 120);
    ledger.Receive(hh, 1, "01", weighed ? 20.25 + (i % 3) * 5 : 100 + (i * 53) % 200);
    if (i <= 20 || (i >= 27 && i <= 32)) ledger.Receive(hh, 0, "02", 10 + (i * 7) % 25);
    if (i <= 10 || (i >= 13 && i <= 16)) {
      ledger.Receive(hh, 0, "03", 8 + (i * 5) % 20);
      if (i % 2 == 0) ledger.Receive(hh, 1, "03", 6 + i % 10);
    }
    if (hh == "0011" || hh == "0036") {
      ledger.Receive(hh, 0, "04", 30 + i % 10);
      ledger.Receive(hh, 1, "04", 45);
    }
    if (i >= 21 && i <= 26) {
      ledger.Receive(hh, 0, "05", 8.5 + (i % 4) * 2.25);
      ledger.Receive(hh, 1, "05", 15.75);
    }
    if (i >= 27 && i <= 32) ledger.Receive(hh, 1, "06", 50 + i * 3);
    if (i <= 8) ledger.Receive(hh, 1, "09", 24 + i * 2);
    if (hh == "0004") ledger.Receive(hh, 0, "12", 3);
  }
}

struct DemoLine {
  const char* hh;
  int batch;
  double sl;
};

struct DemoBill {
  const char* lsh;
  std::string kdrq;
  const char* out;
  const char* in;
  const char* bz;
  const char* czry;
  bool audited;
  std::vector<DemoLine> lines;
};

std::vector<DemoBill> DemoBills() {
  return {
      {"DBD202403010001", Date(2024, 3, 1), "01", "02", "门店补货", "系统管理员", false,
       {{"0001", 0, 20}, {"0003", 1, 12}, {"0014", 0, 10}}},
      {"DBD202403010002", Date(2024, 3, 1), "01", "05", "饮片补货", "张三", false, {{"0021", 1, 5.5}, {"0022", 0, 4}}},
      {"DBD202403020003", Date(2024, 3, 2), "01", "03", "二号店缺货调拨", "系统管理员", true,
       {{"0003", 1, 20}, {"0014", 0, 10}}},
      {"DBD202403020004", Date(2024, 3, 2), "03", "02", "门店间调剂", "李四", false, {{"0005", 0, 6}}},
  };
}

void WriteBills(SqliteFile& db, const std::vector<DemoBill>& bills) {
  std::vector<std::vector<SqlValue>> headers;
  std::vector<std::vector<SqlValue>> lines;
  for (const auto& bill : bills) {
    headers.push_back({bill.lsh, bill.kdrq, bill.out, bill.in, bill.bz, bill.czry, bill.audited ? 1 : 0,
                       bill.audited ? SqlValue(bill.czry) : SqlValue(""), 0});
    int dh = 1001;
    for (const auto& line : bill.lines) {
      const auto& goods = FindDemoGoods(line.hh);
      const auto batch = BatchOf(goods, line.batch);
      const double dj = goods.jjff == 5 ? batch.jhdj : goods.cbj;
      const double je = Round2(line.sl * dj);
      const double lsze = Round2(line.sl * goods.lsj);
      lines.push_back({bill.lsh, std::to_string(dh++), line.hh, goods.pm, batch.ph, batch.dh, dj, line.sl, je, goods.lsj,
                       lsze, Round2(lsze * 100 / (goods.zzsl + 100)), Round2(lsze - je * (goods.zzsl + 100) / 100),
                       goods.pdw, line.sl, "", bill.bz, bill.out, bill.in});
    }
  }
  db.Insert("ckdbdzk", {"lsh", "kdrq", "dcstockid", "drstockid", "bz", "czry", "shbz", "shry", "jzbz"}, headers);
  db.Insert("ckdbdzkmx",
            {"lsh", "dh", "hh", "pm", "ph", "pcdh", "dj", "sl", "je", "lsj", "lsze", "wslsze", "cj", "dw", "srsl", "kh", "bz",
             "dcstockid", "drstockid"},
            lines);
}

// The unaudited bill into the herbal warehouse already has its in-warehouse goods places.
void WriteBillGoodsPlaces(SqliteFile& db) {
  const auto b21 = BatchOf(FindDemoGoods("0021"), 1);
  const auto b22 = BatchOf(FindDemoGoods("0022"), 0);
  db.Insert("BillGoodsPlace",
            {"BillType", "BillGuid", "BillDetailGuid", "MaterielGuid", "WarehouseGuid", "BatchNo", "BatchNumber",
             "GoodsPlaceGuid", "GoodsPlaceNo", "Quantity", "Notes"},
            {{"WarehouseIn", "DBD202403010002", "1001", "0021", "05", b21.ph, b21.dh, "P05Y01", "Y01", 3.5, ""},
             {"WarehouseIn", "DBD202403010002", "1001", "0021", "05", b21.ph, b21.dh, "P05Y02", "Y02", 2.0, ""},
             {"WarehouseIn", "DBD202403010002", "1002", "0022", "05", b22.ph, b22.dh, "P05Y03", "Y03", 4.0, ""}});
}

void WriteBatchStock(SqliteFile& db, const StockLedger& ledger) {
  std::vector<std::vector<SqlValue>> rows;
  for (const auto& r : ledger.Rows()) {
    rows.push_back({r.hh, r.ph, r.dh, r.stockId, r.sl, r.xq, r.jhdj, r.scrq, r.yhrq, r.supplier->code, r.supplier->name,
                    r.brsl, r.bcsl, "", r.jhdj, 0.0, r.jhsl, 0.0, 0.0, 0.0, 0.0, r.sellPrice});
  }
  db.Insert("phk",
            {"HH", "PH", "DH", "StockID", "SL", "xq", "jhdj", "scrq", "yhrq", "dwbh", "dwmc", "brsl", "bcsl", "kh",
             "LastPurchasePrice", "qckc", "jhsl", "xhsl", "qtsrsl", "qtfcsl", "thsl", "SellPrice"},
            rows);
}

// The current balance of every goods and warehouse is the sum of its batch rows, valued at the
// batches' purchase prices and at the goods' retail price.
void WriteBalances(SqliteFile& db) {
  db.Execute(
      "insert into ywbalance (hh, stockid, fperiod, fyear, sjsl, sjje, sjlsje, brsl, bcsl, kh, JJ, JJ_CKJ, PFJ, LSJ, SJ,"
      " CBJ, YCBJ, QCKC, JHSL, XHSL, QTSRSL, QTFCSL)"
      " select p.HH, p.StockID, 0, 0, sum(p.SL), round(sum(p.SL * p.jhdj), 2), round(sum(p.SL) * k.lsj, 2),"
      " sum(p.brsl), sum(p.bcsl), '', k.jj, k.JJ_CKJ, k.pfj, k.lsj, k.sj, k.cbj, k.YCBJ, sum(p.qckc), sum(p.jhsl),"
      " sum(p.xhsl), sum(p.qtsrsl), sum(p.qtfcsl)"
      " from phk p inner join yw_kck k on p.HH = k.hh group by p.HH, p.StockID");
  // Goods listed in a warehouse without stock, and the amount-only goods kept by value alone.
  db.Insert("ywbalance", {"hh", "stockid", "fperiod", "fyear", "sjsl", "sjje", "sjlsje", "kh", "LSJ", "CBJ"},
            {{"0021", "02", 0, 0, 0.0, 0.0, 0.0, "", 180.0, 118.0},
             {"0017", "03", 0, 0, 0.0, 0.0, 0.0, "", 12.0, 7.1},
             {"0033", "02", 0, 0, 0.0, 0.0, 0.0, "", 268.0, 165.0},
             {"0040", "01", 0, 0, 0.0, 860.0, 1280.0, "", 1.0, 0.7},
             {"0040", "05", 0, 0, 0.0, 320.0, 450.0, "", 1.0, 0.7}});
  // Closed February balances: history that no current-period statement may pick up.
  db.Execute(
      "insert into ywbalance (hh, stockid, fperiod, fyear, sjsl, sjje, sjlsje, kh)"
      " select hh, stockid, 2, 2024, sjsl + 10, sjje, sjlsje, '' from ywbalance"
      " where stockid = '01' and fperiod = 0 and fyear = 0 and hh in ('0001','0002','0003','0004','0005')");
}

// Batches in warehouses that keep goods places lie on one or two of the warehouse's places.
void WriteGoodsPlaceBalances(SqliteFile& db, const StockLedger& ledger) {
  std::vector<std::vector<SqlValue>> rows;
  for (const auto& r : ledger.Rows()) {
    if (!DemoWarehouseKeepsGoodsPlaces(r.stockId)) continue;
    std::vector<const DemoGoodsPlace*> places;
    for (const auto& p : DemoGoodsPlaces()) {
      if (r.stockId == p.warehouse) places.push_back(&p);
    }
    const std::size_t first = static_cast<std::size_t>(std::stoi(r.hh) + std::stoi(r.dh)) % places.size();
    const DemoGoodsPlace* a = places[first];
    const DemoGoodsPlace* b = places[(first + 1) % places.size()];
    const double onFirst = r.sl >= 10 ? Round2(std::floor(r.sl * 0.6 * 4) / 4) : r.sl;
    rows.push_back({a->guid, a->no, r.stockId, r.hh, r.ph, r.dh, onFirst, onFirst, 0.0, "期初"});
    if (r.sl - onFirst > 0) rows.push_back({b->guid, b->no, r.stockId, r.hh, r.ph, r.dh, Round2(r.sl - onFirst), Round2(r.sl - onFirst), 0.0, "期初"});
  }
  db.Insert("GoodsPlaceBalance",
            {"GoodsPlaceGuid", "GoodsPlaceNo", "WarehouseGuid", "MaterielGuid", "BatchNo", "BatchNumber", "CurrQuantity",
             "PInQuantity", "POutQuantity", "Notes"},
            rows);
}

}  // namespace

void FillDemoStock(SqliteFile& db) {
  StockLedger ledger;
  ReceiveOpeningStock(ledger);
  const auto bills = DemoBills();
  for (const auto& bill : bills) {
    if (!bill.audited) continue;
    for (const auto& line : bill.lines) ledger.Transfer(line.hh, line.batch, bill.out, bill.in, line.sl);
  }
  WriteBatchStock(db, ledger);
  WriteBills(db, bills);
  WriteBillGoodsPlaces(db);
  WriteBalances(db);
  WriteGoodsPlaceBalances(db, ledger);
}

}  // namespace storeadjust::db
