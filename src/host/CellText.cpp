#include "host/CellText.h"

#include <algorithm>

namespace storeadjust {

std::string CellText(const adodb::Variant& value, CellDates dates) {
  switch (value.Type()) {
    case adodb::VariantType::Empty:
    case adodb::VariantType::Null:
      return {};
    case adodb::VariantType::Boolean:
      return value.RawInteger() != 0 ? "1" : "0";
    case adodb::VariantType::Integer:
      return std::to_string(value.RawInteger());
    case adodb::VariantType::Double:
    case adodb::VariantType::Currency:
      return adodb::FormatNumber(value.RawDouble());
    case adodb::VariantType::Date: {
      std::string text = value.RawDate().ToText();
      if (dates == CellDates::DayOnly) text.resize(std::min<std::size_t>(text.size(), 10));
      return text;
    }
    case adodb::VariantType::Text:
      return value.RawText();
  }
  return {};
}

}  // namespace storeadjust
