#include "browse/ListCellText.h"

#include <cstdio>

namespace storeadjust {

std::string ListCellText(const adodb::Variant& value) {
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
    case adodb::VariantType::Date:
      return value.AsText().substr(0, 10);
    case adodb::VariantType::Text:
      return value.RawText();
  }
  return {};
}

}  // namespace storeadjust
