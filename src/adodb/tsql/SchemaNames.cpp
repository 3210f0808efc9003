#include "adodb/tsql/SchemaNames.h"

#include "adodb/TextCompare.h"
#include "adodb/tsql/Refusal.h"

namespace adodb::tsql {

void SchemaNames::Note(std::string_view schema, std::string_view table) {
  std::string schemaKey = schema.empty() ? std::string("dbo") : LowerName(schema);
  std::string tableKey = LowerName(table);
  for (const auto& [seenTable, seenSchema] : seen_) {
    if (seenTable != tableKey) continue;
    if (seenSchema != schemaKey)
      Refuse("the table " + std::string(table) + " under the schemas " + seenSchema + " and " + schemaKey);
    return;
  }
  seen_.emplace_back(std::move(tableKey), std::move(schemaKey));
}

}  // namespace adodb::tsql
