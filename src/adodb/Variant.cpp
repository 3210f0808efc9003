#include "adodb/Variant.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <new>

#include "adodb/Error.h"
#include "adodb/TextCompare.h"

namespace adodb {

namespace {

bool IsNumberType(VariantType type) {
  return type == VariantType::Boolean || type == VariantType::Integer || type == VariantType::Double ||
         type == VariantType::Currency;
}

// Digits with at most one '.', at least one digit; returns the length consumed.
std::size_t ScanMantissa(std::string_view text) {
  std::size_t pos = 0, digits = 0;
  bool point = false;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  return digits == 0 ? 0 : pos;
}

std::size_t ScanExponent(std::string_view text) {
  if (text.empty() || (text[0] != 'e' && text[0] != 'E')) return 0;
  std::size_t pos = 1;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
  const std::size_t digitsStart = pos;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') ++pos;
  return pos == digitsStart ? 0 : pos;
}

// Rounds halves to even, as CInt and CLng do, and checks the target range.
template <typename Int>
Int RoundToInteger(double value) {
  const double rounded = std::nearbyint(value);
  // The largest Int is no double, but minus the smallest is: past it the cast would be undefined.
  const double limit = -static_cast<double>(std::numeric_limits<Int>::min());
  if (std::isnan(rounded) || rounded < -limit || rounded >= limit) {
    throw Error::Overflow();
  }
  return static_cast<Int>(rounded);
}

int Sign(double d) { return d < 0 ? -1 : (d > 0 ? 1 : 0); }

}  // namespace

// A result of 100,000 rows holds a million variants: every byte here is a megabyte there.
static_assert(sizeof(Variant) <= 40, "a variant holds its text or its number, not both");

void Variant::ThrowTypeMismatch() { throw Error::TypeMismatch(); }

void Variant::CopyFrom(const Variant& other) {
  if (other.type_ == VariantType::Text) {
    new (&text_) std::string(other.text_);
  } else {
    integer_ = other.integer_;
    if (other.type_ == VariantType::Date) date_ = other.date_;
  }
  type_ = other.type_;
}

void Variant::MoveFrom(Variant&& other) noexcept {
  if (other.type_ == VariantType::Text) {
    new (&text_) std::string(std::move(other.text_));
  } else {
    integer_ = other.integer_;
    if (other.type_ == VariantType::Date) date_ = other.date_;
  }
  type_ = other.type_;
}

Variant::Variant(const Variant& other) : integer_(0) { CopyFrom(other); }

Variant::Variant(Variant&& other) noexcept : integer_(0) { MoveFrom(std::move(other)); }

Variant& Variant::operator=(const Variant& other) {
  if (this == &other) return *this;
  if (type_ == VariantType::Text && other.type_ == VariantType::Text) {
    text_ = other.text_;
    return *this;
  }
  if (other.type_ == VariantType::Text) {
    std::string copy(other.text_);  // may throw: leave this untouched then
    if (type_ == VariantType::Text) text_.~basic_string();
    new (&text_) std::string(std::move(copy));
    type_ = VariantType::Text;
    return *this;
  }
  if (type_ == VariantType::Text) text_.~basic_string();
  CopyFrom(other);
  return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this == &other) return *this;
  if (type_ == VariantType::Text && other.type_ == VariantType::Text) {
    text_ = std::move(other.text_);
    return *this;
  }
  if (type_ == VariantType::Text) text_.~basic_string();
  MoveFrom(std::move(other));
  return *this;
}

