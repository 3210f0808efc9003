#include "db/DemoData.h"
#include "db/SqliteFile.h"

namespace storeadjust::db {
namespace {

constexpr const char* kModuleRight = "{6B1F0A42-0402-4C3E-9A10-A10402000001}";
constexpr const char* kOtherModuleRight = "{6B1F0A42-0401-4C3E-9A10-A10401000001}";
constexpr const char* kStoreGroup = "{3C2D8E10-5F61-4B7A-8C01-000000000101}";
constexpr const char* kAuditGroup = "{3C2D8E10-5F61-4B7A-8C01-000000000102}";

struct DemoOperator {
  const char* code;
  const char* guid;
  const char* name;
};

const DemoOperator kOperators[] = {
    {"001", "{9E4A7C21-1B3D-4F5E-8A01-000000000001}", "系统管理员"},
    {"002", "{9E4A7C21-1B3D-4F5E-8A01-000000000002}", "张三"},
    {"003", "{9E4A7C21-1B3D-4F5E-8A01-000000000003}", "李四"},
    {"004", "{9E4A7C21-1B3D-4F5E-8A01-000000000004}", "王五"},
    {"005", "{9E4A7C21-1B3D-4F5E-8A01-000000000005}", "赵六"},
};

const char* GuidOf(const char* code) {
  for (const auto& op : kOperators) {
    if (std::string(code) == op.code) return op.guid;
  }
  return "";
}

void FillOperatorList(SqliteFile& db) {
  std::vector<std::vector<SqlValue>> rows;
  for (const auto& op : kOperators) rows.push_back({op.code, op.guid, op.name});
  db.Insert("Operators", {"Code", "Guid", "name"}, rows);
}

// The module's right model lists its rights in three lists; the data-scope rights sit in the
// third list, because a right is only ever looked up in the first three.
void FillRightModels(SqliteFile& db) {
  db.Insert("RightModel",
            {"guid", "OldRightModel", "ModelName", "RightInfo1", "RightInfo2", "RightInfo3", "RightInfo4", "RightInfo5"},
            {{kModuleRight, "A10402", "仓库调拨单", "新增,修改,删除,打印,重打,报表", "记帐,审核,反审,确认,反确认",
              "查看所有用户,查看本组用户", nullptr, nullptr},
             {kOtherModuleRight, "A10401", "采购入库单", "新增,修改,删除,打印", "审核,反审", "", nullptr, nullptr}});
}

//                      list 1: 新增,修改,删除,打印,重打,报表  list 2: 记帐,审核,反审,确认,反确认  list 3: 查看所有用户,查看本组用户
void FillOperatorRights(SqliteFile& db) {
  db.Insert("rights", {"RightModelGuid", "operatorGuid", "RightValue1", "RightValue2", "RightValue3"},
            {{kModuleRight, GuidOf("001"), "1,1,1,1,1,1", "1,1,1,1,1", "1,1"},
             {kModuleRight, GuidOf("002"), "1,1,1,1,1,1", "0,1,1,1,1", "0,1"},
             {kModuleRight, GuidOf("003"), "1,1,1,1,0,0", "0,0,0,0,0", "0,0"},
             {kModuleRight, GuidOf("005"), "0,0,0,0,0,0", "0,0,0,0,0", "0,0"},
             {kOtherModuleRight, GuidOf("003"), "1,1,1,1", "1,1", ""}});
}

// 王五 (004) has no rights row: everything he holds comes from 仓库组. 赵六 (005) has an all-zero
// row: his audit and posting rights and his view of all bills come from 审核组.
void FillGroups(SqliteFile& db) {
  db.Insert("RightGroup",
            {"OperatorGroupGuid", "RightModelGuid", "GroupName", "RightValue1", "RightValue2", "RightValue3"},
            {{kStoreGroup, kModuleRight, "仓库组", "1,0,0,1,0,0", "0,0,0,0,0", "0,0"},
             {kAuditGroup, kModuleRight, "审核组", "0,0,0,1,1,1", "1,1,1,1,1", "1,0"}});
  db.Insert("operatorGroupMember", {"operatorGuid", "GroupGuid"},
            {{GuidOf("002"), kStoreGroup}, {GuidOf("003"), kStoreGroup}, {GuidOf("004"), kStoreGroup},
             {GuidOf("005"), kAuditGroup}});
}

// 李四 (003) may use warehouses 01, 02 and 03 only; everyone else is unrestricted.
void FillDataScope(SqliteFile& db) {
  db.Insert("DataScopeItem", {"OperatorGuid", "ScopeCode", "ItemId"},
            {{GuidOf("003"), "0007", "01"}, {GuidOf("003"), "0007", "02"}, {GuidOf("003"), "0007", "03"}});
}

// The launcher's demo passwords are "demo" + the code (documented in DEMO.md and the README);
// 王五 (004) has none, to show the refusal. The hashes were made once with crypto_pwhash_str at
// the interactive limits, so building a demo database costs no hashing.
void FillPasswords(SqliteFile& db) {
  db.Insert("StoreAdjustPassword", {"OperatorCode", "PasswordHash", "OperatorGuid"},
            {{"001", "$argon2id$v=19$m=65536,t=2,p=1$Rtc7ksz5t+psVHMEqqOVLw$abZdYl5U1njDJHn4tL1K/86aHsLjooEuiMr9/woOs6M", GuidOf("001")},
             {"002", "$argon2id$v=19$m=65536,t=2,p=1$OlMk+OKeT0Km/KdiWwCigQ$ZmdUeFWrq0866334GM/l81G4cHl6aFFarjjMqny5F5o", GuidOf("002")},
             {"003", "$argon2id$v=19$m=65536,t=2,p=1$k+1ctd7x6p92k1A+QTmOEw$m6PPTGYL5VuF0JKcSwcaVuNiJXG1T86H+Af9oMGcUIo", GuidOf("003")},
             {"005", "$argon2id$v=19$m=65536,t=2,p=1$rRddny0k3HLobj9xJcQOIw$NU6TL2/t+oF9SAzYczOiWVo3jQcNctXFQJSIJGU/0iw", GuidOf("005")}});
}

}  // namespace

void FillDemoOperators(SqliteFile& db) {
  FillOperatorList(db);
  FillRightModels(db);
  FillOperatorRights(db);
  FillGroups(db);
  FillDataScope(db);
  FillPasswords(db);
}

}  // namespace storeadjust::db
