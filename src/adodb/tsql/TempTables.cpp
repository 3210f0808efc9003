#include "adodb/tsql/TempTables.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "adodb/TextCompare.h"
#include "adodb/TextLengths.h"
#include "adodb/tsql/HeldNumbers.h"
#include "adodb/tsql/QuotedName.h"
#include "adodb/tsql/SqliteArguments.h"

namespace adodb::tsql {

bool IsTempTableName(std::string_view bare) { return !bare.empty() && bare[0] == '#'; }

namespace {

// The i-th of the item types written 'int;;varchar(3)' (empty: none known).
std::string_view ItemType(std::string_view types, int i) {
  for (; i > 0 && !types.empty(); --i) types.remove_prefix(std::min(types.find(';'), types.size() - 1) + 1);
  return types.substr(0, types.find(';'));
}

// The type the server gives sum(c) ("sum") or c + n, c - n with n an int ("add") where c is
// declared `declared`; empty where it is none of the number types.
std::string SumOrTermType(std::string_view rule, std::string declared) {
  for (char& c : declared) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::size_t open = declared.find('(');
  const std::string name(Trimmed(std::string_view(declared).substr(0, open)));
  if (name == "int" || name == "integer" || name == "smallint" || name == "tinyint") return "int";
  if (name == "bigint" || name == "float" || name == "money") return name;
  if (name == "real") return rule == "sum" ? "float" : "real";
  if (name == "smallmoney") return rule == "sum" ? "money" : name;
  if (name == "bit") return rule == "sum" ? "" : "int";
  if ((name != "decimal" && name != "numeric") || open == std::string::npos) return {};
  int precision = 18, scale = 0;
  if (std::sscanf(declared.c_str() + open + 1, "%d , %d", &precision, &scale) < 1) return {};
  // An int is decimal(10,0): the sum's digits are the larger of each side's, and one more.
  precision = rule == "sum" ? 38 : std::min(38, scale + std::max(precision - scale, 10) + 1);
  return "decimal(" + std::to_string(precision) + "," + std::to_string(scale) + ")";
}

// tsql_select_into(name, query, types[, probe]): makes the table `name` (a #name in the temp schema) with the
// columns of `query`, each of the type the column it reads declares, else of the item's `types`, text and no type with
// COLLATE TSQL; a #table's number columns held by its triggers. Only CREATEs run here; the
// INSERT after it fills the table.
void SelectIntoTable(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  sqlite3* db = sqlite3_context_db_handle(ctx);
  const std::string name(TextOf(argv[0]));
  const std::string query(TextOf(argv[1]));
  const std::string_view written = TextOf(argv[2]);
  sqlite3_stmt* probe = nullptr;
  if (argc > 3) sqlite3_prepare_v2(db, std::string(TextOf(argv[3])).c_str(), -1, &probe, nullptr);
  sqlite3_stmt* select = nullptr;
  if (sqlite3_prepare_v2(db, query.c_str(), -1, &select, nullptr) != SQLITE_OK) {
    sqlite3_finalize(probe);
    return sqlite3_result_error(ctx, sqlite3_errmsg(db), -1);
  }
  const bool temp = IsTempTableName(name);
  const std::string table = (temp ? "temp." : "main.") + QuotedName(name, '"');
  std::string list;
  std::vector<HeldColumn> held, texts;
  for (int i = 0; i < sqlite3_column_count(select); ++i) {
    const char* column = sqlite3_column_name(select, i);
    const char* type = sqlite3_column_decltype(select, i);
    std::string declared = type ? type : "";
    // An expression's column has none here: the type the item gives it as written, if any.
    const std::string_view item = ItemType(written, i);
    if (declared.empty() && item.starts_with('=')) {
      const int column = std::atoi(std::string(item.substr(4)).c_str());
      const char* argument = probe && column < sqlite3_column_count(probe) ? sqlite3_column_decltype(probe, column) : nullptr;
      if (argument) declared = SumOrTermType(item.substr(1, 3), argument);
    } else if (declared.empty()) {
      declared = item;
    }
    const std::size_t word = std::min(declared.find_first_of(" ("), declared.size());
    const bool text = declared.empty() || declared.starts_with("TEXT") || IsTextTypeName(std::string_view(declared).substr(0, word));
    list += (list.empty() ? "" : ", ") + QuotedName(column ? column : "", '"') + (declared.empty() ? "" : " " + declared) +
            (text ? " COLLATE TSQL" : "");
    if (temp && HeldNumber(declared, "")) held.push_back({column ? column : "", declared});
    if (temp) texts.push_back({column ? column : "", declared});
  }
  sqlite3_finalize(select);
  sqlite3_finalize(probe);
  std::string create = "CREATE TABLE " + table + " (" + list + ");" +
                       TextLengthTriggers("tsql_length_" + name, QuotedName(name, '"'), name, texts);
  if (!held.empty()) {
    const std::string trigger = "tsql_held_" + name;
    create += HeldNumbersTrigger(trigger + "_insert", QuotedName(name, '"'), name, held, false) +
              HeldNumbersTrigger(trigger + "_update", QuotedName(name, '"'), name, held, true);
  }
  char* error = nullptr;
  if (sqlite3_exec(db, create.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    sqlite3_result_error(ctx, error ? error : "CREATE TABLE failed", -1);
    return sqlite3_free(error);
  }
  sqlite3_result_null(ctx);
}

}  // namespace

std::string SelectInto(const std::string& emittedName, std::string_view bareName, const std::string& query,
                       const std::vector<std::string>& itemTypes, const std::string& probe) {
  std::string types;
  for (std::size_t i = 0; i < itemTypes.size(); ++i) (types += i ? ";" : "") += itemTypes[i];
  return "SELECT tsql_select_into(" + QuotedName(bareName, '\'') + ", " + QuotedName(query, '\'') + ", " +
         QuotedName(types, '\'') + (probe.empty() ? "" : ", " + QuotedName(probe, '\'')) +
         ") AS tsql_assignment; INSERT INTO " + emittedName + " " + query;
}

int RegisterSelectInto(sqlite3* db) {
  return sqlite3_create_function_v2(db, "tsql_select_into", -1, SQLITE_UTF8 | SQLITE_DIRECTONLY, nullptr,
                                    SelectIntoTable, nullptr, nullptr, nullptr);
}

bool IsTextTypeName(std::string_view word) {
  static constexpr std::array<std::string_view, 6> kTextTypes = {"char", "varchar", "nchar", "nvarchar", "text", "ntext"};
  return std::any_of(kTextTypes.begin(), kTextTypes.end(), [&](std::string_view t) { return SameName(t, word); });
}

}  // namespace adodb::tsql
