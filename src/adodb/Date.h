#pragma once
// A calendar date with an optional time of day, as the database and the screens exchange it.
#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace adodb {

struct Date {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;

  // "YYYY-MM-DD", or "YYYY-MM-DD HH:MM:SS" when the time is not midnight.
  std::string ToText() const;
  // Accepts "YYYY-MM-DD", "YYYY-MM-DD HH:MM[:SS[.fff]]", "YYYY-MM-DDTHH:MM:SS", "YYYY/MM/DD".
  static std::optional<Date> Parse(std::string_view text);
  static Date Today();
  bool HasTime() const { return hour != 0 || minute != 0 || second != 0; }
  // The classic serial form: days since 1899-12-30, the time of day as the fraction.
  double ToSerial() const;
  static Date FromSerial(double serial);
  // True when year/month/day and the time of day name a real moment.
  bool IsValid() const;
  auto operator<=>(const Date&) const = default;
};

}  // namespace adodb
