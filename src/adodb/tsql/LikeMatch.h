#pragma once
// T-SQL's LIKE under the server's default collation: % any run of characters, _ one character,
// [abc] [a-c] one of a set or range, [^abc] one not in it, an ESCAPE character making the next
// one literal; letters of every script compared without case; trailing blanks of the value (not
// of the pattern) ignored. A '[' without its ']' stands for itself. Matching takes time
// proportional to the value's length times the pattern's, whatever the pattern. Under a
// case-sensitive or binary collation (`caseSensitive`) letters match only in their own case.
#include <optional>
#include <string_view>

namespace adodb::tsql {

bool MatchesLike(std::string_view value, std::string_view pattern, std::optional<char32_t> escape = std::nullopt,
                 bool caseSensitive = false);

}  // namespace adodb::tsql
