#pragma once
// A classic variant value: what a Field, a Parameter and the module's helpers hand around.
// Conversions follow the classic rules the module was written against:
//  - AsText: numbers as plain decimal text of at most 15 significant digits, locale-independent
//    ("0.3", "36", "-0.75"); Boolean "True"/"False"; dates "YYYY-MM-DD" plus " HH:MM:SS" when the
//    time is not midnight; Empty gives ""; NULL throws Error::InvalidUseOfNull (use TextOrEmpty).
//  - AsDouble: numeric text (blanks trimmed) converts, other text throws TypeMismatch; Empty 0;
//    Boolean True -1; NULL throws InvalidUseOfNull.
//  - AsBool: numbers non-zero; text "True"/"False" (any case) or numeric text; else TypeMismatch.
//  - AsInt16 / AsInt32: rounds halves to even as CInt/CLng do, Overflow outside the range.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "adodb/Date.h"

namespace adodb {

enum class VariantType : std::uint8_t { Empty, Null, Boolean, Integer, Double, Currency, Text, Date };

class Variant {
 public:
  struct NullTag {};
  struct CurrencyTag {};

  Variant() = default;  // Empty
  Variant(NullTag) : type_(VariantType::Null) {}
  Variant(bool b) : type_(VariantType::Boolean), value_(static_cast<std::int64_t>(b ? 1 : 0)) {}
  Variant(int i) : type_(VariantType::Integer), value_(static_cast<std::int64_t>(i)) {}
  Variant(long i) : type_(VariantType::Integer), value_(static_cast<std::int64_t>(i)) {}
  Variant(long long i) : type_(VariantType::Integer), value_(static_cast<std::int64_t>(i)) {}
  Variant(double d) : type_(VariantType::Double), value_(d) {}
  Variant(CurrencyTag, double d) : type_(VariantType::Currency), value_(d) {}
  Variant(std::string s) : type_(VariantType::Text), value_(std::move(s)) {}
  Variant(const char* s) : type_(VariantType::Text), value_(std::string(s)) {}
  Variant(std::string_view s) : type_(VariantType::Text), value_(std::string(s)) {}
  Variant(const adodb::Date& d) : type_(VariantType::Date), value_(d) {}

  static Variant Null() { return Variant(NullTag{}); }
  static Variant Currency(double d) { return Variant(CurrencyTag{}, d); }

  VariantType Type() const noexcept { return type_; }
  bool IsEmpty() const noexcept { return type_ == VariantType::Empty; }
  bool IsNull() const noexcept { return type_ == VariantType::Null; }
  bool IsNumeric() const noexcept;  // Boolean, Integer, Double, Currency, or text that parses as a number

  std::string AsText() const;
  std::string TextOrEmpty() const { return IsNull() ? std::string() : AsText(); }
  double AsDouble() const;
  bool AsBool() const;
  std::int16_t AsInt16() const;
  std::int32_t AsInt32() const;
  std::int64_t AsInt64() const;
  adodb::Date AsDate() const;

  // Raw access without conversion; the caller has checked Type().
  const std::string& RawText() const { return std::get<std::string>(value_); }
  double RawDouble() const { return std::get<double>(value_); }
  std::int64_t RawInteger() const { return std::get<std::int64_t>(value_); }
  const adodb::Date& RawDate() const { return std::get<adodb::Date>(value_); }

  // Classic comparison used by sorting: NULL/Empty first, numbers numerically, text by bytes,
  // dates chronologically. Mixed number/text compares as text.
  friend int Compare(const Variant& a, const Variant& b);
  friend bool operator==(const Variant& a, const Variant& b);

 private:
  VariantType type_ = VariantType::Empty;
  std::variant<std::monostate, std::int64_t, double, std::string, adodb::Date> value_;
};

// Plain decimal text of a double with at most 15 significant digits, no exponent, no trailing
// zeros, "." as decimal point whatever the locale: the form numbers take inside statements.
std::string FormatNumber(double value);

// Parses classic numeric text (leading/trailing blanks allowed, optional sign, digits, one '.',
// optional exponent). Returns false when the text is not a number.
bool ParseNumber(std::string_view text, double& out);

}  // namespace adodb
