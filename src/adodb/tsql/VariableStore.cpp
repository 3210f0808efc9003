#include "adodb/tsql/VariableStore.h"

#include <sqlite3.h>

#include <string>
#include <unordered_map>

#include "adodb/Error.h"
#include "adodb/TextCompare.h"
#include "adodb/tsql/SqliteArguments.h"

namespace adodb::tsql {
namespace {

class VariableStore {
 public:
  VariableStore() = default;
  VariableStore(const VariableStore&) = delete;
  VariableStore& operator=(const VariableStore&) = delete;
  ~VariableStore() {
    for (auto& [name, value] : values_) sqlite3_value_free(value);
  }

  void Assign(std::string_view name, sqlite3_value* value) {
    sqlite3_value*& slot = values_[LowerName(name)];
    sqlite3_value_free(slot);
    slot = sqlite3_value_dup(value);
  }
  sqlite3_value* Find(std::string_view name) const {
    const auto found = values_.find(LowerName(name));
    return found == values_.end() ? nullptr : found->second;
  }

 private:
  std::unordered_map<std::string, sqlite3_value*> values_;
};

VariableStore& StoreOf(sqlite3_context* ctx) { return *static_cast<VariableStore*>(sqlite3_user_data(ctx)); }

void ReadVariable(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value* value = StoreOf(ctx).Find(TextOf(argv[0]))) return sqlite3_result_value(ctx, value);
  sqlite3_result_null(ctx);
}

void AssignVariables(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (argc % 2 != 0) return sqlite3_result_error(ctx, "tsql_assign takes names and values in pairs", -1);
  for (int i = 0; i < argc; i += 2) StoreOf(ctx).Assign(TextOf(argv[i]), argv[i + 1]);
  sqlite3_result_null(ctx);
}

void DeleteStore(void* store) { delete static_cast<VariableStore*>(store); }

}  // namespace

void RegisterVariableStore(sqlite3* db) {
  auto* store = new VariableStore;
  // The store goes with tsql_assign, registered last: its destructor runs when the connection
  // closes or the functions are registered again.
  if (sqlite3_create_function_v2(db, "tsql_variable", 1, SQLITE_UTF8, store, ReadVariable, nullptr, nullptr, nullptr) !=
          SQLITE_OK ||
      sqlite3_create_function_v2(db, "tsql_assign", -1, SQLITE_UTF8, store, AssignVariables, nullptr, nullptr,
                                 DeleteStore) != SQLITE_OK)
    throw Error::Provider(std::string("Registering the batch variables failed: ") + sqlite3_errmsg(db));
}

bool AssignsVariables(sqlite3_stmt* statement) {
  const char* first = sqlite3_column_count(statement) > 0 ? sqlite3_column_name(statement, 0) : nullptr;
  return first && std::string_view(first) == kAssignmentColumn;
}

}  // namespace adodb::tsql
