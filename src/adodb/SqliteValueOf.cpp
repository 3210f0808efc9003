#include "adodb/SqliteValueOf.h"

#include <charconv>
#include <cstdlib>
#include <string_view>

#include "adodb/BoundValues.h"
#include "adodb/DecimalText.h"
#include "adodb/Error.h"

namespace adodb {
namespace {

std::string StoredDateText(const Date& date) {
  std::string text = date.ToText();
  if (!date.HasTime()) text += " 00:00:00";
  return text;
}

// A decimal at its scale: a whole number given as text that fits 64 bits exactly, else a double.
SqliteValue DecimalValue(const Variant& value, int scale) {
  SqliteValue bound;
  if (value.Type() == VariantType::Text) {
    const auto text = DecimalTextAtScale(value.RawText(), scale);
    if (!text) throw Error::TypeMismatch();
    const std::size_t point = text->find('.');
    const std::string_view whole = std::string_view(*text).substr(0, point);
    const bool wholeNumber = point == std::string::npos || text->find_first_not_of('0', point + 1) == std::string::npos;
    const auto read = std::from_chars(whole.data(), whole.data() + whole.size(), bound.integer);
    if (wholeNumber && read.ec == std::errc() && read.ptr == whole.data() + whole.size()) {
      bound.kind = SqliteValue::Kind::Integer;
      return bound;
    }
    bound.kind = SqliteValue::Kind::Real;
    bound.real = std::strtod(text->c_str(), nullptr);
    return bound;
  }
  bound.kind = SqliteValue::Kind::Real;
  bound.real = RoundedToScale(value.AsDouble(), scale);
  return bound;
}

SqliteValue Integer(std::int64_t integer) {
  SqliteValue bound;
  bound.kind = SqliteValue::Kind::Integer;
  bound.integer = integer;
  return bound;
}

SqliteValue Text(std::string text) {
  SqliteValue bound;
  bound.kind = SqliteValue::Kind::Text;
  bound.text = std::move(text);
  return bound;
}

}  // namespace

bool ReadAsTimestamps(ResultSet& result, std::size_t column) {
  bool any = false;
  for (const Row row : result.rows) {
    const Variant& value = row[column];
    if (value.IsNull()) continue;
    if (value.Type() != VariantType::Text) return false;
    // The stored form: "YYYY-MM-DD HH:MM:SS", optionally with a fraction.
    const std::string& text = value.RawText();
    if (text.size() < 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' ||
        text[16] != ':' || !Date::Parse(text))
      return false;
    any = true;
  }
  if (!any) return false;
  result.columns[column].type = adDBTimeStamp;
  for (std::size_t r = 0; r < result.rows.size(); ++r) {
    Variant& value = result.rows.MutableAt(r)[column];
    if (!value.IsNull()) value = Variant(*Date::Parse(value.RawText()));
  }
  return true;
}

SqliteValue SqliteValueOf(const Parameter& parameter) {
  const Variant& value = parameter.Value();
  if (value.IsNull() || value.IsEmpty()) return {};
  switch (parameter.Type()) {
    case adBoolean:
      return Integer(value.AsBool() ? 1 : 0);
    case adSmallInt:
    case adInteger:
    case adTinyInt:
    case adBigInt:
      return Integer(value.AsInt64());
    case adCurrency:
      return DecimalValue(value, 4);
    case adDecimal:
    case adNumeric:
      return DecimalValue(value, parameter.NumericScale());
    case adSingle:
    case adDouble: {
      SqliteValue bound;
      bound.kind = SqliteValue::Kind::Real;
      bound.real = value.AsDouble();
      return bound;
    }
    case adDate:
    case adDBDate:
    case adDBTimeStamp:
      return Text(StoredDateText(value.AsDate()));
    default:
      return Text(value.Type() == VariantType::Text ? value.RawText() : value.AsText());
  }
}

}  // namespace adodb
