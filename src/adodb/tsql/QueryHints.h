#pragma once
// Query hints (OPTION (...)), table hints (WITH (NOLOCK), (NOLOCK), WITH (INDEX(ix))) and join
// hints (INNER LOOP JOIN): they steer SQL Server's plans and locks, never the rows a statement
// gives, and one embedded connection has neither, so they are read and dropped.
#include <cstddef>
#include <string_view>
#include <vector>

#include "adodb/tsql/Tokenizer.h"

namespace adodb::tsql {

// The position after the ')' that closes the '(' at tokens[open]; refuses text that does not close
// before `end`, or that holds anything but names, numbers, texts, '=' and ','.
std::size_t SkipHintList(const std::vector<Token>& tokens, std::size_t open, std::size_t end);

// A hint SQL Server takes in parentheses right after a table without WITH: (NOLOCK), (INDEX(ix)).
bool IsTableHint(std::string_view word);

// LOOP, HASH, MERGE or REMOTE between the join type and JOIN.
bool IsJoinHint(std::string_view word);

}  // namespace adodb::tsql
