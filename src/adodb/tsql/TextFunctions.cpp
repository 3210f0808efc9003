#include "adodb/tsql/TextFunctions.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>
#include <string_view>

#include "adodb/Error.h"
#include "adodb/TextCompare.h"
#include "adodb/tsql/SqliteArguments.h"

namespace adodb::tsql {
namespace {

void Concat(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  std::string out;
  for (int i = 0; i < argc; ++i) {
    switch (sqlite3_value_type(argv[i])) {
      case SQLITE_NULL:
        break;
      case SQLITE_FLOAT: {
        char buf[32];  // a zero without its sign, as tsql_varchar writes it
        out += std::string(buf, static_cast<std::size_t>(std::snprintf(buf, sizeof buf, "%.15g", sqlite3_value_double(argv[i]) + 0.0)));
        break;
      }
      default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[i]));
        if (text) out.append(text, static_cast<std::size_t>(sqlite3_value_bytes(argv[i])));
      }
    }
  }
  sqlite3_result_text64(ctx, out.data(), out.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void ResultText(sqlite3_context* ctx, const std::string& text) {
  sqlite3_result_text64(ctx, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

// Byte length of `pattern` matched at the start of `text` under the collation's case folding; 0 when it is not there.
std::size_t MatchedLength(std::string_view text, std::string_view pattern) {
  std::size_t i = 0, j = 0;
  while (j < pattern.size()) {
    if (i >= text.size() || FoldCase(NextCharacter(text, i)) != FoldCase(NextCharacter(pattern, j))) return 0;
  }
  return i;
}

// tsql_replace(s, find, with): every occurrence replaced, found without case as the collation compares.
void Replace(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const std::string_view text = TextOf(argv[0]), find = TextOf(argv[1]), with = TextOf(argv[2]);
  if (find.empty()) return ResultText(ctx, std::string(text));
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (const std::size_t matched = MatchedLength(text.substr(i), find)) {
      out += with;
      i += matched;
    } else {
      const std::size_t start = i;
      NextCharacter(text, i);
      out += text.substr(start, i - start);
    }
  }
  ResultText(ctx, out);
}

// Texts past this many bytes are SQLite's "string or blob too big" rather than an allocation that fails.
constexpr std::int64_t kMaxText = 100'000'000;

// tsql_replicate(s, n): s n times; a negative count gives NULL.
void Replicate(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const std::string_view text = TextOf(argv[0]);
  const std::int64_t count = sqlite3_value_int64(argv[1]);
  if (count < 0) return sqlite3_result_null(ctx);
  if (text.size() > 0 && count > kMaxText / static_cast<std::int64_t>(text.size())) return sqlite3_result_error_toobig(ctx);
  std::string out;
  out.reserve(text.size() * static_cast<std::size_t>(count));
  for (std::int64_t i = 0; i < count; ++i) out += text;
  ResultText(ctx, out);
}

// tsql_reverse(s): the characters in reverse order.
void Reverse(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const std::string_view text = TextOf(argv[0]);
  std::string out(text.size(), '\0');
  std::size_t end = text.size();
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t start = i;
    NextCharacter(text, i);
    end -= i - start;
    out.replace(end, i - start, text.substr(start, i - start));
  }
  ResultText(ctx, out);
}

// Byte offset of the character with 0-based index `chars`, or the text's end.
// tsql_stuff(s, start, length, insert): `length` characters from `start` replaced by `insert`;
// NULL when start is outside the text or length negative, as in SQL Server.
void Stuff(sqlite3_context* ctx, int, sqlite3_value** argv) {
  for (int i = 0; i < 3; ++i)
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const std::string_view text = TextOf(argv[0]);
  const std::int64_t start = sqlite3_value_int64(argv[1]), length = sqlite3_value_int64(argv[2]);
  const std::size_t from = ByteOffset(text, start - 1);
  if (start < 1 || length < 0 || from >= text.size()) return sqlite3_result_null(ctx);
  const std::size_t to = from + ByteOffset(text.substr(from), length);
  ResultText(ctx, std::string(text.substr(0, from)) + std::string(TextOf(argv[3])) + std::string(text.substr(to)));
}

// The parts of an object name 'server.database.schema.object', each unbracketed ([a.b] and "a.b"
// are one part); nothing when the text is no such name (more than four parts, an unclosed quote).
std::optional<std::vector<std::string>> NameParts(std::string_view text) {
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.') {
      parts.emplace_back();
      continue;
    }
    if ((c == '[' || c == '"') && parts.back().empty()) {
      const char close = c == '[' ? ']' : '"';
      std::size_t j = i + 1;
      for (; j < text.size(); ++j) {
        if (text[j] != close) {
          parts.back() += text[j];
        } else if (j + 1 < text.size() && text[j + 1] == close) {
          parts.back() += close;
          ++j;
        } else {
          break;
        }
      }
      if (j == text.size() || (j + 1 < text.size() && text[j + 1] != '.')) return std::nullopt;
      i = j;
      continue;
    }
    parts.back() += c;
  }
  if (parts.size() > 4) return std::nullopt;
  return parts;
}

