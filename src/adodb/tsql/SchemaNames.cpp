#include "adodb/tsql/SchemaNames.h"

#include "adodb/TextCompare.h"
#include "adodb/tsql/Refusal.h"

namespace adodb::tsql {

// Runs for every table a statement names: compared in place, each table kept once as written.
void SchemaNames::Note(std::string_view schema, std::string_view table) {
  if (schema.empty()) schema = "dbo";
  for (const auto& [seenTable, seenSchema] : seen_) {
    if (!SameName(seenTable, table)) continue;
    if (!SameName(seenSchema, schema))
      Refuse("the table " + std::string(table) + " under the schemas " + LowerName(seenSchema) + " and " + LowerName(schema));
    return;
  }
  // A batch names a few tables: room for them at once spares the list its regrowths.
  if (seen_.empty()) seen_.reserve(4);
  seen_.emplace_back(table, schema);
}

}  // namespace adodb::tsql
