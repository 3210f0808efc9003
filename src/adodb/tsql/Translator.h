#pragma once
// Translates one statement of the module's dialect (SQL Server T-SQL) into SQLite SQL with the
// same results. String literals and bracketed names are never rewritten. A construct it does not
// support throws adodb::Error::Unsupported naming the construct; it never returns a statement
// that would silently mean something else. Translations are cached by statement text, and by shape for statements that differ only in their literals.
#include <string>
#include <string_view>

namespace adodb::tsql {

std::string Translate(std::string_view tsql);

}  // namespace adodb::tsql
