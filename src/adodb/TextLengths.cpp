#include "adodb/TextLengths.h"

#include <sqlite3.h>

#include <cstdlib>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "adodb/Error.h"
#include "adodb/TextCompare.h"
#include "adodb/tsql/HeldNumbers.h"
#include "adodb/tsql/QuotedName.h"

namespace adodb {
namespace {

constexpr std::string_view kTriggerPrefix = "tsql_declared_";
// A call takes the table and five arguments a column, within SQLite's 127 arguments a function.
constexpr std::size_t kColumnsPerCall = 20;

std::string_view ValueText(sqlite3_value* v) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
  return text ? std::string_view(text, static_cast<std::size_t>(sqlite3_value_bytes(v))) : std::string_view();
}

// The byte where the text passes `limit` as the column counts it, or npos when it fits.
std::size_t CutOf(std::string_view text, std::size_t limit, bool codePageBytes) {
  std::size_t counted = 0;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t at = i;
    const char32_t c = NextCharacter(text, i);
    counted += codePageBytes ? (c < 0x80 ? 1 : 2) : (c >= 0x10000 ? 2 : 1);
    if (counted > limit) return at;
  }
  return std::string_view::npos;
}

// tsql_text_fits('table', 'column', limit, inBytes, new, old, 'column', ...): 0, or the server's
// refusal of the first new value past its column's limit. Each value is as the trigger sees it:
// old is NULL on insert.
void TextFits(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  for (int i = 1; i + 4 < argc; i += 5) {
    sqlite3_value* value = argv[i + 3];
    if (sqlite3_value_type(value) != SQLITE_TEXT) continue;
    const auto limit = static_cast<std::size_t>(sqlite3_value_int64(argv[i + 1]));
    const std::string_view text = ValueText(value);
    // UTF-8 takes at least as many bytes as either count: most values end here.
    if (text.size() <= limit) continue;
    const std::size_t cut = CutOf(text, limit, sqlite3_value_int(argv[i + 2]) != 0);
    if (cut == std::string_view::npos) continue;
    sqlite3_value* old = argv[i + 4];
    if (sqlite3_value_type(old) == SQLITE_TEXT && ValueText(old) == text) continue;
    const std::string message = "String or binary data would be truncated in table '" +
                                std::string(ValueText(argv[0])) + "', column '" + std::string(ValueText(argv[i])) +
                                "'. Truncated value: '" + std::string(text.substr(0, cut)) + "'.";
    return sqlite3_result_error(ctx, message.c_str(), -1);
  }
  sqlite3_result_int(ctx, 0);
}

// The limit of a declared type that holds text of a bounded length, and whether it counts bytes.
struct Bound {
  long limit = 0;
  bool codePageBytes = false;
};
std::optional<Bound> BoundOf(std::string_view declared) {
  declared = Trimmed(declared);
  const std::size_t open = declared.find('(');
  if (open == std::string_view::npos || !declared.ends_with(')')) return std::nullopt;
  const std::string_view name = Trimmed(declared.substr(0, open));
  const bool unicode = SameName(name, "nvarchar") || SameName(name, "nchar");
  if (!unicode && !SameName(name, "varchar") && !SameName(name, "char")) return std::nullopt;
  const std::string digits(Trimmed(declared.substr(open + 1, declared.size() - open - 2)));
  char* end = nullptr;
  const long limit = std::strtol(digits.c_str(), &end, 10);
  if (digits.empty() || *end != '\0' || limit <= 0) return std::nullopt;  // max
  return Bound{limit, !unicode};
}

struct BoundedColumn {
  std::string name;
  Bound bound;
};

// WHEN tsql_text_fits(...) + tsql_text_fits(...): each call is 0 or fails.
std::string Condition(const std::string& table, const std::vector<BoundedColumn>& columns, bool update) {
  std::string when;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i % kColumnsPerCall == 0) (when += i == 0 ? "tsql_text_fits(" : ") + tsql_text_fits(") += tsql::QuotedName(table, '\'');
    const BoundedColumn& column = columns[i];
    const std::string name = tsql::QuotedName(column.name, '"');
    when += ", " + tsql::QuotedName(column.name, '\'') + ", " + std::to_string(column.bound.limit) + ", " +
            (column.bound.codePageBytes ? "1" : "0") + ", new." + name + ", " + (update ? "old." + name : "NULL");
  }
  return when + ")";
}

// Runs the statement through, giving each row to `row`. SQLite's code, its message left on the
// connection.
template <typename Row>
int EachRow(sqlite3* db, const char* sql, Row&& row) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) return sqlite3_errcode(db);
  int rc;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) row(statement);
  sqlite3_finalize(statement);
  return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

std::string Text(sqlite3_stmt* statement, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
  return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, column))) : std::string();
}

// The two triggers of `bounded` columns of a table.
std::string LengthTriggers(const std::string& name, const std::string& target, const std::string& table,
                           const std::vector<BoundedColumn>& bounded) {
  std::string updated;
  for (const BoundedColumn& column : bounded) (updated += updated.empty() ? "" : ", ") += tsql::QuotedName(column.name, '"');
  return "create temp trigger " + tsql::QuotedName(name + "_insert", '"') + " before insert on " + target + " when " +
         Condition(table, bounded, false) + " begin select 0; end;" + "create temp trigger " +
         tsql::QuotedName(name + "_update", '"') + " before update of " + updated + " on " + target + " when " +
         Condition(table, bounded, true) + " begin select 0; end;";
}

}  // namespace

