#pragma once
// Translates one batch of the module's dialect (SQL Server T-SQL) into SQLite SQL with the
// same results: its statements separated by "; ", a batch's variables kept as VariableStore.h
// says. String literals and bracketed names are never rewritten. A construct it does not support
// throws adodb::Error::Unsupported naming the construct; it never returns a statement that would
// silently mean something else. Translations (and refusals) are cached by the statement's exact
// text: values arrive as bound parameters, so the module sends few distinct texts.
#include <string>
#include <string_view>

namespace adodb::tsql {

std::string Translate(std::string_view tsql);

// The same translation, made anew without the cache.
std::string TranslateAfresh(std::string_view tsql);

}  // namespace adodb::tsql
