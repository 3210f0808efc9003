#include "adodb/OdbcParameterBinding.h"

#include <algorithm>
#include <string_view>

#include "adodb/BoundValues.h"
#include "adodb/DecimalText.h"
#include "adodb/OdbcColumns.h"
#include "adodb/SqliteValueOf.h"

namespace adodb::odbc {

namespace {

SQLSMALLINT SqlTypeOf(DataType type) {
  switch (type) {
    case adSmallInt: return SQL_SMALLINT;
    case adInteger: return SQL_INTEGER;
    case adTinyInt: return SQL_TINYINT;
    case adBigInt: return SQL_BIGINT;
    case adBoolean: return SQL_BIT;
    case adChar: return SQL_CHAR;
    case adWChar: return SQL_WCHAR;
    case adVarWChar:
    case adLongVarWChar: return SQL_WVARCHAR;
    default: return SQL_VARCHAR;
  }
}

// A character value's column size in characters. SQL Server's nvarchar(n) and varchar(n) take n
// up to 4000 and 8000: a longer value goes as nvarchar(max) or varchar(max), which its driver
// reads from a column size of 0 (SQL_SS_LENGTH_UNLIMITED); any larger size it refuses with
// "Invalid precision value", so a long remark or template could not be stored at all.
SQLULEN CharacterColumnSize(SQLSMALLINT sqlType, std::size_t characters) {
  constexpr SQLULEN kLengthUnlimited = 0;
  const std::size_t limit = sqlType == SQL_WCHAR || sqlType == SQL_WVARCHAR ? 4000 : 8000;
  return characters > limit ? kLengthUnlimited : std::max<std::size_t>(characters, 1);
}

void PrepareInteger(BoundParameter& bound, const Parameter& parameter) {
  bound.cType = SQL_C_SBIGINT;
  bound.sqlType = SqlTypeOf(parameter.Type());
  if (!parameter.Value().IsNull() && !parameter.Value().IsEmpty()) {
    bound.integer = parameter.Type() == adBoolean ? (parameter.Value().AsBool() ? 1 : 0) : parameter.Value().AsInt64();
  }
}

void PrepareNumber(BoundParameter& bound, const Parameter& parameter) {
  bound.cType = SQL_C_DOUBLE;
  bound.sqlType = SQL_DOUBLE;
  bound.columnSize = 15;
  if (parameter.Type() == adCurrency) {
    bound.sqlType = SQL_DECIMAL;
    bound.columnSize = 19;
    bound.decimalDigits = 4;
  }
  if (!parameter.Value().IsNull() && !parameter.Value().IsEmpty()) bound.number = parameter.Value().AsDouble();
}

void PrepareDate(BoundParameter& bound, const Parameter& parameter) {
  bound.cType = SQL_C_TYPE_TIMESTAMP;
  bound.sqlType = SQL_TYPE_TIMESTAMP;
  bound.columnSize = 23;
  bound.decimalDigits = 3;
  if (!parameter.Value().IsNull() && !parameter.Value().IsEmpty()) {
    const Date date = parameter.Value().AsDate();
    bound.stamp = SQL_TIMESTAMP_STRUCT{static_cast<SQLSMALLINT>(date.year), static_cast<SQLUSMALLINT>(date.month),
                                       static_cast<SQLUSMALLINT>(date.day),  static_cast<SQLUSMALLINT>(date.hour),
                                       static_cast<SQLUSMALLINT>(date.minute), static_cast<SQLUSMALLINT>(date.second),
                                       0};
  }
}

// Text outputs need room for the declared size in UTF-8 (up to 4 bytes a character).
void PrepareText(BoundParameter& bound, const Parameter& parameter) {
  bound.cType = SQL_C_CHAR;
  bound.sqlType = SqlTypeOf(parameter.Type());
  const std::string value = parameter.Value().IsNull() ? std::string() : parameter.Value().TextOrEmpty();
  const std::size_t declared = parameter.Size() > 0 ? static_cast<std::size_t>(parameter.Size()) : 0;
  bound.columnSize = CharacterColumnSize(bound.sqlType, std::max(declared, value.size()));
  const std::size_t capacity = parameter.IsOutput() ? std::max(declared * 4, value.size()) + 1 : value.size() + 1;
  bound.text = value;
  bound.text.resize(capacity, '\0');
  bound.indicator = static_cast<SQLLEN>(value.size());
}

// UTF-8 to UTF-16 code units; a malformed byte becomes U+FFFD.
std::u16string Utf16Of(std::string_view text) {
  std::u16string wide;
  wide.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    char32_t code = length == 1 ? lead : length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
    bool valid = length != 0 && i + length <= text.size();
    for (std::size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    if (!valid) {
      wide += u'\uFFFD';
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      wide += static_cast<char16_t>(0xD800 + (code >> 10));
      wide += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    } else {
      wide += static_cast<char16_t>(code);
    }
    i += length;
  }
  return wide;
}

void PrepareWideText(BoundParameter& bound, std::string_view text) {
  const std::u16string wide = Utf16Of(text);
  bound.cType = SQL_C_WCHAR;
  bound.sqlType = SQL_WVARCHAR;
  bound.columnSize = CharacterColumnSize(bound.sqlType, wide.size());
  const std::size_t bytes = wide.size() * sizeof(char16_t);
  bound.text.assign(reinterpret_cast<const char*>(wide.data()), bytes);
  bound.text.append(sizeof(char16_t), '\0');
  bound.indicator = static_cast<SQLLEN>(bytes);
}

// A decimal goes as its text at its scale, so the server gets every digit (a double would give
// the driver 15 or 17 of them to convert, as it pleases).
void PrepareDecimalText(BoundParameter& bound, const Parameter& parameter) {
  const Variant& value = parameter.Value();
  const int scale = parameter.NumericScale();
  const auto exact = value.Type() == VariantType::Text ? DecimalTextAtScale(value.RawText(), scale) : std::nullopt;
  const std::string text = exact ? *exact : DecimalTextAtScale(value.AsDouble(), scale);
  bound.cType = SQL_C_CHAR;
  bound.sqlType = SQL_DECIMAL;
  bound.columnSize = 38;
  bound.decimalDigits = static_cast<SQLSMALLINT>(scale);
  bound.text = text;
  bound.text.push_back('\0');
  bound.indicator = static_cast<SQLLEN>(text.size());
}

// A decimal, money value or date as an SQLite database keeps it: numbers as numbers, since
// `sl + 0.00005 >= ?` compares a number with whatever arrives and a number is never greater than
// or equal to a text; dates in the stored form, since the driver would write a timestamp with
// milliseconds and '2024-03-02 00:00:00.000' sorts after the stored '2024-03-02 00:00:00'.
void PrepareSqliteValue(BoundParameter& bound, const SqliteValue& value) {
  if (value.kind == SqliteValue::Kind::Text) return PrepareWideText(bound, value.text);
  const bool whole = value.kind == SqliteValue::Kind::Integer;
  bound.cType = whole ? SQL_C_SBIGINT : SQL_C_DOUBLE;
  bound.sqlType = whole ? SQL_BIGINT : SQL_DOUBLE;
  bound.columnSize = 15;
  bound.decimalDigits = 0;
  bound.text.clear();
  bound.indicator = 0;
  bound.integer = value.integer;
  bound.number = value.real;
}

}  // namespace

BoundParameter PrepareSqliteValueBinding(const Parameter& parameter) {
  BoundParameter bound = PrepareValueBinding(parameter);
  if (bound.indicator == SQL_NULL_DATA) return bound;
  const DataType type = parameter.Type();
  if (type == adDecimal || type == adNumeric || type == adCurrency || bound.cType == SQL_C_TYPE_TIMESTAMP) {
    PrepareSqliteValue(bound, SqliteValueOf(parameter));
  }
  return bound;
}

BoundParameter PrepareValueBinding(const Parameter& parameter) {
  BoundParameter bound = PrepareBinding(parameter);
  if (bound.indicator == SQL_NULL_DATA) return bound;
  if (bound.cType == SQL_C_CHAR) {
    PrepareWideText(bound, parameter.Value().TextOrEmpty());
  } else if (parameter.Type() == adDecimal || parameter.Type() == adNumeric) {
    PrepareDecimalText(bound, parameter);
  }
  return bound;
}

BoundParameter PrepareBinding(const Parameter& parameter) {
  BoundParameter bound;
  switch (KindOf(parameter.Type())) {
    case ValueKind::Integer:
    case ValueKind::Boolean: PrepareInteger(bound, parameter); break;
    case ValueKind::Double:
    case ValueKind::Currency: PrepareNumber(bound, parameter); break;
    case ValueKind::Date: PrepareDate(bound, parameter); break;
    case ValueKind::Text: PrepareText(bound, parameter); break;
  }
  if (bound.cType != SQL_C_CHAR) bound.indicator = 0;
  if (parameter.Value().IsNull() || (parameter.Value().IsEmpty() && bound.cType != SQL_C_CHAR)) {
    bound.indicator = SQL_NULL_DATA;
  }
  return bound;
}

SQLSMALLINT InputOutputTypeOf(ParameterDirection direction) {
  switch (direction) {
    case adParamOutput: return SQL_PARAM_OUTPUT;
    case adParamInputOutput: return SQL_PARAM_INPUT_OUTPUT;
    case adParamReturnValue: return SQL_PARAM_OUTPUT;
    default: return SQL_PARAM_INPUT;
  }
}

Variant ValueOfOutput(const BoundParameter& bound, DataType type) {
  if (bound.indicator == SQL_NULL_DATA) return Variant::Null();
  switch (bound.cType) {
    case SQL_C_SBIGINT:
      return type == adBoolean ? Variant(bound.integer != 0) : Variant(static_cast<long long>(bound.integer));
    case SQL_C_DOUBLE: return type == adCurrency ? Variant::Currency(bound.number) : Variant(bound.number);
    case SQL_C_TYPE_TIMESTAMP: return Variant(DateFromTimestamp(bound.stamp));
    default: {
      const auto length = std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLLEN>(bound.indicator, 0)),
                                                bound.text.size() - 1);
      return Variant(bound.text.substr(0, length));
    }
  }
}

// "{? = call NAME(?,?)}" when the first parameter takes the return value.
std::string CallEscape(const std::string& name, const std::vector<std::shared_ptr<Parameter>>& parameters) {
  const bool returnsValue = !parameters.empty() && parameters.front()->Direction() == adParamReturnValue;
  std::string text = returnsValue ? "{? = call " : "{call ";
  text += name;
  const std::size_t arguments = parameters.size() - (returnsValue ? 1 : 0);
  if (arguments > 0) {
    text += '(';
    for (std::size_t i = 0; i < arguments; ++i) text += i == 0 ? "?" : ",?";
    text += ')';
  }
  return text + "}";
}

}  // namespace adodb::odbc
