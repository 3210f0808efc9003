#include "adodb/DecimalText.h"

#include <charconv>
#include <cmath>

#include "adodb/TextCompare.h"
#include "adodb/Variant.h"

namespace adodb {
namespace {

// Adds one to the last digit of `digits`, carrying; true when the carry ran off the front.
bool Increment(std::string& digits) {
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (*it != '9') {
      ++*it;
      return false;
    }
    *it = '0';
  }
  return true;
}

std::string ShortestText(double value) {
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  return std::string(buffer, result.ptr);
}

std::size_t FractionDigits(std::string_view text) {
  const std::size_t point = text.find('.');
  return point == std::string_view::npos ? 0 : text.size() - point - 1;
}

}  // namespace

std::optional<std::string> DecimalTextAtScale(std::string_view decimal, int scale) {
  decimal = Trimmed(decimal);
  const bool negative = !decimal.empty() && decimal[0] == '-';
  if (!decimal.empty() && (decimal[0] == '-' || decimal[0] == '+')) decimal.remove_prefix(1);
  const std::size_t point = decimal.find('.');
  std::string whole(decimal.substr(0, point));
  std::string fraction(point == std::string_view::npos ? std::string_view() : decimal.substr(point + 1));
  if (whole.empty() && fraction.empty()) return std::nullopt;
  for (const std::string* part : {&whole, &fraction}) {
    if (part->find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  }
  if (scale < 0) scale = 0;
  const auto kept = static_cast<std::size_t>(scale);
  const bool up = fraction.size() > kept && fraction[kept] >= '5';
  fraction.resize(kept, '0');
  if (up && Increment(fraction) && Increment(whole)) whole.insert(whole.begin(), '1');
  const std::size_t firstDigit = whole.find_first_not_of('0');
  whole = firstDigit == std::string::npos ? "0" : whole.substr(firstDigit);
  const bool zero = whole == "0" && fraction.find_first_not_of('0') == std::string::npos;
  std::string text = negative && !zero ? "-" : "";
  text += whole;
  if (kept > 0) text += "." + fraction;
  return text;
}

std::string DecimalTextAtScale(double value, int scale) {
  if (!std::isfinite(value)) return FormatNumber(value);
  const std::string fifteen = FormatNumber(value);
  const bool reachesPastScale = fifteen.find('e') == std::string::npos && FractionDigits(fifteen) > static_cast<std::size_t>(std::max(scale, 0));
  return *DecimalTextAtScale(reachesPastScale ? fifteen : ShortestText(value), scale);
}

}  // namespace adodb
