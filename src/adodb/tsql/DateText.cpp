#include "adodb/tsql/DateText.h"

#include <array>
#include <cstdio>

#include "adodb/TextCompare.h"

namespace adodb::tsql {
namespace {

// A cursor over the text that reads the pieces dates are made of; blanks between pieces skipped.
class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  bool AtEnd() {
    SkipBlanks();
    return pos_ == text_.size();
  }
  bool AtDigit() const { return pos_ < text_.size() && IsDigit(text_[pos_]); }
  bool Accept(char c) {
    if (pos_ < text_.size() && text_[pos_] == c) return ++pos_, true;
    return false;
  }
  // A run of digits; its length in `digits`. False when none is there or it is too long for an int.
  bool Number(int& value, int& digits) {
    value = digits = 0;
    for (; AtDigit() && digits < 9; ++digits) value = value * 10 + (text_[pos_++] - '0');
    return digits > 0 && !AtDigit();
  }
  std::string_view Letters() {
    SkipBlanks();
    const std::size_t start = pos_;
    while (pos_ < text_.size() && IsLetter(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
  }
  void SkipBlanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }
  std::size_t Position() const { return pos_; }
  void Rewind(std::size_t pos) { pos_ = pos; }

 private:
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
  static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

  std::string_view text_;
  std::size_t pos_ = 0;
};

constexpr std::array<std::string_view, 12> kMonths = {"january", "february", "march",     "april",   "may",      "june",
                                                      "july",    "august",   "september", "october", "november", "december"};

// January .. December or their first three letters; 0 when the word is no month. Most words
// asked about are codes (DBD2024...): their first letter rules out all months but one or two.
int MonthNamed(std::string_view word) {
  if (word.empty()) return 0;
  const char first = static_cast<char>(word[0] | 0x20);
  for (std::size_t i = 0; i < kMonths.size(); ++i) {
    const std::string_view full = kMonths[i];
    if (full[0] != first) continue;
    if ((word.size() == 3 || word.size() == full.size()) && StartsWithName(full, word))
      return static_cast<int>(i) + 1;
  }
  return 0;
}

// Two-digit years: 00-49 are 2000-2049, 50-99 are 1950-1999.
int FullYear(int year, int digits) {
  if (digits > 2) return year;
  return year < 50 ? 2000 + year : 1900 + year;
}

bool ReadTime(Reader& in, DateTime& value) {
  int digits = 0;
  if (!in.Number(value.date.hour, digits) || digits > 2 || !in.Accept(':')) return false;
  if (!in.Number(value.date.minute, digits) || digits > 2) return false;
  if (in.Accept(':')) {
    if (!in.Number(value.date.second, digits) || digits > 2) return false;
    if (in.Accept('.')) {
      int fraction = 0;
      if (!in.Number(fraction, digits) || digits > 3) return false;
      value.milliseconds = digits == 1 ? fraction * 100 : digits == 2 ? fraction * 10 : fraction;
    }
  }
  const std::string_view meridiem = in.Letters();
  if (meridiem.empty()) return true;
  const bool pm = SameName(meridiem, "PM");
  if (!pm && !SameName(meridiem, "AM")) return false;
  if (value.date.hour < 1 || value.date.hour > 12) return false;
  value.date.hour = value.date.hour % 12 + (pm ? 12 : 0);
  return true;
}

// The time after a date: none, or blanks (or the ISO 'T') and a time.
bool ReadOptionalTime(Reader& in, DateTime& value, bool allowT) {
  if (in.AtEnd()) return true;
  if (!(allowT && in.Accept('T'))) in.SkipBlanks();
  return ReadTime(in, value) && in.AtEnd();
}

void SetDate(DateTime& value, int year, int month, int day) {
  value.date.year = year;
  value.date.month = month;
  value.date.day = day;
}

// A date that starts with a number: unseparated, year first or month/day/year.
bool ReadNumericDate(Reader& in, DateTime& value) {
  int first = 0, digits = 0;
  if (!in.Number(first, digits)) return false;
  if (digits == 8 || digits == 6) {  // [yy]yymmdd
    SetDate(value, FullYear(first / 10000, digits - 4), first / 100 % 100, first % 100);
    return ReadOptionalTime(in, value, false);
  }
  char separator = '\0';
  for (char c : {'-', '/', '.'})
    if (in.Accept(c)) separator = c;
  if (separator == '\0') return false;
  int second = 0, secondDigits = 0, third = 0, thirdDigits = 0;
  if (!in.Number(second, secondDigits) || secondDigits > 2 || !in.Accept(separator)) return false;
  if (!in.Number(third, thirdDigits)) return false;
  if (digits == 4) {  // year first
    if (thirdDigits > 2) return false;
    SetDate(value, first, second, third);
    return ReadOptionalTime(in, value, separator == '-');
  }
  if (digits > 2 || (thirdDigits != 2 && thirdDigits != 4)) return false;
  SetDate(value, FullYear(third, thirdDigits), first, second);
  return ReadOptionalTime(in, value, false);
}

// Mar 5 2024, March 5, 2024 or 5 Mar 2024, then an optional time.
bool ReadNamedMonthDate(Reader& in, DateTime& value) {
  int day = 0, dayDigits = 0, year = 0, yearDigits = 0;
  int month = MonthNamed(in.Letters());
  if (month != 0) {
    in.SkipBlanks();
    if (!in.Number(day, dayDigits) || dayDigits > 2) return false;
  } else {
    in.Rewind(0);
    in.SkipBlanks();
    if (!in.Number(day, dayDigits) || dayDigits > 2) return false;
    month = MonthNamed(in.Letters());
    if (month == 0) return false;
  }
  in.SkipBlanks();
  in.Accept(',');
  in.SkipBlanks();
  if (!in.Number(year, yearDigits) || (yearDigits != 2 && yearDigits != 4)) return false;
  SetDate(value, FullYear(year, yearDigits), month, day);
  return ReadOptionalTime(in, value, false);
}

bool Exists(const DateTime& value) { return value.date.IsValid() && value.date.year >= 1753; }

// Digits alone make a date only as yymmdd or yyyymmdd. Most texts compared with a column are
// codes of digits ('01', '0001'): they are told apart here, without the readers' three tries.
bool IsDigitsOfNoDate(std::string_view text) {
  if (text.size() == 6 || text.size() == 8 || text.empty()) return false;
  for (const char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

std::optional<DateTime> ParseDateText(std::string_view text) {
  if (IsDigitsOfNoDate(text)) return std::nullopt;
  DateTime value;
  value.date = Date{1900, 1, 1};
  Reader in(text);
  in.SkipBlanks();
  const std::size_t start = in.Position();
  if (ReadTime(in, value) && in.AtEnd()) return value;
  value = DateTime{Date{1900, 1, 1}, 0};
  in.Rewind(start);
  const bool read = in.AtDigit() && ReadNumericDate(in, value);
  if (!read) {
    value = DateTime{Date{1900, 1, 1}, 0};
    in.Rewind(start);
    if (!ReadNamedMonthDate(in, value)) return std::nullopt;
  }
  if (!Exists(value)) return std::nullopt;
  return value;
}

std::optional<DateTime> ConvertedDateText(std::string_view text) {
  if (text.find_first_not_of(' ') == std::string_view::npos) return DateTime{Date{1900, 1, 1}, 0};
  return ParseDateText(text);
}

std::string CanonicalDateTime(const DateTime& value) {
  const Date& d = value.date;
  char buffer[40];
  if (value.milliseconds == 0) {
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute,
                  d.second);
  } else {
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d.%03d", d.year, d.month, d.day, d.hour, d.minute,
                  d.second, value.milliseconds);
  }
  return buffer;
}

}  // namespace adodb::tsql