// tsql_parsename(name, part): PARSENAME, the part counted from the right (1 the object, 4 the
// server); NULL for an empty or missing part, a part number outside 1 to 4, or text that is no name.
void ParseName(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const std::int64_t part = sqlite3_value_int64(argv[1]);
  const auto parts = NameParts(TextOf(argv[0]));
  if (!parts || part < 1 || part > static_cast<std::int64_t>(parts->size())) return sqlite3_result_null(ctx);
  const std::string& found = (*parts)[parts->size() - static_cast<std::size_t>(part)];
  if (found.empty()) return sqlite3_result_null(ctx);
  ResultText(ctx, found);
}

// The character in UTF-8.
void AppendCharacter(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// tsql_upper(s) and tsql_lower(s): each character in the case asked for. A byte that starts no
// valid character is kept as it is.
template <bool kUpper>
void ChangeCase(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const std::string_view text = TextOf(argv[0]);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t start = i;
    const char32_t c = NextCharacter(text, i);
    const char32_t changed = c >= 0x80 && i - start == 1 ? c : kUpper ? UpperCase(c) : FoldCase(c);
    if (changed == c) out += text.substr(start, i - start);
    else AppendCharacter(out, changed);
  }
  ResultText(ctx, out);
}

// CHAR(n) and NCHAR(n): the character of code n, NULL past the type's codes (CHAR 0 to 255, NCHAR
// 0 to 65535 but the halves of a surrogate pair). CHAR past 127 is a byte of the server's Chinese
// code page, no character alone: refused by name rather than given another one.
template <bool kUnicode>
void CharOfCode(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const std::int64_t code = sqlite3_value_int64(argv[0]);
  if (code < 0 || code > (kUnicode ? 0xFFFF : 0xFF) || (code >= 0xD800 && code <= 0xDFFF)) return sqlite3_result_null(ctx);
  if (!kUnicode && code > 0x7F) return sqlite3_result_error(ctx, "CHAR of a code past 127 is not supported", -1);
  const auto c = static_cast<char32_t>(code);
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  ResultText(ctx, out);
}

// ASCII(s) and UNICODE(s): the code of the first character, NULL for NULL and ''. UNICODE gives a
// character past the Basic Multilingual Plane as its first UTF-16 unit, as the server does; ASCII
// of a character past 127 would be a byte of its Chinese code page: refused by name.
template <bool kUnicode>
void CodeOfFirst(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const std::string_view text = TextOf(argv[0]);
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || text.empty()) return sqlite3_result_null(ctx);
  std::size_t pos = 0;
  const char32_t c = NextCharacter(text, pos);
  if (!kUnicode && c > 0x7F) return sqlite3_result_error(ctx, "ASCII of a character past 127 is not supported", -1);
  sqlite3_result_int64(ctx, c >= 0x10000 ? 0xD800 + ((c - 0x10000) >> 10) : c);
}

struct TextFunction {
  const char* name;
  int argc;
  void (*fn)(sqlite3_context*, int, sqlite3_value**);
};

constexpr TextFunction kTextFunctions[] = {
    {"tsql_concat", -1, Concat},     {"tsql_replace", 3, Replace}, {"tsql_replicate", 2, Replicate},
    {"tsql_reverse", 1, Reverse},    {"tsql_stuff", 4, Stuff},     {"tsql_parsename", 2, ParseName},
    {"tsql_upper", 1, ChangeCase<true>}, {"tsql_lower", 1, ChangeCase<false>},
    {"tsql_char", 1, CharOfCode<false>}, {"tsql_nchar", 1, CharOfCode<true>},
    {"tsql_ascii", 1, CodeOfFirst<false>}, {"tsql_unicode", 1, CodeOfFirst<true>},
};

}  // namespace

void RegisterTextFunctions(sqlite3* db) {
  for (const TextFunction& f : kTextFunctions)
    if (sqlite3_create_function_v2(db, f.name, f.argc, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                                   f.fn, nullptr, nullptr, nullptr) != SQLITE_OK)
      throw Error::Provider(std::string("Registering the T-SQL text functions failed: ") + sqlite3_errmsg(db));
}

}  // namespace adodb::tsql
