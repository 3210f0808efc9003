#include "adodb/Error.h"
#include "db/DemoData.h"
#include "db/SqliteFile.h"

namespace storeadjust::db {
namespace {

// Two decimals for quantities and prices, batches kept (glph), goods-place and scope switches off.
void FillSystemVariables(SqliteFile& db) {
  db.Insert("sys_var",
            {"slws", "pfjws", "lsjws", "sjws", "hsjws", "wsjws", "cbjws", "jjbl", "ztdh", "bz1", "bz2", "bz3", "bz4",
             "bz5", "bz6", "bz7", "bz8", "bz9", "xz1", "xz2", "xz3", "xz4", "xz5", "xz6", "xz7", "xz8", "xz9", "rkdsh",
             "xhdsh", "dcdsh", "ykdsh", "lsjz", "ykfs", "glph", "phzx", "sf_tag", "zdxjbl", "ywjz", "jzyf", "ckperiod",
             "qyzt"},
            {{2, 2, 2, 2, 2, 2, 4, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1, 1, "0",
              0, 0, 3, 0, 1}});
}

void FillProfile(SqliteFile& db) {
  const std::vector<std::pair<const char*, const char*>> gl = {
      {"StartStoreAdjustOK", "0"},  {"ISCKDBDDJ", "0"},          {"CHKZJM", "0"},
      {"ForbiddenViewBatchPrice", "0"}, {"UpdateBatchSellPrice", "0"}, {"ZJMStruct", "0"},
      {"ZJMSpliteChar", ""},        {"SpliteOfMakeHH", ""},      {"LengthOfMakeHH", "4"},
      {"AutoMakeHH", "0"},          {"AutoMakeSuperID", "0"},    {"LengthOfForeSuperID", "1"},
      {"LengthOfMakeSuperID", "4"}, {"SpliteOfMakeSuperID", ""}, {"AutoMakeCustomID", "0"},
      {"LengthOfForeCustomID", "1"}, {"LengthOfMakeCustomID", "4"}, {"SpliteOfMakeCustomID", ""},
      {"CHKMaker", "1"},            {"CHKSuper", "1"},           {"CHKPFJ", "0"},
      {"CHKLSJ", "1"},              {"CHKSJ", "0"},              {"CHKSCDW", "0"},
      {"CHKMJL", "0"},              {"CHKZBZ", "0"},             {"CHKYSBZ", "0"},
      {"CHKZCSB", "0"},             {"CHKPZWH", "1"},            {"CHKZHJJ", "0"},
      {"FCurrYear", "2024"},        {"FCurrPeriod", "3"},        {"FinanceCloseInit", "1"},
  };
  std::vector<std::vector<SqlValue>> rows;
  for (const auto& [key, value] : gl) rows.push_back({"GL", key, value});
  rows.push_back({"SYS", "CompanyName", "康宁大药房连锁有限公司"});
  db.Insert("t_SystemProfile", {"FCategory", "FKey", "FValue"}, rows);
}

// The transfer bill is numbered by rule: DBD + yyyymmdd + 4 digits; the next number is 5. A
// retired rule for the same bill kind shows that only fused=1 counts.
void FillNumbering(SqliteFile& db) {
  db.Insert("t_billnum", {"fid", "fname", "fused", "fprefix", "fdteformat", "Fnumdigit", "FmaxNum"},
            {{75, "仓库调拨单", 1, "DBD", "[日期]", 4, 5}, {75, "仓库调拨单(旧)", 0, "DB", "[年]-[月]-", 3, 1},
             {60, "采购入库单", 1, "RK", "[日期]", 4, 1}});
  db.Insert("sys_dh", {"id", "dblsh", "rklsh", "cklsh"},
            {{"001", 1000, 1000, 1000}, {"002", 1012, 1000, 1000}, {"003", nullptr, nullptr, nullptr},
             {"004", 1000, 1000, 1000}, {"005", 1041, 1000, 1000}});
}

// List templates are left to their built-in defaults: GLSelect starts empty.
void FillApprovalSwitch(SqliteFile& db) { db.Insert("BillApprovalSwitch", {"BillTypeCode", "Enabled"}, {{"000022", 0}}); }

}  // namespace

void FillDemoSettings(SqliteFile& db) {
  FillSystemVariables(db);
  FillProfile(db);
  FillNumbering(db);
  FillApprovalSwitch(db);
}

}  // namespace storeadjust::db
