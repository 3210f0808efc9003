#include "adodb/tsql/DeclaredColumnKinds.h"

#include <cstdlib>

#include "adodb/TextCompare.h"

namespace adodb::tsql {
namespace {

DeclaredKind KindOfType(const std::string& type) {
  if (type.find("int") != std::string::npos)
    return type.rfind("bigint", 0) == 0 ? DeclaredKind::kBigInt : DeclaredKind::kInt;
  if (type.rfind("decimal", 0) == 0 || type.rfind("numeric", 0) == 0) return DeclaredKind::kNumeric;
  if (type == "float" || type == "real" || type.rfind("double", 0) == 0) return DeclaredKind::kFloat;
  if (type.find("money") != std::string::npos) return DeclaredKind::kMoney;
  if (type == "bit") return DeclaredKind::kBit;
  if (type == "datetime" || type == "smalldatetime") return DeclaredKind::kDateTime;
  if (type.rfind("datetime2", 0) == 0) return DeclaredKind::kDateTime2;
  if (type == "date") return DeclaredKind::kDate;
  for (const char* unicode : {"nchar", "nvarchar", "ntext"})
    if (type.rfind(unicode, 0) == 0) return DeclaredKind::kUnicodeText;
  for (const char* text : {"char", "varchar", "text"})
    if (type.rfind(text, 0) == 0) return DeclaredKind::kText;
  return DeclaredKind::kOther;
}

int SchemaVersion(sqlite3* db, const char* pragma) {
  sqlite3_stmt* stmt = nullptr;
  int version = -1;
  if (sqlite3_prepare_v2(db, pragma, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
    version = sqlite3_column_int(stmt, 0);
  sqlite3_finalize(stmt);
  return version;
}

}  // namespace

DeclaredColumnKinds::SchemaVersions DeclaredColumnKinds::VersionsOf(sqlite3* db) {
  return {SchemaVersion(db, "pragma main.schema_version"), SchemaVersion(db, "pragma temp.schema_version")};
}

void DeclaredColumnKinds::ReadIfChanged(sqlite3* db) {
  if (const SchemaVersions now = VersionsOf(db); now != readUnder_ || now.main < 0) {
    Read(db);
    readUnder_ = now;
  }
}

DeclaredKind DeclaredColumnKinds::Of(sqlite3* db, std::string_view column) {
  ReadIfChanged(db);
  const auto found = kinds_.find(LowerName(column));
  return found == kinds_.end() ? DeclaredKind::kOther : found->second;
}

int DeclaredColumnKinds::TextLengthOf(sqlite3* db, std::string_view column, std::string_view table) {
  ReadIfChanged(db);
  if (!table.empty()) {
    std::string key = LowerName(table);
    (key += '.') += LowerName(column);
    if (const auto declared = tableTextLengths_.find(key); declared != tableTextLengths_.end()) return declared->second;
  }
  const auto found = textLengths_.find(LowerName(column));
  return found == textLengths_.end() ? -1 : found->second;
}

int DeclaredColumnKinds::FractionDigitsOf(sqlite3* db, std::string_view column) {
  ReadIfChanged(db);
  const auto found = fractionDigits_.find(LowerName(column));
  return found == fractionDigits_.end() ? -1 : found->second;
}

bool DeclaredColumnKinds::ComparesByCharacters(sqlite3* db, std::string_view column) {
  ReadIfChanged(db);
  const auto found = byCharacters_.find(LowerName(column));
  return found != byCharacters_.end() && found->second;
}

void DeclaredColumnKinds::Read(sqlite3* db) {
  constexpr const char* kQuery =
      "select p.name, p.type, s.name, s.db from (select name, 'main' as db from sqlite_schema where type = 'table' "
      "union all select name, 'temp' from sqlite_temp_schema where type = 'table') s, pragma_table_info(s.name, s.db) p";
  kinds_.clear();
  textLengths_.clear();
  tableTextLengths_.clear();
  fractionDigits_.clear();
  byCharacters_.clear();
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, kQuery, -1, &stmt, nullptr) != SQLITE_OK) return;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    const auto* declared = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1));
    if (!name) continue;
    const std::string type = declared ? LowerName(declared) : "";
    const DeclaredKind each = KindOfType(type);
    const bool text = each == DeclaredKind::kText || each == DeclaredKind::kUnicodeText;
    const std::size_t open = type.find('(');
    const int length = text && open != std::string::npos ? std::atoi(type.c_str() + open + 1) : 0;
    const auto [sized, firstSized] = textLengths_.try_emplace(LowerName(name), length > 0 ? length : -1);
    if (!firstSized && sized->second != length) sized->second = -1;
    const auto* table = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 2));
    if (table) tableTextLengths_[LowerName(table) + '.' + LowerName(name)] = length > 0 ? length : -1;
    const char* collation = nullptr;
    if (table)
      sqlite3_table_column_metadata(db, reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3)), table, name,
                                    nullptr, &collation, nullptr, nullptr, nullptr);
    const bool byCharacters = collation && SameName(collation, "RTRIM");
    if (const auto [at, first] = byCharacters_.try_emplace(LowerName(name), byCharacters); !first && !byCharacters)
      at->second = false;
    // A column of no type (an expression's, made by SELECT ... INTO) says nothing of what the
    // name holds: it leaves the kind to the tables that declare one, as the query it was read
    // from does (max(rq) AS rq is a datetime).
    if (type.empty()) continue;
    // datetime2 and time write as many fraction digits as declared, 7 by default.
    const bool time = type.rfind("time", 0) == 0 && (type.size() == 4 || type[4] == '(' || type[4] == ' ');
    int digits = -1;
    if (each == DeclaredKind::kDateTime2 || time) {
      digits = open != std::string::npos ? std::atoi(type.c_str() + open + 1) : 7;
      digits = digits < 0 || digits > 7 ? -1 : digits + (time ? 10 : 0);
    }
    const auto [fraction, firstFraction] = fractionDigits_.try_emplace(LowerName(name), digits);
    if (!firstFraction && fraction->second != digits) fraction->second = -1;
    // A name the tables declare differently is none of the kinds, unless each holds fractions.
    const auto [at, first] = kinds_.try_emplace(LowerName(name), each);
    const auto moment = [](DeclaredKind k) { return k == DeclaredKind::kDateTime || k == DeclaredKind::kDateTime2; };
    if (!first && at->second != each)
      at->second = HoldsFractions(at->second) && HoldsFractions(each) ? DeclaredKind::kDecimal
                   : moment(at->second) && moment(each)               ? DeclaredKind::kDateTime2
                                                                      : DeclaredKind::kOther;
  }
  sqlite3_finalize(stmt);
}

}  // namespace adodb::tsql
