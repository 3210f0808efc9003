#include "adodb/tsql/SchemaNames.h"

#include "adodb/TextCompare.h"
#include "adodb/tsql/Refusal.h"

namespace adodb::tsql {

bool SchemaNames::Matches(const Seen& seen, std::string_view schema, std::string_view table) {
  if (!SameName(seen.table, table)) return false;
  if (!SameName(seen.schema, schema))
    Refuse("the table " + std::string(table) + " under the schemas " + LowerName(seen.schema) + " and " + LowerName(schema));
  return true;
}

// Runs for every table a statement names: compared in place, each table kept once as written.
void SchemaNames::Note(std::string_view schema, std::string_view table) {
  if (schema.empty()) schema = "dbo";
  for (std::size_t i = 0; i < inPlace_; ++i)
    if (Matches(first_[i], schema, table)) return;
  for (const Seen& seen : more_)
    if (Matches(seen, schema, table)) return;
  Seen& added = inPlace_ < kInPlace ? first_[inPlace_++] : more_.emplace_back();
  added.table = table;
  added.schema = schema;
}

}  // namespace adodb::tsql
