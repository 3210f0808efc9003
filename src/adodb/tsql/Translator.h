#pragma once
// Translates one batch of the module's dialect (SQL Server T-SQL) into SQLite SQL with the
// same results: its statements separated by "; ", a batch's variables kept as VariableStore.h
// says. String literals and bracketed names are never rewritten. A construct it does not support
// throws adodb::Error::Unsupported naming the construct; it never returns a statement that would
// silently mean something else. Translations are cached by statement text, and by
// shape for statements that differ only in their literals.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "adodb/tsql/StatementShape.h"
#include "adodb/tsql/Tokenizer.h"

namespace adodb::tsql {

std::string Translate(std::string_view tsql);

// A translation that may be run with its literals bound as parameters: when `shape` is set, the
// statement has a shared template and `tokens` (views into the statement's text) hold its literals.
struct ShapedTranslation {
  std::string sql;  // the translation, unless `shape` holds it
  std::shared_ptr<const ShapeTemplate> shape;
  std::vector<Token> tokens;

  std::string Text() const { return sql.empty() && shape ? shape->Fill(tokens) : sql; }
};
ShapedTranslation TranslateShaped(std::string_view tsql);

}  // namespace adodb::tsql
