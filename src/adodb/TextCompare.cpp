#include "adodb/TextCompare.h"

#include <locale.h>
#include <wctype.h>

namespace adodb {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// glibc's C.UTF-8 locale carries Unicode's case mappings whatever locale the process runs in.
locale_t UnicodeLocale() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
  return locale;
}

std::size_t WithoutTrailingBlanks(std::string_view text) {
  std::size_t size = text.size();
  while (size > 0 && text[size - 1] == ' ') --size;
  return size;
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

bool StartsWithName(std::string_view text, std::string_view prefix) noexcept {
  return text.size() >= prefix.size() && SameName(text.substr(0, prefix.size()), prefix);
}

std::string LowerName(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) c = LowerAscii(c);
  return lower;
}

std::string UpperName(std::string_view name) {
  std::string upper(name);
  for (char& c : upper) c = UpperAscii(c);
  return upper;
}

char32_t FoldCase(char32_t c) noexcept {
  if (c < 0x80) return static_cast<char32_t>(LowerAscii(static_cast<char>(c)));
  const locale_t locale = UnicodeLocale();
  return locale ? static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), locale)) : c;
}

char32_t UpperCase(char32_t c) noexcept {
  if (c < 0x80) return static_cast<char32_t>(UpperAscii(static_cast<char>(c)));
  const locale_t locale = UnicodeLocale();
  return locale ? static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), locale)) : c;
}

char32_t NextCharacter(std::string_view text, std::size_t& pos) noexcept {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  const int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
  if (length <= 1 || pos + static_cast<std::size_t>(length) > text.size()) return ++pos, lead;
  char32_t c = lead & (0x7F >> length);
  for (int i = 1; i < length; ++i) {
    if ((byte(pos + static_cast<std::size_t>(i)) & 0xC0) != 0x80) return ++pos, lead;
    c = (c << 6) | (byte(pos + static_cast<std::size_t>(i)) & 0x3F);
  }
  pos += static_cast<std::size_t>(length);
  return c;
}

std::size_t ByteOffset(std::string_view text, std::int64_t chars) noexcept {
  std::size_t i = 0;
  for (; i < text.size() && chars > 0; --chars) NextCharacter(text, i);
  return i;
}

int CompareValues(std::string_view a, std::string_view b) noexcept {
  a = a.substr(0, WithoutTrailingBlanks(a));
  b = b.substr(0, WithoutTrailingBlanks(b));
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    // The common case, two ASCII bytes, without decoding.
    if (static_cast<unsigned char>(a[i]) < 0x80 && static_cast<unsigned char>(b[j]) < 0x80) {
      const char x = LowerAscii(a[i++]), y = LowerAscii(b[j++]);
      if (x != y) return x < y ? -1 : 1;
      continue;
    }
    const char32_t x = FoldCase(NextCharacter(a, i)), y = FoldCase(NextCharacter(b, j));
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < a.size()) return 1;
  return j < b.size() ? -1 : 0;
}

std::string_view Trimmed(std::string_view text, std::string_view blanks) noexcept {
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string HalfWidthForms(std::string_view text) {
  constexpr char32_t kWideBlank = 0x3000, kFirstWide = 0xFF01, kLastWide = 0xFF5E, kWideOffset = 0xFF01 - 0x21;
  std::string narrow;
  for (std::size_t pos = 0, start = 0; pos < text.size(); start = pos) {
    const char32_t c = NextCharacter(text, pos);
    if (c == kWideBlank) {
      narrow += ' ';
    } else if (c >= kFirstWide && c <= kLastWide) {
      narrow += static_cast<char>(c - kWideOffset);
    } else {
      narrow.append(text, start, pos - start);
    }
  }
  return narrow;
}

}  // namespace adodb
