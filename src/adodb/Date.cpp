#include "adodb/Date.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "adodb/TextCompare.h"

namespace adodb {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's civil algorithm).
long long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * static_cast<unsigned>(m + (m > 2 ? -3 : 9)) + 2) / 5 + static_cast<unsigned>(d) - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe) + static_cast<int>(era * 400) + (m <= 2);
}

const long long kSerialEpoch = DaysFromCivil(1899, 12, 30);

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// Reads 1..maxDigits decimal digits at text[pos]; advances pos.
bool ReadNumber(std::string_view text, std::size_t& pos, std::size_t maxDigits, int& out) {
  std::size_t end = pos;
  while (end < text.size() && end - pos < maxDigits && text[end] >= '0' && text[end] <= '9') ++end;
  if (end == pos) return false;
  std::from_chars(text.data() + pos, text.data() + end, out);
  pos = end;
  return true;
}

bool Expect(std::string_view text, std::size_t& pos, char c) {
  if (pos < text.size() && text[pos] == c) {
    ++pos;
    return true;
  }
  return false;
}

bool ParseTimeOfDay(std::string_view text, std::size_t& pos, Date& date) {
  if (!ReadNumber(text, pos, 2, date.hour) || !Expect(text, pos, ':') || !ReadNumber(text, pos, 2, date.minute)) {
    return false;
  }
  if (Expect(text, pos, ':')) {
    if (!ReadNumber(text, pos, 2, date.second)) return false;
    if (Expect(text, pos, '.')) {
      int fraction = 0;
      if (!ReadNumber(text, pos, 9, fraction)) return false;
    }
  }
  return true;
}

}  // namespace

bool Date::IsValid() const {
  return year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month) &&
         hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60;
}

std::string Date::ToText() const {
  char buffer[32];
  if (HasTime()) {
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
  } else {
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year, month, day);
  }
  return buffer;
}

std::optional<Date> Date::Parse(std::string_view text) {
  text = Trimmed(text, " \t");
  Date date;
  std::size_t pos = 0;
  if (!ReadNumber(text, pos, 4, date.year) || pos != 4) return std::nullopt;
  const char separator = pos < text.size() ? text[pos] : '\0';
  if (separator != '-' && separator != '/') return std::nullopt;
  ++pos;
  if (!ReadNumber(text, pos, 2, date.month) || !Expect(text, pos, separator) || !ReadNumber(text, pos, 2, date.day)) {
    return std::nullopt;
  }
  if (pos < text.size()) {
    if (text[pos] != ' ' && text[pos] != 'T') return std::nullopt;
    ++pos;
    if (!ParseTimeOfDay(text, pos, date) || pos != text.size()) return std::nullopt;
  }
  if (!date.IsValid()) return std::nullopt;
  return date;
}

Date Date::Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  Date date;
  date.year = local.tm_year + 1900;
  date.month = local.tm_mon + 1;
  date.day = local.tm_mday;
  return date;
}

double Date::ToSerial() const {
  const double days = static_cast<double>(DaysFromCivil(year, month, day) - kSerialEpoch);
  const double fraction = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
  // The classic serial keeps the time as a positive fraction even before the epoch.
  return days < 0 ? days - fraction : days + fraction;
}

Date Date::FromSerial(double serial) {
  const double whole = std::trunc(serial);
  long long seconds = std::llround(std::fabs(serial - whole) * 86400.0);
  long long days = static_cast<long long>(whole);
  if (seconds >= 86400) {
    seconds -= 86400;
    days += serial < 0 ? -1 : 1;
  }
  Date date;
  CivilFromDays(days + kSerialEpoch, date.year, date.month, date.day);
  date.hour = static_cast<int>(seconds / 3600);
  date.minute = static_cast<int>(seconds / 60 % 60);
  date.second = static_cast<int>(seconds % 60);
  return date;
}

}  // namespace adodb
