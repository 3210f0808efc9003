#include "db/Schema.h"

#include "adodb/TextCompare.h"
#include "db/TextCollation.h"

namespace storeadjust::db {
namespace {

// Shorthands for the declarations the tables repeat.
constexpr const char* kCode = "varchar(20)";       // warehouse ids, operator codes, batch lines
constexpr const char* kGoods = "varchar(30)";      // goods numbers
constexpr const char* kSerial = "varchar(30)";     // bill serials
constexpr const char* kGuid = "varchar(50)";       // GUIDs and goods-place ids
constexpr const char* kName = "nvarchar(100)";     // names shown to people
constexpr const char* kShort = "nvarchar(50)";     // operator names, short captions
constexpr const char* kRemark = "nvarchar(255)";   // remarks, notes, location lists
constexpr const char* kQty = "decimal(18,4)";      // quantities
constexpr const char* kMoney = "money";            // prices and amounts
constexpr const char* kDate = "datetime";          // stored as 'YYYY-MM-DD HH:MM:SS'
constexpr const char* kFlag = "bit";
constexpr const char* kInt = "int";
constexpr const char* kRightList = "nvarchar(1000)";  // comma-separated right names or values

std::vector<TableDefinition> BillTables() {
  return {
      {"ckdbdzk",
       {{"lsh", kSerial, "not null"},
        {"kdrq", kDate, ""},
        {"dcstockid", kCode, ""},
        {"drstockid", kCode, ""},
        {"bz", kRemark, ""},
        {"czry", kShort, ""},
        // A new header leaves the two-step audit flag NULL; every reader wraps it in IsNull.
        {"PreShbz", kFlag, ""},
        {"PreShry", kShort, ""},
        {"shbz", kFlag, "default 0"},
        {"shry", kShort, ""},
        {"jzbz", kFlag, "default 0"}},
       "lsh"},
      {"ckdbdzkmx",
       {{"lsh", kSerial, "not null"},
        {"dh", kCode, "not null"},
        {"hh", kGoods, ""},
        {"pm", kName, ""},
        {"ph", kGuid, ""},
        {"pcdh", kCode, ""},
        {"dj", kMoney, "default 0"},
        {"sl", kQty, "default 0"},
        {"je", kMoney, "default 0"},
        {"lsj", kMoney, "default 0"},
        {"lsze", kMoney, "default 0"},
        {"wslsze", kMoney, "default 0"},
        {"cj", kMoney, "default 0"},
        {"dw", "nvarchar(20)", ""},
        {"srsl", kQty, "default 0"},
        {"kh", kRemark, ""},
        {"bz", kRemark, ""},
        {"dcstockid", kCode, ""},
        {"drstockid", kCode, ""}},
       "lsh, dh"},
  };
}

std::vector<TableDefinition> StockTables() {
  return {
      // Column order matters: the columns after the ones a transfer names explicitly (bcsl,
      // SellPrice) are copied when a transfer creates a batch row in the other warehouse.
      {"phk",
       {{"HH", kGoods, "not null"},
        {"PH", kGuid, "not null"},
        {"DH", kCode, "not null"},
        {"StockID", kCode, "not null"},
        {"SL", kQty, "default 0"},
        {"xq", kDate, ""},
        {"jhdj", kMoney, "default 0"},
        {"scrq", kDate, ""},
        {"yhrq", kDate, ""},
        {"dwbh", kCode, ""},
        {"dwmc", kName, ""},
        {"brsl", kQty, "default 0"},
        {"bcsl", kQty, "default 0"},
        {"kh", kRemark, "default ''"},
        {"LastPurchasePrice", kMoney, "default 0"},
        {"qckc", kQty, "default 0"},
        {"jhsl", kQty, "default 0"},
        {"xhsl", kQty, "default 0"},
        {"qtsrsl", kQty, "default 0"},
        {"qtfcsl", kQty, "default 0"},
        {"thsl", kQty, "default 0"},
        {"SellPrice", kMoney, "default 0"},
        {"GOODSPLACES", kRemark, ""}},
       "HH, PH, DH, StockID"},
      {"ywbalance",
       {{"hh", kGoods, "not null"},
        {"stockid", kCode, "not null"},
        {"fperiod", kInt, "not null default 0"},
        {"fyear", kInt, "not null default 0"},
        {"sjsl", kQty, "default 0"},
        {"sjje", kMoney, "default 0"},
        {"sjlsje", kMoney, "default 0"},
        {"brsl", kQty, "default 0"},
        {"bcsl", kQty, "default 0"},
        {"kh", kRemark, ""},
        {"JJ", kMoney, "default 0"},
        {"JJ_CKJ", kMoney, "default 0"},
        {"PFJ", kMoney, "default 0"},
        {"LSJ", kMoney, "default 0"},
        {"SJ", kMoney, "default 0"},
        {"CBJ", kMoney, "default 0"},
        {"YCBJ", kMoney, "default 0"},
        {"QCKC", kQty, "default 0"},
        {"JHSL", kQty, "default 0"},
        {"XHSL", kQty, "default 0"},
        {"QTSRSL", kQty, "default 0"},
        {"QTFCSL", kQty, "default 0"}},
       "hh, stockid, fperiod, fyear"},
      {"BillGoodsPlace",
       {{"BillType", kCode, ""},
        {"BillGuid", kSerial, ""},
        {"BillDetailGuid", kGuid, ""},
        {"MaterielGuid", kGoods, ""},
        {"WarehouseGuid", kCode, ""},
        {"BatchNo", kGuid, ""},
        {"BatchNumber", kCode, ""},
        {"GoodsPlaceGuid", kGuid, ""},
        {"GoodsPlaceNo", kGuid, ""},
        {"Quantity", kQty, "default 0"},
        {"Notes", kRemark, ""}},
       ""},
      {"GoodsPlaceBalance",
       {{"GoodsPlaceGuid", kGuid, "not null"},
        {"GoodsPlaceNo", kGuid, "not null"},
        {"WarehouseGuid", kCode, "not null"},
        {"MaterielGuid", kGoods, "not null"},
        {"BatchNo", kGuid, "not null default ''"},
        {"BatchNumber", kCode, "not null default ''"},
        {"CurrQuantity", kQty, "default 0"},
        {"PInQuantity", kQty, "default 0"},
        {"POutQuantity", kQty, "default 0"},
        {"Notes", kRemark, ""}},
       "GoodsPlaceGuid, GoodsPlaceNo, WarehouseGuid, MaterielGuid, BatchNo, BatchNumber"},
  };
}

std::vector<TableDefinition> MasterTables() {
  return {
      {"yw_kck",
       {{"hh", kGoods, "not null"},
        {"pm", kName, ""},
        {"Pm_zjm", kGuid, ""},
        {"lb", kCode, ""},
        {"bm", kName, ""},
        {"gg", kName, ""},
        {"cd", kName, ""},
        {"mjl", kInt, "default 0"},
        {"zbzl", kInt, "default 0"},
        {"pdw", "nvarchar(20)", ""},
        {"LDW", "nvarchar(20)", ""},
        {"pfj", kMoney, "default 0"},
        {"lsj", kMoney, "default 0"},
        {"sj", kMoney, "default 0"},
        {"zk", kQty, "default 1"},
        {"cbj", kMoney, "default 0"},
        {"jj", kMoney, "default 0"},
        {"JJ_CKJ", kMoney, "default 0"},
        {"YCBJ", kMoney, "default 0"},
        {"zzsl", kQty, "default 0"},
        {"jjff", kInt, "default 0"},
        {"fonlymoney", kFlag, "default 0"},
        {"hs_tag", kInt, "default 0"}},
       "hh"},
      {"gl_stock",
       {{"id", kCode, "not null"}, {"name", kName, ""}, {"FDeleted", kFlag, "default 0"}, {"KM5", kGuid, ""}},
       "id"},
      {"KCLB", {{"ID", kCode, "not null"}, {"NAME", kName, ""}}, "ID"},
      {"t_MeasureUnit",
       {{"hh", kGoods, "not null"},
        {"FMeasureUnitID", kCode, "not null"},
        {"FName", "nvarchar(20)", ""},
        {"FCoefficient", kQty, "default 1"},
        {"Sj", kMoney, "default 0"},
        {"HYJ", kMoney, "default 0"},
        {"FDefault", kFlag, "default 0"},
        {"FDeleted", kFlag, "default 0"}},
       "hh, FMeasureUnitID"},
      {"Operators", {{"Code", kCode, "not null"}, {"Guid", kGuid, "not null unique"}, {"name", kShort, ""}}, "Code"},
  };
}

std::vector<TableDefinition> ConfigurationTables() {
  // int rather than smallint: the settings reader defaults only int-typed columns to 0 when the
  // row is missing, and an empty sys_var must load as zeros, not fail.
  std::vector<ColumnDefinition> sysVar;
  for (const char* name : {"slws", "pfjws", "lsjws", "sjws", "hsjws", "wsjws", "cbjws", "jjbl", "ztdh"}) {
    sysVar.push_back({name, kInt, "default 0"});
  }
  for (const char* name : {"bz1", "bz2", "bz3", "bz4", "bz5", "bz6", "bz7", "bz8", "bz9"}) {
    sysVar.push_back({name, kFlag, "default 0"});
  }
  for (const char* name : {"xz1", "xz2", "xz3", "xz4", "xz5", "xz6", "xz7", "xz8", "xz9"}) {
    sysVar.push_back({name, kInt, "default 0"});
  }
  for (const char* name : {"rkdsh", "xhdsh", "dcdsh", "ykdsh", "lsjz"}) sysVar.push_back({name, kFlag, "default 0"});
  sysVar.push_back({"ykfs", kInt, "default 0"});
  sysVar.push_back({"glph", kFlag, "default 0"});
  sysVar.push_back({"phzx", kFlag, "default 0"});
  sysVar.push_back({"sf_tag", kCode, "default ''"});
  for (const char* name : {"zdxjbl", "ywjz", "jzyf", "ckperiod"}) sysVar.push_back({name, kInt, "default 0"});
  sysVar.push_back({"qyzt", kFlag, "default 0"});

  return {
      {"sys_var", sysVar, ""},
      {"t_SystemProfile",
       {{"FCategory", kCode, "not null"}, {"FKey", kShort, "not null"}, {"FValue", kRemark, ""}, {"FDescription", kRemark, ""}},
       "FCategory, FKey"},
      {"GLSelect", {{"FDH", kName, "not null"}, {"FSQL", "nvarchar(4000)", ""}}, "FDH"},
      // Several rules may exist for one bill kind; the one with fused=1 is in force.
      {"t_billnum",
       {{"fid", kInt, "not null"},
        {"fname", kShort, ""},
        {"fused", kFlag, "default 0"},
        {"fprefix", kCode, ""},
        {"fdteformat", kShort, ""},
        {"Fnumdigit", kInt, ""},
        {"FmaxNum", kInt, "default 1"}},
       ""},
      {"sys_dh", {{"id", kCode, "not null"}, {"dblsh", kInt, ""}, {"rklsh", kInt, ""}, {"cklsh", kInt, ""}}, "id"},
  };
}

std::vector<TableDefinition> RightsTables() {
  return {
      {"RightModel",
       {{"guid", kGuid, "not null"},
        {"OldRightModel", kCode, ""},
        {"ModelName", kShort, ""},
        {"RightInfo1", kRightList, ""},
        {"RightInfo2", kRightList, ""},
        {"RightInfo3", kRightList, ""},
        {"RightInfo4", kRightList, ""},
        {"RightInfo5", kRightList, ""}},
       "guid"},
      {"rights",
       {{"RightModelGuid", kGuid, "not null"},
        {"operatorGuid", kGuid, "not null"},
        {"RightValue1", kRightList, ""},
        {"RightValue2", kRightList, ""},
        {"RightValue3", kRightList, ""}},
       "RightModelGuid, operatorGuid"},
      {"RightGroup",
       {{"OperatorGroupGuid", kGuid, "not null"},
        {"RightModelGuid", kGuid, "not null"},
        {"GroupName", kShort, ""},
        {"RightValue1", kRightList, ""},
        {"RightValue2", kRightList, ""},
        {"RightValue3", kRightList, ""}},
       "OperatorGroupGuid, RightModelGuid"},
      {"operatorGroupMember", {{"operatorGuid", kGuid, "not null"}, {"GroupGuid", kGuid, "not null"}},
       "operatorGuid, GroupGuid"},
  };
}

// Tables of the stand-ins that take the place of the ERP's outside components.
std::vector<TableDefinition> StandInTables() {
  return {
      // An operator with no row for a scope code is not restricted under that code.
      {"DataScopeItem", {{"OperatorGuid", kGuid, "not null"}, {"ScopeCode", kCode, "not null"}, {"ItemId", kGuid, "not null"}},
       "OperatorGuid, ScopeCode, ItemId"},
      {"BillApprovalSwitch", {{"BillTypeCode", kCode, "not null"}, {"Enabled", kFlag, "default 0"}}, "BillTypeCode"},
      {"BillApproval",
       {{"BillTypeCode", kCode, "not null"},
        {"BillGuid", kSerial, "not null"},
        {"MakerGuid", kGuid, ""},
        {"SubmitterGuid", kGuid, ""},
        {"TotalAmount", kMoney, "default 0"},
        {"MaxLineAmount", kMoney, "default 0"},
        {"SubmittedAt", kDate, ""},
        {"Status", kCode, "default 'pending'"},  // 'pending' | 'approved' | 'rejected'
        {"DecidedAt", kDate, ""},
        {"DecidedBy", kGuid, ""}},
       "BillTypeCode, BillGuid"},
      // Verdicts of the audit procedure's stand-in; a bill without a row passes.
      {"AuditVerdict", {{"BillGuid", kSerial, "not null"}, {"ReturnValue", kInt, "default 0"}, {"ReturnMsg", "nvarchar(500)", ""}},
       "BillGuid"},
      // The goods places of the warehouses that keep them, for the goods-place dialog's stand-in.
      {"GoodsPlace",
       {{"GoodsPlaceGuid", kGuid, "not null"}, {"GoodsPlaceNo", kGuid, "not null"}, {"WarehouseGuid", kCode, "not null"},
        {"Name", kName, ""}},
       "GoodsPlaceGuid"},
  };
}

// The stand-alone launcher's own sign-in: Argon2id hashes in libsodium's string form, one per
// operator who may sign in, with the Guid of the operator the password was set for: a code the ERP
// gives again to another operator does not bring him the password of the one it named before. The
// ERP's Operators table stays as the ERP keeps it.
std::vector<TableDefinition> LauncherTables() {
  return {
      {kPasswordTable,
       {{"OperatorCode", kCode, "not null"},
        {"PasswordHash", "varchar(200)", "not null"},
        {"OperatorGuid", kGuid, ""},
        {"FailedTries", "int", ""},      // wrong passwords in a row, and when the last one was
        {"LastFailedAt", "bigint", ""}},  // typed (seconds since 1970), so a restart keeps the wait
       "OperatorCode"},
  };
}

void Append(std::vector<TableDefinition>& all, std::vector<TableDefinition> more) {
  for (auto& table : more) all.push_back(std::move(table));
}

}  // namespace

bool IsTextType(const char* declaredType) {
  for (const char* prefix : {"varchar", "nvarchar", "char", "nchar", "text", "ntext"}) {
    if (adodb::StartsWithName(declaredType, prefix)) return true;
  }
  return false;
}

const std::vector<TableDefinition>& SchemaTables() {
  static const std::vector<TableDefinition> tables = [] {
    std::vector<TableDefinition> all;
    Append(all, BillTables());
    Append(all, StockTables());
    Append(all, MasterTables());
    Append(all, ConfigurationTables());
    Append(all, RightsTables());
    Append(all, StandInTables());
    Append(all, LauncherTables());
    return all;
  }();
  return tables;
}

// The batch list and the batch reads of a goods in one warehouse: phk's key leads with the goods
// but puts batch and line before the warehouse. (The goods list walks the goods in their order and
// finds each balance by its key; an index of balances by warehouse made the planner sort instead,
// five times slower over 100,000 goods.) The goods places of a bill's lines, which the audit and
// its reversals read line by line and the state commands read per bill to compare with the
// screen: without an index each read walks the places of every bill ever stored.
const std::vector<std::string>& SchemaIndexes() {
  static const std::vector<std::string> indexes{
      "create index ix_phk_goods_warehouse on phk (HH, StockID)",
      "create index ix_billgoodsplace_bill on BillGoodsPlace (BillGuid, BillDetailGuid)",
  };
  return indexes;
}

std::string CreateTableStatement(const TableDefinition& table, bool collated) {
  std::string sql = std::string("create table ") + table.name + " (";
  const char* separator = "\n  ";
  for (const auto& column : table.columns) {
    sql += separator;
    sql += std::string(column.name) + " " + column.type;
    if (collated && IsTextType(column.type)) sql += std::string(" COLLATE ") + kTextCollation;
    if (*column.constraint) sql += std::string(" ") + column.constraint;
    separator = ",\n  ";
  }
  if (*table.primaryKey) sql += std::string(",\n  primary key (") + table.primaryKey + ")";
  return sql + "\n)";
}

std::vector<std::string> StoredDateTriggers(const TableDefinition& table) {
  std::vector<std::string> triggers;
  for (const auto& column : table.columns) {
    if (!adodb::SameName(column.type, kDate)) continue;
    const std::string name = std::string(table.name) + "_" + column.name + "_stored_form";
    // Read as text: the column's numeric affinity has already made '20240305' the number 20240305.
    const std::string stored = std::string("tsql_datetime(cast(new.") + column.name + " as text))";
    const std::string body = std::string(" when new.") + column.name + " is not " + stored + " begin update " +
                             table.name + " set " + column.name + " = " + stored + " where rowid = new.rowid; end";
    triggers.push_back("create trigger " + name + "_on_insert after insert on " + table.name + body);
    triggers.push_back("create trigger " + name + "_on_update after update of " + column.name + " on " + table.name +
                       body);
  }
  return triggers;
}

}  // namespace storeadjust::db
