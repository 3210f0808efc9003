#pragma once
// The module's two ways of comparing text, each written once:
//  - names (columns, tables, keywords, connection-string keys): ASCII letters without case;
//  - values, as SQL Server's default collation compares them: letters of every script that has
//    case compared without it (é = É, Ж = ж), every other character as it is (accents count),
//    trailing blanks ignored ('abc' = 'ABC  ').
// And the one trim of blanks around a text. Never throws.
#include <cstdint>
#include <string>
#include <string_view>

namespace adodb {

bool SameName(std::string_view a, std::string_view b) noexcept;
bool StartsWithName(std::string_view text, std::string_view prefix) noexcept;
// ASCII letters changed, every other byte (Chinese text) left as it is.
std::string LowerName(std::string_view name);
std::string UpperName(std::string_view name);

// <0, 0 or >0 as a sorts before, with or after b under the collation.
int CompareValues(std::string_view a, std::string_view b) noexcept;

// The character's lower-case form (simple Unicode case mapping).
char32_t FoldCase(char32_t c) noexcept;
// The character's upper-case form (simple Unicode case mapping).
char32_t UpperCase(char32_t c) noexcept;
// The UTF-8 character at text[pos], advancing pos past it; a byte that starts no valid
// character comes back as itself, so any text can be walked.
char32_t NextCharacter(std::string_view text, std::size_t& pos) noexcept;
// The byte offset of the character with 0-based index `chars`, or the text's end.
std::size_t ByteOffset(std::string_view text, std::int64_t chars) noexcept;

// The text without the given characters at either end (by default blanks, tabs and line breaks).
std::string_view Trimmed(std::string_view text, std::string_view blanks = " \t\r\n") noexcept;

// The text with the full-width letters, digits and signs (U+FF01 to U+FF5E) and the ideographic
// blank of a Chinese input method's full-width mode as the plain characters they stand for: the
// server's default collation takes ００２ for 002, the embedded database does not.
std::string HalfWidthForms(std::string_view text);

}  // namespace adodb