bool ParseNumber(std::string_view text, double& out) {
  text = Trimmed(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  const std::size_t mantissa = ScanMantissa(text);
  if (mantissa == 0) return false;
  const std::size_t exponent = ScanExponent(text.substr(mantissa));
  if (mantissa + exponent != text.size()) return false;
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return false;
  out = negative ? -value : value;
  return true;
}

std::string FormatNumber(double value) {
  if (value == 0 || std::isnan(value)) return "0";
  if (std::isinf(value)) return value > 0 ? "1.#INF" : "-1.#INF";
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
  const std::string_view scientific(buffer, static_cast<std::size_t>(result.ptr - buffer));
  const std::size_t e = scientific.find('e');
  int exponent = 0;
  std::from_chars(scientific.data() + e + (scientific[e + 1] == '+' ? 2 : 1), scientific.data() + scientific.size(),
                  exponent);
  const bool negative = scientific[0] == '-';
  std::string digits;
  for (char c : scientific.substr(0, e)) {
    if (c >= '0' && c <= '9') digits.push_back(c);
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  if (digits == "0") return "0";

  std::string text = negative ? "-" : "";
  if (exponent < 0) {
    text += "0.";
    text.append(static_cast<std::size_t>(-exponent - 1), '0');
    text += digits;
  } else {
    const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integerDigits) {
      text += digits;
      text.append(integerDigits - digits.size(), '0');
    } else {
      text.append(digits, 0, integerDigits);
      text += '.';
      text.append(digits, integerDigits);
    }
  }
  return text;
}

bool Variant::IsNumeric() const noexcept {
  if (IsNumberType(type_)) return true;
  if (type_ != VariantType::Text) return false;
  double ignored = 0;
  return ParseNumber(RawText(), ignored);
}

std::string Variant::AsText() const {
  switch (type_) {
    case VariantType::Empty:
      return {};
    case VariantType::Null:
      throw Error::InvalidUseOfNull();
    case VariantType::Boolean:
      return RawInteger() != 0 ? "True" : "False";
    case VariantType::Integer:
      return std::to_string(RawInteger());
    case VariantType::Double:
    case VariantType::Currency:
      return FormatNumber(RawDouble());
    case VariantType::Text:
      return RawText();
    case VariantType::Date:
      return RawDate().ToText();
  }
  return {};
}

double Variant::AsDouble() const {
  switch (type_) {
    case VariantType::Empty:
      return 0;
    case VariantType::Null:
      throw Error::InvalidUseOfNull();
    case VariantType::Boolean:
      return RawInteger() != 0 ? -1 : 0;
    case VariantType::Integer:
      return static_cast<double>(RawInteger());
    case VariantType::Double:
    case VariantType::Currency:
      return RawDouble();
    case VariantType::Text: {
      double value = 0;
      if (!ParseNumber(RawText(), value)) throw Error::TypeMismatch();
      return value;
    }
    case VariantType::Date:
      return RawDate().ToSerial();
  }
  return 0;
}

bool Variant::AsBool() const {
  if (type_ == VariantType::Text) {
    const std::string_view text = Trimmed(RawText());
    if (SameName(text, "true")) return true;
    if (SameName(text, "false")) return false;
  }
  if (type_ == VariantType::Boolean || type_ == VariantType::Integer) return RawInteger() != 0;
  return AsDouble() != 0;
}

std::int16_t Variant::AsInt16() const {
  if (type_ == VariantType::Boolean) return RawInteger() != 0 ? -1 : 0;
  return RoundToInteger<std::int16_t>(AsDouble());
}

std::int32_t Variant::AsInt32() const {
  if (type_ == VariantType::Integer) {
    const std::int64_t value = RawInteger();
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
      throw Error::Overflow();
    }
    return static_cast<std::int32_t>(value);
  }
  if (type_ == VariantType::Boolean) return RawInteger() != 0 ? -1 : 0;
  return RoundToInteger<std::int32_t>(AsDouble());
}

std::int64_t Variant::AsInt64() const {
  if (type_ == VariantType::Integer) return RawInteger();
  if (type_ == VariantType::Boolean) return RawInteger() != 0 ? -1 : 0;
  return RoundToInteger<std::int64_t>(AsDouble());
}

adodb::Date Variant::AsDate() const {
  switch (type_) {
    case VariantType::Null:
      throw Error::InvalidUseOfNull();
    case VariantType::Date:
      return RawDate();
    case VariantType::Text: {
      if (auto parsed = adodb::Date::Parse(RawText())) return *parsed;
      throw Error::TypeMismatch();
    }
    default: {
      // Serials of the years 100 to 9999; others name no date a database holds.
      const double serial = AsDouble();
      if (!(serial >= -657434 && serial < 2958466)) throw Error::Overflow();
      return adodb::Date::FromSerial(serial);
    }
  }
}

int Compare(const Variant& a, const Variant& b) {
  const bool aMissing = a.IsNull() || a.IsEmpty();
  const bool bMissing = b.IsNull() || b.IsEmpty();
  if (aMissing || bMissing) return aMissing && bMissing ? 0 : (aMissing ? -1 : 1);

  if (a.type_ == VariantType::Integer && b.type_ == VariantType::Integer) {
    return a.RawInteger() < b.RawInteger() ? -1 : (a.RawInteger() > b.RawInteger() ? 1 : 0);
  }
  if (a.type_ == VariantType::Text && b.type_ == VariantType::Text) {
    const int c = a.RawText().compare(b.RawText());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  // Dates by the calendar: before 1899-12-30 the classic serial keeps the time of day as a
  // positive fraction of a negative day, so comparing serials would put 18:00 before 12:00.
  if (a.type_ == VariantType::Date && b.type_ == VariantType::Date) {
    const auto order = a.RawDate() <=> b.RawDate();
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
  }
  const bool aNumberLike = IsNumberType(a.type_) || a.type_ == VariantType::Date;
  const bool bNumberLike = IsNumberType(b.type_) || b.type_ == VariantType::Date;
  if (aNumberLike && bNumberLike) return Sign(a.AsDouble() - b.AsDouble());
  const int c = a.AsText().compare(b.AsText());
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

bool operator==(const Variant& a, const Variant& b) {
  if (a.IsNull() || b.IsNull()) return a.IsNull() && b.IsNull();
  if (a.IsEmpty() || b.IsEmpty()) return a.IsEmpty() && b.IsEmpty();
  return Compare(a, b) == 0;
}

}  // namespace adodb
