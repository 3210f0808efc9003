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
// A variant is 40 bytes: a result of 100,000 rows holds a million of them, so the text shares its
// storage with the number and the date is kept packed.
#include <cstdint>
#include <string>
#include <string_view>

#include "adodb/Date.h"

namespace adodb {

enum class VariantType : std::uint8_t { Empty, Null, Boolean, Integer, Double, Currency, Text, Date };

class Variant {
 public:
  struct NullTag {};
  struct CurrencyTag {};

  Variant() noexcept : integer_(0) {}  // Empty
  Variant(NullTag) noexcept : type_(VariantType::Null), integer_(0) {}
  Variant(bool b) noexcept : type_(VariantType::Boolean), integer_(b ? 1 : 0) {}
  Variant(int i) noexcept : type_(VariantType::Integer), integer_(i) {}
  Variant(long i) noexcept : type_(VariantType::Integer), integer_(i) {}
  Variant(long long i) noexcept : type_(VariantType::Integer), integer_(i) {}
  Variant(double d) noexcept : type_(VariantType::Double), number_(d) {}
  Variant(CurrencyTag, double d) noexcept : type_(VariantType::Currency), number_(d) {}
  Variant(std::string s) : type_(VariantType::Text), text_(std::move(s)) {}
  Variant(const char* s) : type_(VariantType::Text), text_(s) {}
  Variant(std::string_view s) : type_(VariantType::Text), text_(s) {}
  Variant(const adodb::Date& d) noexcept : type_(VariantType::Date), date_(PackedDate::From(d)) {}

  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(const Variant& other);
  Variant& operator=(Variant&& other) noexcept;
  ~Variant() {
    if (type_ == VariantType::Text) text_.~basic_string();
  }

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

  // Raw access without conversion; the caller has checked Type() (Text; Double or Currency;
  // Integer or Boolean; Date). Another type throws Error::TypeMismatch.
  const std::string& RawText() const {
    if (type_ != VariantType::Text) ThrowTypeMismatch();
    return text_;
  }
  double RawDouble() const {
    if (type_ != VariantType::Double && type_ != VariantType::Currency) ThrowTypeMismatch();
    return number_;
  }
  std::int64_t RawInteger() const {
    if (type_ != VariantType::Integer && type_ != VariantType::Boolean) ThrowTypeMismatch();
    return integer_;
  }
  adodb::Date RawDate() const {
    if (type_ != VariantType::Date) ThrowTypeMismatch();
    return date_.ToDate();
  }

  // Classic comparison used by sorting: NULL/Empty first, numbers numerically, text by bytes,
  // dates chronologically. Mixed number/text compares as text.
  friend int Compare(const Variant& a, const Variant& b);
  friend bool operator==(const Variant& a, const Variant& b);

 private:
  // Every date a database or a screen produces fits (years 100..9999).
  struct PackedDate {
    std::int16_t year;
    std::int8_t month, day, hour, minute, second;
    static PackedDate From(const adodb::Date& d) noexcept {
      return {static_cast<std::int16_t>(d.year), static_cast<std::int8_t>(d.month), static_cast<std::int8_t>(d.day),
              static_cast<std::int8_t>(d.hour), static_cast<std::int8_t>(d.minute),
              static_cast<std::int8_t>(d.second)};
    }
    adodb::Date ToDate() const noexcept { return {year, month, day, hour, minute, second}; }
  };

  [[noreturn]] static void ThrowTypeMismatch();
  // Takes other's value; this holds no text.
  void CopyFrom(const Variant& other);
  void MoveFrom(Variant&& other) noexcept;

  VariantType type_ = VariantType::Empty;
  union {
    std::int64_t integer_;  // Integer, Boolean
    double number_;         // Double, Currency
    PackedDate date_;
    std::string text_;
  };
};

// Plain decimal text of a double with at most 15 significant digits, no exponent, no trailing
// zeros, "." as decimal point whatever the locale: the form numbers take inside statements.
std::string FormatNumber(double value);

// Parses classic numeric text (leading/trailing blanks allowed, optional sign, digits, one '.',
// optional exponent). Returns false when the text is not a number.
bool ParseNumber(std::string_view text, double& out);

}  // namespace adodb
