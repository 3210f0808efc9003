#include "host/NumberHelpers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "adodb/Variant.h"

namespace storeadjust {

namespace {

constexpr int kSignificantDigits = 15;

// The value as sign * digits * 10^exponent, with digits the 15 significant decimal digits.
struct DecimalForm {
  bool negative = false;
  std::int64_t digits = 0;
  int exponent = 0;
};

DecimalForm ToDecimalForm(double value) {
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                              kSignificantDigits - 1);
  std::string text(buffer, result.ptr);  // "-d.dddddddddddddde+XX"
  DecimalForm form;
  std::size_t i = 0;
  if (text[i] == '-') {
    form.negative = true;
    ++i;
  }
  for (; i < text.size() && text[i] != 'e'; ++i) {
    if (text[i] != '.') form.digits = form.digits * 10 + (text[i] - '0');
  }
  form.exponent = std::atoi(text.c_str() + i + 1) - (kSignificantDigits - 1);
  return form;
}

std::int64_t PowerOfTen(int n) {
  std::int64_t p = 1;
  while (n-- > 0) p *= 10;
  return p;
}

double FromDecimal(bool negative, std::int64_t digits, int exponent) {
  std::string text = (negative ? "-" : "") + std::to_string(digits) + "e" + std::to_string(exponent);
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

std::int64_t RoundHalfAwayToWhole(double value) {
  return static_cast<std::int64_t>(RoundTo(std::fabs(value), 0));
}

}  // namespace

double RoundTo(double value, std::int16_t places) {
  if (places < 0 || places > 6) return 0;
  if (!std::isfinite(value) || value == 0) return value == 0 ? 0 : value;
  DecimalForm form = ToDecimalForm(value);
  int dropped = -(form.exponent + places);  // digits below the last kept place
  if (dropped <= 0) return FromDecimal(form.negative, form.digits, form.exponent);
  if (dropped > kSignificantDigits) return 0;
  std::int64_t unit = PowerOfTen(dropped);
  std::int64_t kept = form.digits / unit;
  if ((form.digits % unit) * 2 >= unit) ++kept;
  if (kept == 0) return 0;  // never -0, which would print as "-0"
  return FromDecimal(form.negative, kept, -places);
}

std::string PadNumber(const std::string& value, const std::string& padding, std::int16_t digits) {
  if (digits < 1 || digits > 10) return {};
  double number = 0;
  if (!adodb::ParseNumber(value, number) || std::fabs(number) >= 1e18) return value;
  std::string whole = std::to_string(RoundHalfAwayToWhole(number));
  std::string sign = number < 0 && whole != "0" ? "-" : "";
  char pad = padding.empty() ? '0' : padding[0];
  if (pad != '#' && whole.size() < static_cast<std::size_t>(digits)) {
    whole.insert(0, static_cast<std::size_t>(digits) - whole.size(), pad);
  }
  return sign + whole;
}

std::string NumberWithPlaces(double value, int places) {
  constexpr std::int16_t kWholePlaces = 6;
  if (places < 0 || places > kWholePlaces) return adodb::FormatNumber(value);
  double whole = RoundTo(value, kWholePlaces);
  double padded = RoundTo(value, static_cast<std::int16_t>(places));
  if (whole == 0) whole = 0;  // never "-0"
  if (padded == 0) padded = 0;
  if (adodb::FormatNumber(padded) != adodb::FormatNumber(whole)) return adodb::FormatNumber(whole);
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", places, padded);
  return text;
}

}  // namespace storeadjust
