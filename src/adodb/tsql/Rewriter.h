#pragma once
// The syntactic layer of the T-SQL translator: one pass over the tokens of a batch (statements
// separated by ';' or following one another, see BatchVariables.h) that appends the SQLite form
// to an output buffer. It parses expressions with T-SQL's precedence so that operators whose meaning differs (the '+' that concatenates text) can be rewritten, and
// restructures the statement shapes SQLite spells differently (TOP, UPDATE/DELETE with joins).
// Anything it does not recognise throws adodb::Error::Unsupported naming the construct: it never
// passes through text whose meaning it has not understood.
#include <string>
#include <vector>

#include "adodb/tsql/Tokenizer.h"

namespace adodb::tsql {

std::string Rewrite(const std::vector<Token>& tokens);

}  // namespace adodb::tsql