std::string TextLengthTriggers(const std::string& name, const std::string& target, const std::string& table,
                               const std::vector<tsql::HeldColumn>& columns) {
  std::vector<BoundedColumn> bounded;
  for (const tsql::HeldColumn& column : columns)
    if (const auto bound = BoundOf(column.declared)) bounded.push_back({column.name, *bound});
  return bounded.empty() ? std::string() : LengthTriggers(name, target, table, bounded);
}

int RegisterTextFits(sqlite3* db) {
  return sqlite3_create_function_v2(db, "tsql_text_fits", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, TextFits,
                                    nullptr, nullptr, nullptr);
}

TextLengthChecks::TextLengthChecks(sqlite3* db) : db_(db) {
  if (RegisterTextFits(db) != SQLITE_OK) {
    throw Error::Provider(std::string("Preparing the text length checks failed: ") + sqlite3_errmsg(db));
  }
}

int TextLengthChecks::Before(sqlite3_stmt* statement) {
  if (sqlite3_stmt_readonly(statement)) return SQLITE_OK;
  // Only rows written are checked; a table made or dropped is seen by the next write's check.
  const std::string_view sql = Trimmed(sqlite3_sql(statement));
  if (StartsWithName(sql, "create") || StartsWithName(sql, "alter") || StartsWithName(sql, "drop")) {
    checkedUnderLock_ = false;
    return SQLITE_OK;
  }
  if (!StartsWithName(sql, "insert") && !StartsWithName(sql, "update") && !StartsWithName(sql, "replace") &&
      !StartsWithName(sql, "with"))
    return SQLITE_OK;
  const bool holdingLock = underLock_ && sqlite3_get_autocommit(db_) == 0;
  if (holdingLock && checkedUnderLock_) return SQLITE_OK;
  const int rc = Check();
  checkedUnderLock_ = rc == SQLITE_OK && holdingLock;
  return rc;
}

int TextLengthChecks::Check() {
  auto now = tsql::DeclaredColumnKinds::VersionsOf(db_);
  if (now == madeUnder_ && now.main >= 0) return SQLITE_OK;
  // A temporary table of a batch changes the temp schema only: the checks are still there.
  int inPlace = -1;
  if (now.main == madeUnder_.main) {
    const char* count = "select count(*) from sqlite_temp_schema where type = 'trigger' and name glob 'tsql_declared_*'";
    if (const int rc = EachRow(db_, count, [&](sqlite3_stmt* s) { inPlace = sqlite3_column_int(s, 0); }))
      return rc;
  }
  if (inPlace != made_) {
    if (const int rc = Make()) return rc;
    now = tsql::DeclaredColumnKinds::VersionsOf(db_);
  }
  madeUnder_ = now;
  return SQLITE_OK;
}

int TextLengthChecks::Make() {
  std::string script;
  const char* made = "select name from sqlite_temp_schema where type = 'trigger' and name glob 'tsql_declared_*'";
  if (const int rc = EachRow(db_, made, [&](sqlite3_stmt* s) {
        script += "drop trigger temp." + tsql::QuotedName(Text(s, 0), '"') + ";";
      }))
    return rc;
  std::vector<std::pair<std::string, std::vector<BoundedColumn>>> tables;
  std::vector<std::pair<std::string, std::vector<tsql::HeldColumn>>> numbered;
  // A decimal or date column the database file holds by triggers of its own is left to them.
  const char* columns =
      "select s.name, p.name, p.type, s.sql like '%without rowid%' or exists (select 1 from sqlite_schema t where "
      "t.type = 'trigger' and t.tbl_name = s.name and lower(t.name) = lower(s.name || '_' || p.name || "
      "'_declared_scale_on_insert') or lower(t.name) = lower(s.name || '_' || p.name || '_stored_form_on_insert')) "
      "from sqlite_schema s, pragma_table_info(s.name) p where s.type = 'table' and "
      "s.name not like 'sqlite%' and s.sql not like 'create virtual%' order by s.name, p.cid";
  if (const int rc = EachRow(db_, columns, [&](sqlite3_stmt* s) {
        const std::string declared = Text(s, 2);
        if (const auto bound = BoundOf(declared)) {
          std::string table = Text(s, 0);
          if (tables.empty() || tables.back().first != table) tables.emplace_back(std::move(table), std::vector<BoundedColumn>{});
          tables.back().second.push_back({Text(s, 1), *bound});
        } else if (sqlite3_column_int(s, 3) == 0 && tsql::HeldNumber(declared, "")) {
          std::string table = Text(s, 0);
          if (numbered.empty() || numbered.back().first != table) numbered.emplace_back(std::move(table), std::vector<tsql::HeldColumn>{});
          numbered.back().second.push_back({Text(s, 1), declared});
        }
      }))
    return rc;
  int count = 0;
  for (const auto& [table, held] : numbered) {
    const std::string name = std::string(kTriggerPrefix) + "number_" + std::to_string(count / 2);
    const std::string target = "main." + tsql::QuotedName(table, '"');
    script += tsql::HeldNumbersTrigger(name + "_insert", target, table, held, false) +
              tsql::HeldNumbersTrigger(name + "_update", target, table, held, true);
    count += 2;
  }
  for (const auto& [table, bounded] : tables) {
    const std::string name = std::string(kTriggerPrefix) + "length_" + std::to_string(count / 2);
    script += LengthTriggers(name, "main." + tsql::QuotedName(table, '"'), table, bounded);
    count += 2;
  }
  if (const int rc = sqlite3_exec(db_, script.c_str(), nullptr, nullptr, nullptr)) return rc;
  made_ = count;
  return SQLITE_OK;
}

}  // namespace adodb
